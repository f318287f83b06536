// The sound service: eight preloaded samples played on fixed channels, one
// looping music stream on the music voice, per-channel volume 0..255. Every
// call is harmless when sound could not start, a file was missing or a handle
// is null: the game plays on silently. A device that goes away is opened
// again, and one missing at start is looked for, about once a second.
#pragma once

#include <cstdint>

#include "assets/asset_list.h"

enum SampleId {
    SAMPLE_RIFLE = 0,
    SAMPLE_MACHINE_GUN,
    SAMPLE_LASER,
    SAMPLE_GROAN_A,
    SAMPLE_GROAN_B,
    SAMPLE_MACHINE_GUN_B,
    SAMPLE_PICKUP,
    SAMPLE_BLAST,
    SAMPLE_COUNT,
};

// Fixed channel plan.
enum {
    CHANNEL_MUSIC = 0,
    CHANNEL_PLAYER_SHOT = 1,  // rifle or machine gun; also the tally blast
    CHANNEL_GROAN = 2,
    CHANNEL_LASER = 3,
    CHANNEL_SHOT_MISS = 4,
    CHANNEL_PICKUP = 6,
    SOUND_CHANNELS = 32,
    SOUND_VOLUME_MAX = 255,
};

// The file each sample is read from.
extern const AssetId SAMPLE_FILES[SAMPLE_COUNT];

struct MusicStream;  // opaque

// The clock the sound tells time by: the game's own, milliseconds on a
// count that only goes forward, handed in by whoever starts the sound.
typedef int64_t (*SoundClock)();
void start_sound(SoundClock clock);  // 44100 Hz, 32 mixing channels
void load_samples();                 // the eight samples, in table order
bool sound_is_open();                // an audio device is open now
// Once per pass of the main loop: notices a lost device within a second,
// tries the default device again about once a second without holding up
// the caller, and once one opens plays the current music again from its
// start at the volume last set, with the samples and channel volumes.
void keep_sound_alive();
bool sample_is_loaded(SampleId sample);
void play_sample(int channel, SampleId sample);
void set_channel_volume(int channel, int volume);  // 0..255
// Looping; null when the file cannot be read (or, with a device, played).
MusicStream* open_music_stream(const char* path);
void play_music_stream(MusicStream* stream);       // on the music voice
void stop_music_stream(MusicStream* stream);
void close_music_stream(MusicStream* stream);
// Every sample and the music stop where they are, and go on from there.
void pause_sound();
void resume_sound();
void close_sound();

// What the game last asked of each fixed channel, kept whether or not a
// device exists, so the rules can be checked without listening.
struct ChannelRecord {
    int last_sample;  // SampleId, or -1 when nothing was started
    int volume;       // last volume set, 0..255
    int starts;       // number of play_sample calls on this channel
};
extern ChannelRecord channel_records[SOUND_CHANNELS];
extern int open_music_streams;  // opened and not yet closed
void reset_channel_records();
