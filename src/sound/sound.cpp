// The sound service over SDL2_mixer. Samples play on fixed mixer channels;
// the music stream plays on SDL_mixer's music voice, which the game calls
// channel 0. When the audio device cannot open, every call only records what
// was asked and returns.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cassert>
#include <cstdlib>
#include <new>

struct MusicStream {
    Mix_Music* music;
};

ChannelRecord channel_records[SOUND_CHANNELS];
int open_music_streams;

static const int MIX_RATE_HZ = 44100;
static const int MIX_OUTPUT_CHANNELS = 2;
static const int MIX_BUFFER_FRAMES = 1024;
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

static bool audio_open;
static Mix_Chunk* samples[SAMPLE_COUNT];
static MusicStream* playing_stream;  // the stream on the music voice, if any

// The game's volumes run 0..255; the mixer's run 0..MIX_MAX_VOLUME.
static int to_mixer_volume(int volume) {
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

// SDL's start connects to the D-Bus session bus. Where the session has none
// (a bare X session, ssh -X), libdbus forks the game, by then threaded, to
// autolaunch one with dbus-launch: a fork whose child can deadlock in malloc
// before its exec and hang the start, and a bus daemon left behind for a
// game that needs none. An address libdbus cannot use makes it give up at
// once instead. The game starts no other program, so nothing else sees it.
static void keep_dbus_from_autolaunching() {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}

void start_sound() {
    reset_channel_records();
    if (audio_open) return;
    keep_dbus_from_autolaunching();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    if (Mix_OpenAudio(MIX_RATE_HZ, AUDIO_S16SYS, MIX_OUTPUT_CHANNELS, MIX_BUFFER_FRAMES) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(SOUND_CHANNELS);
    audio_open = true;
}

void load_samples() {
    if (!audio_open) return;
    for (int i = 0; i < SAMPLE_COUNT; i++) {
        if (!samples[i]) samples[i] = Mix_LoadWAV(asset_path(SAMPLE_FILES[i]));
    }
}

bool sound_is_open() {
    return audio_open;
}

bool sample_is_loaded(SampleId sample) {
    return sample >= 0 && sample < SAMPLE_COUNT && samples[sample] != nullptr;
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

MusicStream* open_music_stream(const char* path) {
    if (!audio_open || !path) return nullptr;
    Mix_Music* music = Mix_LoadMUS(path);
    if (!music) return nullptr;
    MusicStream* stream = new (std::nothrow) MusicStream{music};
    if (!stream) {
        Mix_FreeMusic(music);
        return nullptr;
    }
    open_music_streams++;
    return stream;
}

void play_music_stream(MusicStream* stream) {
    if (!stream || !audio_open) return;
    ChannelRecord& record = channel_records[CHANNEL_MUSIC];
    record.starts++;
    record.volume = SOUND_VOLUME_MAX;
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    if (Mix_PlayMusic(stream->music, MUSIC_LOOP_FOREVER) == 0) playing_stream = stream;
}

void stop_music_stream(MusicStream* stream) {
    if (!stream || stream != playing_stream) return;
    Mix_HaltMusic();
    playing_stream = nullptr;
}

void close_music_stream(MusicStream* stream) {
    if (!stream) return;
    stop_music_stream(stream);
    Mix_FreeMusic(stream->music);
    delete stream;
    open_music_streams--;
}

void pause_sound() {
    if (!audio_open) return;
    Mix_Pause(-1);
    Mix_PauseMusic();
}

void resume_sound() {
    if (!audio_open) return;
    Mix_Resume(-1);
    Mix_ResumeMusic();
}

void close_sound() {
    if (!audio_open) return;
    if (playing_stream) Mix_HaltMusic();
    playing_stream = nullptr;
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : samples) {
        if (chunk) Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_open = false;
}
