// The round music, mdf01.mp3: 64 seconds at 120 beats a minute in A minor
// (Am - F - Dm - E, two bars each), four sections of eight bars that build up
// from pads, bass and hats to drums and an echoing arpeggio. Every note's
// tail wraps round to the start, so the track loops without a seam. Encoded
// with LAME at a constant 160 kbit/s.
#include "assets/asset_list.h"
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "media.h"
#include "procedural.h"

namespace {

const float BEATS_PER_SECOND = 2.0f;  // 120 bpm
const int STEPS_PER_BEAT = 4;         // sixteenth notes
const int BEATS_PER_BAR = 4;
const int BARS_PER_CHORD = 2;
const int CHORDS = 4;
const int SECTIONS = 4;
const int BARS = BARS_PER_CHORD * CHORDS * SECTIONS;  // 32 bars, 64 seconds
const float STEP_SECONDS = 1.0f / (BEATS_PER_SECOND * STEPS_PER_BEAT);
const float BAR_SECONDS = BEATS_PER_BAR / BEATS_PER_SECOND;
const float TRACK_SECONDS = BARS * BAR_SECONDS;
const int MP3_BITRATE_KBPS = 160;
const int LAME_QUALITY = 7;  // fast; the mix is simple
const float MIX_PEAK = 0.89f;
const float ECHO_SECONDS = 0.375f;  // a dotted eighth
const float ECHO_FEEDBACK = 0.42f;

struct Chord {
    int bass_note;  // MIDI note numbers
    int tones[3];
};

// Am, F, Dm, E with close voicings so the pads glide from one to the next.
const Chord PROGRESSION[CHORDS] = {
    {45, {57, 60, 64}},
    {41, {57, 60, 65}},
    {38, {57, 62, 65}},
    {40, {56, 59, 64}},
};

// Octave jumps of the bass line, one per eighth note.
const int BASS_PATTERN[8] = {0, 0, 12, 0, 0, 12, 0, 7};

float note_hz(float note) {
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}

struct Mix {
    size_t frames;
    std::vector<float> left, right;
};

Mix make_mix(size_t frames) {
    Mix mix;
    mix.frames = frames;
    mix.left.assign(frames, 0.0f);
    mix.right.assign(frames, 0.0f);
    return mix;
}

// Adds a sample at a time that wraps round the loop.
void mix_add(Mix& mix, size_t frame, float left, float right) {
    frame %= mix.frames;
    mix.left[frame] += left;
    mix.right[frame] += right;
}

size_t frame_at(float seconds) {
    return static_cast<size_t>(seconds * AUDIO_RATE_HZ + 0.5f);
}

// Low-pass over the loop: the first lap settles the filter, the second
// writes, so the end flows into the start.
void low_pass_loop(std::vector<float>& track, float cutoff_hz) {
    float a = 1.0f - std::exp(-TWO_PI * cutoff_hz / AUDIO_RATE_HZ);
    float state = 0;
    for (float s : track) state += (s - state) * a;
    for (float& s : track) {
        state += (s - state) * a;
        s = state;
    }
}

void add_kick(Mix& mix, float start) {
    const float seconds = 0.32f;
    float phase = 0;
    size_t first = frame_at(start);
    for (size_t f = 0; f < frame_at(seconds); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        phase += TWO_PI * (45.0f + 110.0f * std::exp(-t / 0.035f)) / AUDIO_RATE_HZ;
        float v = std::sin(phase) * std::exp(-t / 0.12f) * 0.9f;
        mix_add(mix, first + f, v, v);
    }
}

void add_snare(Mix& mix, float start, Rng& rng) {
    const float seconds = 0.22f;
    float low = 0;
    size_t first = frame_at(start);
    for (size_t f = 0; f < frame_at(seconds); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float noise = next_signed(rng);
        low += (noise - low) * 0.3f;
        float rattle = (noise - low * 0.6f) * std::exp(-t / 0.06f) * 0.35f;
        float tone = std::sin(TWO_PI * 190.0f * t) * std::exp(-t / 0.04f) * 0.35f;
        mix_add(mix, first + f, rattle * 0.9f + tone, rattle + tone * 0.9f);
    }
}

void add_hat(Mix& mix, float start, float level, float decay_s, Rng& rng) {
    float previous = 0;
    size_t first = frame_at(start);
    for (size_t f = 0; f < frame_at(decay_s * 5); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float noise = next_signed(rng);
        float bright = noise - previous;  // a first difference keeps only the hiss
        previous = noise;
        float v = bright * std::exp(-t / decay_s) * level;
        mix_add(mix, first + f, v * 0.7f, v);  // hats sit a little right
    }
}

void add_bass_note(Mix& mix, float start, float seconds, float note) {
    float hz = note_hz(note);
    float phase = 0, low = 0, lower = 0;
    size_t first = frame_at(start);
    for (size_t f = 0; f < frame_at(seconds); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        phase = std::fmod(phase + hz / AUDIO_RATE_HZ, 1.0f);
        float saw = phase * 2.0f - 1.0f;
        float cutoff = 250.0f + 900.0f * std::exp(-t / 0.05f);
        float a = 1.0f - std::exp(-TWO_PI * cutoff / AUDIO_RATE_HZ);
        low += (saw - low) * a;
        lower += (low - lower) * a;
        float envelope = std::min(1.0f, t / 0.004f) * std::min(1.0f, (seconds - t) / 0.02f);
        float v = (lower * 0.5f + std::sin(TWO_PI * hz * t) * 0.3f) * envelope;
        mix_add(mix, first + f, v, v);
    }
}

// Pads: three slightly detuned saws per chord tone, spread left to right;
// the whole pad track is low-passed afterwards.
void add_pad_chord(Mix& pads, float start, float seconds, const Chord& chord) {
    const float detune_cents[3] = {-8.0f, 0.0f, 8.0f};
    const float pan_left[3] = {0.9f, 0.6f, 0.3f};
    const float attack = 0.5f, release = 0.8f;
    size_t first = frame_at(start);
    size_t length = frame_at(seconds + release);
    for (int tone = 0; tone < 3; tone++) {
        for (int voice = 0; voice < 3; voice++) {
            float hz = note_hz(chord.tones[tone] + detune_cents[voice] / 100.0f);
            float phase = 0.37f * voice + 0.11f * tone;
            for (size_t f = 0; f < length; f++) {
                float t = static_cast<float>(f) / AUDIO_RATE_HZ;
                phase += hz / AUDIO_RATE_HZ;
                phase -= std::floor(phase);
                float envelope = std::min(1.0f, t / attack);
                if (t > seconds) envelope *= std::max(0.0f, 1.0f - (t - seconds) / release);
                float v = (phase * 2.0f - 1.0f) * envelope * 0.05f;
                mix_add(pads, first + f, v * pan_left[voice], v * (1.2f - pan_left[voice]));
            }
        }
    }
}

void add_arp_note(Mix& arp, float start, float note) {
    const float seconds = 0.12f;
    float hz = note_hz(note);
    float phase = 0;
    size_t first = frame_at(start);
    for (size_t f = 0; f < frame_at(seconds); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        phase = std::fmod(phase + hz / AUDIO_RATE_HZ, 1.0f);
        float pulse = phase < 0.25f ? 1.0f : -0.33f;
        float v = pulse * std::min(1.0f, t / 0.003f) * std::exp(-t / 0.05f) * 0.16f;
        mix_add(arp, first + f, v, v);
    }
}

// Ping-pong echo over the loop: each repeat crosses to the other side.
void add_echo(Mix& arp) {
    size_t delay = frame_at(ECHO_SECONDS);
    std::vector<float> left = arp.left, right = arp.right;
    for (int lap = 0; lap < 2; lap++) {
        for (size_t f = 0; f < arp.frames; f++) {
            size_t back = (f + arp.frames - delay) % arp.frames;
            left[f] = arp.left[f] + right[back] * ECHO_FEEDBACK;
            right[f] = arp.right[f] + left[back] * ECHO_FEEDBACK;
        }
    }
    arp.left = left;
    arp.right = right;
}

Mix compose_track() {
    size_t frames = frame_at(TRACK_SECONDS);
    Mix mix = make_mix(frames), pads = make_mix(frames), arp = make_mix(frames);
    Rng rng = make_rng(0x5D0A);
    const int steps_per_bar = STEPS_PER_BEAT * BEATS_PER_BAR;
    for (int bar = 0; bar < BARS; bar++) {
        int section = bar / (BARS_PER_CHORD * CHORDS);
        const Chord& chord = PROGRESSION[(bar / BARS_PER_CHORD) % CHORDS];
        float bar_start = bar * BAR_SECONDS;
        if (bar % BARS_PER_CHORD == 0) add_pad_chord(pads, bar_start, BAR_SECONDS * BARS_PER_CHORD, chord);
        for (int step = 0; step < steps_per_bar; step++) {
            float t = bar_start + step * STEP_SECONDS;
            bool last_bar_of_section = bar % (BARS_PER_CHORD * CHORDS) == BARS_PER_CHORD * CHORDS - 1;
            if (step % 2 == 0) {
                float level = step % 4 == 2 ? 0.22f : 0.12f;
                add_hat(mix, t, level, step == 14 && section > 0 ? 0.09f : 0.025f, rng);
                add_bass_note(mix, t, STEP_SECONDS * 1.8f, static_cast<float>(chord.bass_note + BASS_PATTERN[step / 2]));
            }
            if (section >= 1) {
                bool kick = step == 0 || step == 8 || (section == 3 && step == 10);
                if (kick) add_kick(mix, t);
                bool snare = step == 4 || step == 12 || (last_bar_of_section && section >= 2 && step >= 13);
                if (snare) add_snare(mix, t, rng);
            }
            if (section >= 2) {
                const int arp_order[4] = {0, 1, 2, 1};
                int tone = chord.tones[arp_order[step % 4]] + 12 + (step >= 8 && section == 3 ? 12 : 0);
                add_arp_note(arp, t, static_cast<float>(tone));
            }
        }
    }
    low_pass_loop(pads.left, 1400.0f);
    low_pass_loop(pads.left, 1400.0f);
    low_pass_loop(pads.right, 1400.0f);
    low_pass_loop(pads.right, 1400.0f);
    add_echo(arp);
    for (size_t f = 0; f < frames; f++) {
        mix.left[f] += pads.left[f] + arp.left[f];
        mix.right[f] += pads.right[f] + arp.right[f];
    }
    return mix;
}

bool encode_mp3(const Mix& mix, std::vector<uint8_t>& out) {
    lame_global_flags* lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, AUDIO_RATE_HZ);
    lame_set_out_samplerate(lame, AUDIO_RATE_HZ);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, MP3_BITRATE_KBPS);
    lame_set_quality(lame, LAME_QUALITY);
    // No ID3 tag; the LAME info frame stays, as it carries the encoder delay
    // and padding that let players loop the track without a gap. It holds
    // nothing that changes from run to run.
    lame_set_write_id3tag_automatic(lame, 0);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    float peak = 0;
    for (size_t f = 0; f < mix.frames; f++) peak = std::max({peak, std::fabs(mix.left[f]), std::fabs(mix.right[f])});
    float gain = peak > 0 ? MIX_PEAK / peak : 0;

    const int chunk_frames = 8192;
    std::vector<short> pcm(chunk_frames * 2);
    std::vector<unsigned char> buffer(chunk_frames * 5 / 4 + 7200);
    bool ok = true;
    for (size_t start = 0; start < mix.frames && ok; start += chunk_frames) {
        int count = static_cast<int>(std::min<size_t>(chunk_frames, mix.frames - start));
        for (int i = 0; i < count; i++) {
            pcm[i * 2] = static_cast<short>(std::lround(mix.left[start + i] * gain * 32767.0f));
            pcm[i * 2 + 1] = static_cast<short>(std::lround(mix.right[start + i] * gain * 32767.0f));
        }
        int written = lame_encode_buffer_interleaved(lame, pcm.data(), count, buffer.data(),
                                                     static_cast<int>(buffer.size()));
        if (written < 0) ok = false;
        else out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    if (ok) {
        int written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) ok = false;
        else out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    if (ok) {
        // The info frame goes over the placeholder LAME put first.
        size_t tag_bytes = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
        if (tag_bytes > 0 && tag_bytes <= out.size()) std::copy(buffer.begin(), buffer.begin() + tag_bytes, out.begin());
    }
    lame_close(lame);
    return ok;
}

}  // namespace

bool write_music(const char* dir) {
    std::vector<uint8_t> mp3;
    if (!encode_mp3(compose_track(), mp3)) {
        std::fprintf(stderr, "assetgen: the MP3 encoder failed\n");
        return false;
    }
    return save_bytes(join_path(dir, asset_name(ASSET_ROUND_MUSIC)), mp3);
}
