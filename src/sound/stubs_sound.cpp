// Placeholder sound service until the mixer layer lands. It already keeps
// the channel records, so the game's sounds can be checked without a device.
#include "sound/sound.h"
ChannelRecord channel_records[SOUND_CHANNELS];
void reset_channel_records() {
    for (ChannelRecord& record : channel_records) {
        record.last_sample = -1;
        record.volume = SOUND_VOLUME_MAX;
        record.starts = 0;
    }
}
void start_sound() {}
void load_samples() {}
void play_sample(int channel, SampleId sample) {
    if (channel < 0 || channel >= SOUND_CHANNELS) return;
    channel_records[channel].last_sample = sample;
    channel_records[channel].starts += 1;
}
void set_channel_volume(int channel, int volume) {
    if (channel < 0 || channel >= SOUND_CHANNELS) return;
    channel_records[channel].volume = volume;
}
MusicStream* open_music_stream(const char*) { return nullptr; }
void play_music_stream(MusicStream*) {}
void stop_music_stream(MusicStream*) {}
void close_music_stream(MusicStream*) {}
void close_sound() {}
