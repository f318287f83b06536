// The sound service over SDL2_mixer. Samples play on fixed mixer channels;
// the music stream plays on SDL_mixer's music voice, which the game calls
// channel 0. What the game asks is kept whether or not a device is open, so
// that a device that comes later (sound_device.cpp) plays the round's music
// at the volume the game set, and a pause the game asked for holds.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cassert>
#include <cstdio>
#include <cstring>

#include "sound/sound_local.h"

ChannelRecord channel_records[SOUND_CHANNELS];
int open_music_streams;

bool audio_open;
Mix_Chunk* samples[SAMPLE_COUNT];
MusicStream music_streams[MUSIC_STREAM_CAPACITY];
MusicStream* playing_stream;
bool sound_paused;

static const int MUSIC_LOOP_FOREVER = -1;

// Load order of the samples; groan and machine gun load twice, as two
// independent handles.
const AssetId SAMPLE_FILES[SAMPLE_COUNT] = {
    ASSET_RIFLE_SOUND,        // SAMPLE_RIFLE
    ASSET_MACHINE_GUN_SOUND,  // SAMPLE_MACHINE_GUN
    ASSET_LASER_SOUND,        // SAMPLE_LASER
    ASSET_GROAN_SOUND,        // SAMPLE_GROAN_A
    ASSET_GROAN_SOUND,        // SAMPLE_GROAN_B
    ASSET_MACHINE_GUN_SOUND,  // SAMPLE_MACHINE_GUN_B
    ASSET_PICKUP_SOUND,       // SAMPLE_PICKUP
    ASSET_BLAST_SOUND,        // SAMPLE_BLAST
};

// The game's volumes run 0..255; the mixer's run 0..MIX_MAX_VOLUME.
int to_mixer_volume(int volume) {
    if (volume < 0) volume = 0;
    if (volume > SOUND_VOLUME_MAX) volume = SOUND_VOLUME_MAX;
    return (volume * MIX_MAX_VOLUME + SOUND_VOLUME_MAX / 2) / SOUND_VOLUME_MAX;
}

static bool valid_channel(int channel) {
    return channel >= 0 && channel < SOUND_CHANNELS;
}

void reset_channel_records() {
    for (ChannelRecord& record : channel_records) record = ChannelRecord{-1, SOUND_VOLUME_MAX, 0};
}

// The device's opener loads the samples along with the device; this loads
// any it could not.
void load_samples() {
    if (!audio_open) return;
    for (int i = 0; i < SAMPLE_COUNT; i++) {
        if (!samples[i]) samples[i] = Mix_LoadWAV(asset_path(SAMPLE_FILES[i]));
    }
}

bool sample_is_loaded(SampleId sample) {
    return audio_open && sample >= 0 && sample < SAMPLE_COUNT && samples[sample] != nullptr;
}

void play_sample(int channel, SampleId sample) {
    if (!valid_channel(channel) || sample < 0 || sample >= SAMPLE_COUNT) return;
    ChannelRecord& record = channel_records[channel];
    record.last_sample = sample;
    record.volume = SOUND_VOLUME_MAX;  // a new start plays at full volume
    record.starts++;
    if (!audio_open || !samples[sample]) return;
    // A start on a busy channel halts what plays there first.
    Mix_Volume(channel, MIX_MAX_VOLUME);
    Mix_PlayChannel(channel, samples[sample], 0);
}

void set_channel_volume(int channel, int volume) {
    if (!valid_channel(channel)) return;
    channel_records[channel].volume = volume;
    if (!audio_open) return;
    if (channel == CHANNEL_MUSIC) {
        Mix_VolumeMusic(to_mixer_volume(volume));
    } else {
        Mix_Volume(channel, to_mixer_volume(volume));
    }
}

static bool file_is_readable(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// Without a device the stream is only its file, read when a device comes.
MusicStream* open_music_stream(const char* path) {
    if (!path || std::strlen(path) >= sizeof(MusicStream::path)) return nullptr;
    MusicStream* stream = nullptr;
    for (MusicStream& candidate : music_streams) {
        if (!candidate.in_use) {
            stream = &candidate;
            break;
        }
    }
    assert(stream && "the game holds one music stream at a time");
    if (!stream) return nullptr;
    Mix_Music* music = nullptr;
    if (audio_open) {
        music = Mix_LoadMUS(path);
        if (!music) return nullptr;
    } else if (!file_is_readable(path)) {
        return nullptr;
    }
    stream->in_use = true;
    std::strcpy(stream->path, path);
    stream->music = music;
    open_music_streams++;
    return stream;
}

static bool start_music(MusicStream* stream) {
    if (!stream->music) stream->music = Mix_LoadMUS(stream->path);
    return stream->music && Mix_PlayMusic(stream->music, MUSIC_LOOP_FOREVER) == 0;
}

void play_music_stream(MusicStream* stream) {
    if (!stream) return;
    ChannelRecord& record = channel_records[CHANNEL_MUSIC];
    record.starts++;
    record.volume = SOUND_VOLUME_MAX;
    playing_stream = stream;  // without a device, the music a device will play
    if (!audio_open) return;
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    if (!start_music(stream)) playing_stream = nullptr;
}

void stop_music_stream(MusicStream* stream) {
    if (!stream || stream != playing_stream) return;
    if (audio_open) Mix_HaltMusic();
    playing_stream = nullptr;
}

void close_music_stream(MusicStream* stream) {
    if (!stream) return;
    stop_music_stream(stream);
    if (stream->music) Mix_FreeMusic(stream->music);
    *stream = MusicStream{};
    open_music_streams--;
}

void drop_music_decoders() {
    Mix_HaltMusic();
    for (MusicStream& stream : music_streams) {
        if (stream.music) Mix_FreeMusic(stream.music);
        stream.music = nullptr;
    }
}

void restore_sound() {
    for (int channel = 0; channel < SOUND_CHANNELS; channel++) {
        if (channel != CHANNEL_MUSIC) Mix_Volume(channel, to_mixer_volume(channel_records[channel].volume));
    }
    Mix_VolumeMusic(to_mixer_volume(channel_records[CHANNEL_MUSIC].volume));
    if (playing_stream && !start_music(playing_stream)) playing_stream = nullptr;
    if (sound_paused) {
        Mix_Pause(-1);
        Mix_PauseMusic();
    }
}

void pause_sound() {
    sound_paused = true;
    if (!audio_open) return;
    Mix_Pause(-1);
    Mix_PauseMusic();
}

void resume_sound() {
    sound_paused = false;
    if (!audio_open) return;
    Mix_Resume(-1);
    Mix_ResumeMusic();
}
