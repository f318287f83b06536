// The sound service as a player hears it, recorded through SDL's disk audio
// driver: samples sound, a new start replaces a channel's sound, volume
// scales, the music loops and stops, nothing breaks without a device, and
// a device that comes late or goes away and back brings the sound back.
#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "desktop/desktop.h"
#include "media.h"
#include "sound/sound.h"
#include "support/scratch_dir.h"

namespace {

const int RATE_HZ = 44100;
const int16_t SILENCE_LIMIT = 200;  // peak below this counts as silence

// A tone of peak 20000 in 16-bit PCM at 44100 Hz, written as the asset
// builder writes the game's sounds.
void write_tone(const std::string& path, double seconds, double hz, int channels) {
    Sound tone;
    tone.channels = channels;
    for (int i = 0; i < static_cast<int>(seconds * RATE_HZ); i++) {
        const float v = static_cast<float>(20000 * std::sin(2 * M_PI * hz * i / RATE_HZ) / 32767);
        tone.samples.insert(tone.samples.end(), channels, v);
    }
    ASSERT_TRUE(write_wav(path, tone));
}

const long BYTES_PER_FRAME = 4;  // 16-bit stereo

// Per-frame peak of the recorded stereo output.
struct Recording {
    std::vector<int> peak;
    int first_loud() const {
        for (size_t i = 0; i < peak.size(); i++) if (peak[i] > SILENCE_LIMIT) return static_cast<int>(i);
        return -1;
    }
    int last_loud() const {
        for (size_t i = peak.size(); i-- > 0;) if (peak[i] > SILENCE_LIMIT) return static_cast<int>(i);
        return -1;
    }
    int max_peak() const { return peak.empty() ? 0 : *std::max_element(peak.begin(), peak.end()); }
};

class SoundService : public ::testing::Test {
protected:
    ScratchDir scratch;
    const std::string dir = scratch.path;
    std::string old_cwd;
    std::string out_path;  // where the disk driver writes

    void SetUp() override {
        ASSERT_FALSE(dir.empty());
        char cwd[4096];
        ASSERT_TRUE(getcwd(cwd, sizeof cwd));
        old_cwd = cwd;
        ASSERT_EQ(0, mkdir((dir + "/datos").c_str(), 0700));
        // One second of rifle, a tenth of a second of machine gun, and a
        // short tone for the music so that looping is audible.
        write_tone(dir + "/datos/rifle.wav", 1.0, 440, 2);
        write_tone(dir + "/datos/mach.wav", 0.1, 880, 2);
        write_tone(dir + "/datos/laser.wav", 0.3, 660, 2);
        write_tone(dir + "/datos/groan.wav", 0.3, 220, 2);
        write_tone(dir + "/datos/aditamento.wav", 0.3, 990, 1);
        write_tone(dir + "/datos/music.wav", 0.25, 330, 2);
        ASSERT_EQ(0, chdir(dir.c_str()));
        setenv("SDL_AUDIODRIVER", "disk", 1);
        write_to(dir + "/out.raw");
    }

    void write_to(const std::string& path) {
        out_path = path;
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }

    // Runs the main loop's sound watch until the device is open or closed
    // as wanted; false after a deadline. Counts the openings seen.
    bool watch_sound_until(bool open, int* openings = nullptr) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool was_open = sound_is_open();
        while (sound_is_open() != open) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            keep_sound_alive();
            if (openings && sound_is_open() && !was_open) ++*openings;
            was_open = sound_is_open();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    void TearDown() override {
        close_sound();
        ASSERT_EQ(0, chdir(old_cwd.c_str()));
    }

    void open_sound() {
        start_sound(monotonic_ms);
        load_samples();
    }

