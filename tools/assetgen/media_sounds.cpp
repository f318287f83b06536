// The six sound effects, synthesised from noise and oscillators with
// envelopes, and the WAV (RIFF, 16-bit PCM, 44100 Hz) writer. The player's
// guns, the enemy laser and the groan are stereo with a little width; the
// pick-up chime and the tally boom are mono.
#include "assets/asset_list.h"
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "media.h"
#include "procedural.h"

namespace {

const float PEAK_LEVEL = 0.89f;  // about -1 dB full scale
const int WAV_BITS = 16;
const int WAV_HEADER_BYTES = 44;
const float SAMPLE_SCALE = 32767.0f;

// Simple filters, one call per sample.
struct OnePole {
    float state = 0;
    float low(float input, float cutoff_hz) {
        float a = 1.0f - std::exp(-TWO_PI * cutoff_hz / AUDIO_RATE_HZ);
        state += (input - state) * a;
        return state;
    }
    float high(float input, float cutoff_hz) { return input - low(input, cutoff_hz); }
};

// A resonant band-pass (biquad, 0 dB at the centre) for formants and the snare.
struct BandPass {
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    float run(float input, float centre_hz, float q) {
        float w = TWO_PI * centre_hz / AUDIO_RATE_HZ;
        float alpha = std::sin(w) / (2.0f * q);
        float a0 = 1.0f + alpha;
        float b0 = alpha / a0, b2 = -alpha / a0;
        float a1 = -2.0f * std::cos(w) / a0, a2 = (1.0f - alpha) / a0;
        float y = b0 * input + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = input;
        y2 = y1;
        y1 = y;
        return y;
    }
};

Sound make_sound(int channels, float seconds) {
    Sound sound;
    sound.channels = channels;
    sound.samples.assign(static_cast<size_t>(seconds * AUDIO_RATE_HZ) * channels, 0.0f);
    return sound;
}

size_t frame_count(const Sound& sound) {
    return sound.samples.size() / sound.channels;
}

// Scales to a fixed peak and fades the last few milliseconds so nothing clicks.
void finish(Sound& sound) {
    float peak = 0;
    for (float s : sound.samples) peak = std::max(peak, std::fabs(s));
    float gain = peak > 0 ? PEAK_LEVEL / peak : 0;
    size_t frames = frame_count(sound);
    const size_t fade = AUDIO_RATE_HZ / 200;
    for (size_t f = 0; f < frames; f++) {
        float edge = f + fade > frames ? static_cast<float>(frames - f) / fade : 1.0f;
        for (int c = 0; c < sound.channels; c++) sound.samples[f * sound.channels + c] *= gain * edge;
    }
}

float decay(float t, float seconds) {
    return std::exp(-t / seconds);
}

// A gunshot: a bright crack, a body of filtered noise, a falling low thump
// and a short room tail that differs between the ears.
struct GunShape {
    float seconds;
    float crack_decay, body_decay, thump_decay, tail_decay;
    float thump_start_hz, thump_end_hz;
    float body_cutoff_hz;
    uint64_t seed;
};

const GunShape RIFLE_SHAPE = {0.4f, 0.010f, 0.05f, 0.07f, 0.12f, 110.0f, 45.0f, 2500.0f, 11};
const GunShape MACHINE_GUN_SHAPE = {0.15f, 0.006f, 0.022f, 0.03f, 0.04f, 150.0f, 60.0f, 3200.0f, 12};

Sound make_gunshot(const GunShape& shape) {
    Sound sound = make_sound(2, shape.seconds);
    Rng rng = make_rng(shape.seed);
    OnePole crack_filter, body_filter, tail_filter[2];
    float thump_phase = 0;
    for (size_t f = 0; f < frame_count(sound); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float noise = next_signed(rng);
        float crack = crack_filter.high(noise, 1500.0f) * decay(t, shape.crack_decay);
        float body = body_filter.low(noise, shape.body_cutoff_hz) * decay(t, shape.body_decay) * 1.6f;
        float thump_hz = shape.thump_end_hz + (shape.thump_start_hz - shape.thump_end_hz) * decay(t, 0.03f);
        thump_phase += TWO_PI * thump_hz / AUDIO_RATE_HZ;
        float thump = std::sin(thump_phase) * decay(t, shape.thump_decay) * 0.9f;
        for (int c = 0; c < 2; c++) {
            float tail = tail_filter[c].low(next_signed(rng), 900.0f) * decay(t, shape.tail_decay) * 0.9f;
            sound.samples[f * 2 + c] = crack + body + thump + tail;
        }
    }
    finish(sound);
    return sound;
}

// The enemy laser: a square wave and a saw an octave down sweeping from high
// to low, the two ears a little detuned.
Sound make_laser() {
    const float seconds = 0.35f, start_hz = 1800.0f, end_hz = 180.0f;
    const float detune[2] = {0.993f, 1.007f};
    Sound sound = make_sound(2, seconds);
    float phase[2][2] = {{0, 0}, {0, 0}};
    for (size_t f = 0; f < frame_count(sound); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float hz = start_hz * std::pow(end_hz / start_hz, t / seconds);
        float envelope = std::min(1.0f, t / 0.004f) * decay(t, 0.14f);
        for (int c = 0; c < 2; c++) {
            phase[c][0] = std::fmod(phase[c][0] + hz * detune[c] / AUDIO_RATE_HZ, 1.0f);
            phase[c][1] = std::fmod(phase[c][1] + hz * 0.5f * detune[1 - c] / AUDIO_RATE_HZ, 1.0f);
            float square = phase[c][0] < 0.5f ? 1.0f : -1.0f;
            float saw = phase[c][1] * 2.0f - 1.0f;
            sound.samples[f * 2 + c] = (square * 0.6f + saw * 0.5f) * envelope;
        }
    }
    finish(sound);
    return sound;
}

// A hit enemy's groan: a low, rough voice (a saw with a sagging pitch and a
// flutter) through three formant filters of a dark "uhh".
Sound make_groan() {
    const float seconds = 0.6f;
    const float formant_hz[3] = {480.0f, 880.0f, 2350.0f};
    const float formant_gain[3] = {1.0f, 0.55f, 0.18f};
    Sound sound = make_sound(2, seconds);
    Rng rng = make_rng(21);
    BandPass formant[2][3];
    float phase[2] = {0, 0.3f};
    for (size_t f = 0; f < frame_count(sound); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float envelope = std::min(1.0f, t / 0.06f) * std::min(1.0f, (seconds - t) / 0.2f);
        float pitch = 98.0f - 30.0f * (t / seconds);
        float roughness = 0.75f + 0.25f * std::sin(TWO_PI * 31.0f * t);
        float breath = next_signed(rng) * 0.15f;
        for (int c = 0; c < 2; c++) {
            float vibrato = 1.0f + 0.02f * std::sin(TWO_PI * 5.5f * t + c * 1.3f);
            phase[c] = std::fmod(phase[c] + pitch * vibrato / AUDIO_RATE_HZ, 1.0f);
            float source = (phase[c] * 2.0f - 1.0f) * roughness + breath;
            float sum = 0;
            float shift = 1.0f - 0.15f * (t / seconds);  // the vowel darkens as it dies
            for (int k = 0; k < 3; k++) sum += formant[c][k].run(source, formant_hz[k] * shift, 6.0f) * formant_gain[k];
            sound.samples[f * 2 + c] = sum * envelope;
        }
    }
    finish(sound);
    return sound;
}

// The pick-up chime: four bell notes of a rising major arpeggio.
Sound make_pickup_chime() {
    const float seconds = 0.5f;
    const float note_hz[] = {1046.5f, 1318.5f, 1568.0f, 2093.0f};  // C6 E6 G6 C7
    const float note_step_s = 0.065f;
    Sound sound = make_sound(1, seconds);
    for (size_t f = 0; f < frame_count(sound); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float sum = 0;
        for (int n = 0; n < 4; n++) {
            float local = t - n * note_step_s;
            if (local < 0) continue;
            float envelope = std::min(1.0f, local / 0.002f) * decay(local, 0.12f + 0.05f * n);
            float partials = std::sin(TWO_PI * note_hz[n] * local) + 0.3f * std::sin(TWO_PI * note_hz[n] * 2.76f * local) +
                             0.12f * std::sin(TWO_PI * note_hz[n] * 5.4f * local) * decay(local, 0.03f);
            sum += partials * envelope;
        }
        sound.samples[f] = sum;
    }
    finish(sound);
    return sound;
}

// The tally beat: a deep falling boom under a burst of dark noise.
Sound make_blast() {
    const float seconds = 0.8f;
    Sound sound = make_sound(1, seconds);
    Rng rng = make_rng(31);
    OnePole rumble[2];
    float phase = 0;
    for (size_t f = 0; f < frame_count(sound); f++) {
        float t = static_cast<float>(f) / AUDIO_RATE_HZ;
        float hz = 32.0f + 60.0f * decay(t, 0.08f);
        phase += TWO_PI * hz / AUDIO_RATE_HZ;
        float boom = std::sin(phase) * std::min(1.0f, t / 0.003f) * decay(t, 0.3f);
        float cutoff = 120.0f + 900.0f * decay(t, 0.05f);
        float noise = rumble[1].low(rumble[0].low(next_signed(rng), cutoff), cutoff) * decay(t, 0.25f) * 2.5f;
        sound.samples[f] = boom + noise;
    }
    finish(sound);
    return sound;
}

}  // namespace

