// Internals the game-facing calls (sound.cpp) and the device's life
// (sound_device.cpp) share: who may touch the mixer, the loaded samples, the
// music streams and what must be put back when a device comes.
#pragma once

#include <SDL_mixer.h>

#include "sound/sound.h"

static const int MUSIC_STREAM_CAPACITY = 4;
static const int MUSIC_PATH_CAPACITY = 512;

struct MusicStream {
    bool in_use;
    char path[MUSIC_PATH_CAPACITY];
    Mix_Music* music;  // null while there is no device
};

// True while the game's thread owns an open mixer. While it is false no call
// of the service touches SDL's audio or the mixer: a device attempt may be
// running on the opener's thread (sound_device.cpp).
extern bool audio_open;
extern Mix_Chunk* samples[SAMPLE_COUNT];
extern MusicStream music_streams[MUSIC_STREAM_CAPACITY];
extern MusicStream* playing_stream;  // the stream the game wants on the music voice
extern bool sound_paused;            // the game asked for the pause

int to_mixer_volume(int volume);
// On a newly opened device, on the game's thread: the playing stream starts
// again from its start at the volume last set, every channel gets its last
// volume again, and a pause the game asked for holds.
void restore_sound();
// Before a lost device is handed to the opener: every stream lets go of its
// decoder, which belongs to the old device.
void drop_music_decoders();