    long recorded_bytes() const {
        struct stat info;
        return stat(out_path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
    }

    // Waits until the disk driver has written `seconds` more of the output,
    // however slowly a loaded machine plays it; false after a deadline.
    bool record_for(double seconds) {
        const long wanted = recorded_bytes() + static_cast<long>(seconds * RATE_HZ) * BYTES_PER_FRAME;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(10 * seconds + 5);
        while (recorded_bytes() < wanted) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    Recording finish() {
        close_sound();
        Recording r;
        FILE* f = std::fopen(out_path.c_str(), "rb");
        if (!f) return r;
        int16_t frame[2];
        while (std::fread(frame, sizeof frame, 1, f) == 1) {
            r.peak.push_back(std::max(std::abs(static_cast<int>(frame[0])), std::abs(static_cast<int>(frame[1]))));
        }
        std::fclose(f);
        return r;
    }
};

TEST_F(SoundService, PlayedSampleSoundsAndOpeningIsHarmlessWithoutOtherSamples) {
    open_sound();  // blast.wav is missing on purpose
    play_sample(CHANNEL_PLAYER_SHOT, SAMPLE_BLAST);
    play_sample(CHANNEL_PICKUP, SAMPLE_PICKUP);
    ASSERT_TRUE(record_for(0.6));
    Recording r = finish();
    ASSERT_GT(r.peak.size(), 0u) << "the disk driver wrote nothing";
    EXPECT_GT(r.max_peak(), 5000);
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_BLAST);
    EXPECT_EQ(channel_records[CHANNEL_PICKUP].starts, 1);
}

TEST_F(SoundService, NewStartOnABusyChannelReplacesItsSound) {
    open_sound();
    play_sample(CHANNEL_PLAYER_SHOT, SAMPLE_RIFLE);  // one second long
    ASSERT_TRUE(record_for(0.2));
    play_sample(CHANNEL_PLAYER_SHOT, SAMPLE_MACHINE_GUN);  // a tenth
    ASSERT_TRUE(record_for(1.0));
    Recording r = finish();
    int first = r.first_loud(), last = r.last_loud();
    ASSERT_GE(first, 0);
    // The rifle alone would sound for a whole second.
    EXPECT_LT(last - first, static_cast<int>(0.6 * RATE_HZ));
    EXPECT_GT(last - first, static_cast<int>(0.15 * RATE_HZ));
}

TEST_F(SoundService, VolumeFiftyIsQuieterThanFull) {
    int loud = 0, quiet = 0;
    for (int* peak : {&loud, &quiet}) {
        open_sound();
        play_sample(CHANNEL_SHOT_MISS, SAMPLE_LASER);
        if (peak == &quiet) set_channel_volume(CHANNEL_SHOT_MISS, 50);
        ASSERT_TRUE(record_for(0.5));
        *peak = finish().max_peak();
    }
    ASSERT_GT(loud, 5000);
    EXPECT_NEAR(static_cast<double>(quiet) / loud, 50.0 / 255.0, 0.05);
}

TEST_F(SoundService, MusicLoopsPastItsLengthUntilStopped) {
    open_sound();
    MusicStream* music = open_music_stream("datos/music.wav");
    ASSERT_NE(music, nullptr);
    play_music_stream(music);
    set_channel_volume(CHANNEL_MUSIC, 255);
    ASSERT_TRUE(record_for(1.0));
    stop_music_stream(music);
    ASSERT_TRUE(record_for(0.6));
    close_music_stream(music);
    Recording r = finish();
    int first = r.first_loud(), last = r.last_loud();
    ASSERT_GE(first, 0);
    // A quarter-second track still sounding most of a second later: it looped.
    EXPECT_GT(last - first, static_cast<int>(0.7 * RATE_HZ));
    // After the stop the output falls silent well before the recording ends.
    EXPECT_LT(last, static_cast<int>(r.peak.size()) - static_cast<int>(0.3 * RATE_HZ));
}

TEST_F(SoundService, NullAndMissingStreamsDoNothing) {
    open_sound();
    stop_music_stream(nullptr);
    close_music_stream(nullptr);
    play_music_stream(nullptr);
    EXPECT_EQ(open_music_stream("datos/no-such-music.mp3"), nullptr);
    EXPECT_EQ(open_music_stream(nullptr), nullptr);
    play_sample(-1, SAMPLE_RIFLE);
    play_sample(SOUND_CHANNELS, SAMPLE_RIFLE);
    set_channel_volume(99, 10);
}

// Without a session bus, starting sound must not fork the game, threaded by
// then, to autolaunch one (the child can deadlock before its exec). libdbus
// autolaunches only for a session with an X display.
static int forks_seen;
TEST_F(SoundService, StartingWithoutASessionBusForksNothing) {
    pthread_atfork([] { forks_seen++; }, nullptr, nullptr);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("DISPLAY", ":0", 0);
    open_sound();
    EXPECT_TRUE(sound_is_open());
    EXPECT_EQ(forks_seen, 0);
}

TEST_F(SoundService, EveryCallIsHarmlessWithoutAnAudioDevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    open_sound();
    play_sample(CHANNEL_PLAYER_SHOT, SAMPLE_RIFLE);
    set_channel_volume(CHANNEL_SHOT_MISS, 50);
    // The stream is kept for a device that may come; a missing file is not.
    EXPECT_EQ(open_music_stream("datos/no-such-music.mp3"), nullptr);
    MusicStream* music = open_music_stream("datos/music.wav");
    EXPECT_NE(music, nullptr);
    play_music_stream(music);
    keep_sound_alive();
    stop_music_stream(music);
    close_music_stream(music);
    EXPECT_EQ(open_music_streams, 0);
    close_sound();
    // What the game asked is still recorded.
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_RIFLE);
    EXPECT_EQ(channel_records[CHANNEL_SHOT_MISS].volume, 50);
}

// No device at start (the disk driver's folder is missing): the game plays
// silent, and the device that appears plays the round's music from where the
// game stands: at the volume the fade has reached, paused while the game is
// held, and with the samples loaded.
TEST_F(SoundService, ALateDeviceTakesUpTheMusicAtItsVolumeAndPause) {
    write_to(dir + "/later/out.raw");
    open_sound();
    EXPECT_FALSE(sound_is_open());
    MusicStream* music = open_music_stream("datos/music.wav");
    ASSERT_NE(music, nullptr);
    play_music_stream(music);
    set_channel_volume(CHANNEL_MUSIC, 50);
    pause_sound();
    ASSERT_EQ(0, mkdir((dir + "/later").c_str(), 0700));
    ASSERT_TRUE(watch_sound_until(true)) << "the device that appeared was never opened";
    EXPECT_TRUE(sample_is_loaded(SAMPLE_RIFLE));
    ASSERT_TRUE(record_for(0.4));
    const long paused_frames = recorded_bytes() / BYTES_PER_FRAME;
    resume_sound();
    ASSERT_TRUE(record_for(0.6));
    stop_music_stream(music);
    close_music_stream(music);
    Recording r = finish();
    ASSERT_GT(r.first_loud(), 0) << "sound while the game was held";
    EXPECT_GE(r.first_loud(), paused_frames - RATE_HZ / 20);
    // The tone's 20000 at the mixer's volume for 50 (25 of 128).
    EXPECT_NEAR(r.max_peak(), 20000 * 25 / 128, 400);
}

// A device lost on every write past a file size limit (the disk driver
// gives it up), ten times over: each time the sound comes back with its
// samples and its one music stream, and nothing is kept from the lost
// device (the sanitizer build's leak check sees the rest).
TEST_F(SoundService, TenLostDevicesComeBackWithNothingLeft) {
    const rlim_t FILE_LIMIT_BYTES = 16 * 1024;  // a tenth of a second of sound
    rlimit old_limit;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old_limit));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = {FILE_LIMIT_BYTES, old_limit.rlim_max};
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
    open_sound();
    ASSERT_TRUE(sound_is_open());
    MusicStream* music = open_music_stream("datos/music.wav");
    play_music_stream(music);
    int openings = 0;
    for (int loss = 0; loss < 10; loss++) {
        if (!watch_sound_until(false) || !watch_sound_until(true, &openings)) break;
    }
    setrlimit(RLIMIT_FSIZE, &old_limit);
    EXPECT_EQ(openings, 10);
    EXPECT_TRUE(sample_is_loaded(SAMPLE_RIFLE));
    EXPECT_EQ(open_music_streams, 1);
    close_music_stream(music);
    EXPECT_EQ(open_music_streams, 0);
}

}  // namespace
