// Placeholder sound service until the mixer layer lands.
#include "sound/sound.h"
ChannelRecord channel_records[SOUND_CHANNELS];
void reset_channel_records() {}
void start_sound() {}
void load_samples() {}
void play_sample(int, SampleId) {}
void set_channel_volume(int, int) {}
MusicStream* open_music_stream(const char*) { return nullptr; }
void play_music_stream(MusicStream*) {}
void stop_music_stream(MusicStream*) {}
void close_music_stream(MusicStream*) {}
void close_sound() {}