bool write_wav(const std::string& path, const Sound& sound) {
    const uint32_t block_align = static_cast<uint32_t>(sound.channels * WAV_BITS / 8);
    const uint32_t data_bytes = static_cast<uint32_t>(sound.samples.size() * (WAV_BITS / 8));
    ByteWriter out;
    out.bytes.reserve(WAV_HEADER_BYTES + data_bytes);
    out.tag("RIFF");
    out.u32(WAV_HEADER_BYTES - 8 + data_bytes);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(16);  // size of the PCM format block
    out.u16(1);   // PCM
    out.u16(static_cast<uint16_t>(sound.channels));
    out.u32(AUDIO_RATE_HZ);
    out.u32(AUDIO_RATE_HZ * block_align);
    out.u16(static_cast<uint16_t>(block_align));
    out.u16(WAV_BITS);
    out.tag("data");
    out.u32(data_bytes);
    for (float s : sound.samples) {
        long v = std::lround(std::max(-1.0f, std::min(1.0f, s)) * SAMPLE_SCALE);
        out.u16(static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    return save_bytes(path, out.bytes);
}

bool write_sound_effects(const char* dir) {
    bool ok = write_wav(join_path(dir, asset_name(ASSET_RIFLE_SOUND)), make_gunshot(RIFLE_SHAPE));
    ok = write_wav(join_path(dir, asset_name(ASSET_MACHINE_GUN_SOUND)), make_gunshot(MACHINE_GUN_SHAPE)) && ok;
    ok = write_wav(join_path(dir, asset_name(ASSET_LASER_SOUND)), make_laser()) && ok;
    ok = write_wav(join_path(dir, asset_name(ASSET_GROAN_SOUND)), make_groan()) && ok;
    ok = write_wav(join_path(dir, asset_name(ASSET_PICKUP_SOUND)), make_pickup_chime()) && ok;
    ok = write_wav(join_path(dir, asset_name(ASSET_BLAST_SOUND)), make_blast()) && ok;
    return ok;
}
