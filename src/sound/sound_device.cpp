// The audio device's life: opening it without holding up the game, noticing
// within a second when it goes away (the sound server stopped, a headset
// unplugged or out of reach), and opening the default device again about
// once a second until one answers, so that the sound comes back by itself.
//
// Why a thread of its own. Opening a device can take long: the sound
// server's drivers wait for the server's answer, and one that has stopped
// answering can keep them waiting for good. Closing a lost device can wait
// as long, for SDL's audio thread is stuck in the same server. On the game's
// thread either would freeze the picture and the play. So each attempt
// (closing what is left of a lost device, starting SDL's audio, opening the
// mixer, loading the samples) runs on an opener thread, one attempt at a
// time, and the game's thread only looks whether it is done. The mixer has
// one owner at any time, handed over through `attempt_result`: from the
// launch of an attempt until the game's thread has seen its result and
// joined the thread, only the opener touches SDL's audio and the mixer
// (audio_open is false, so no call of the service does); after that only
// the game's thread does. SDL is started and stopped here for its audio
// alone (SDL_InitSubSystem and SDL_QuitSubSystem of SDL_INIT_AUDIO, never
// SDL_Quit), so other parts of the game can start SDL subsystems of their
// own; they should do so at start-up, on the game's thread, since SDL keeps
// its count of started subsystems unguarded.
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sound/sound.h"
#include "sound/sound_local.h"

static const int MIX_RATE_HZ = 44100;
static const int MIX_OUTPUT_CHANNELS = 2;
static const int MIX_BUFFER_FRAMES = 1024;
// A device whose mixing has not run for this long is gone; some drivers
// (PipeWire's) only stop asking for sound and never say so.
static const int64_t MIX_STALL_LIMIT_MS = 500;
// A pass of the watch this long after the one before was not watching (the
// game was held or the process stopped): the mixing is timed afresh.
static const int64_t WATCH_GAP_MS = 300;
static const int64_t RETRY_INTERVAL_MS = 1000;
// At start the game waits this long for the first attempt; a slower one
// goes on beside the game.
static const int64_t START_WAIT_MS = 3000;
// At exit, this long for an attempt still running; one that is stuck is
// left to the end of the process.
static const int64_t CLOSE_WAIT_MS = 2000;
static const int POLL_STEP_MS = 5;
static const SDL_AudioDeviceID AUDIO_DEVICE_ID_LIMIT = 16;  // SDL 2 opens at most 16

static const char* const GAME_NAME = SUNDOWN_TITLE;  // set by the build
static const char* const STREAM_NAME = "Sound and music";
// The icon name goes in the stream properties the PipeWire and the
// PulseAudio client libraries take from the environment; SDL 2 has no hint
// for it. The icon is installed under the game's application id, as the
// menu entry names it.
static const char* const ICON_NAME = SUNDOWN_APP_ID;
static const char* const PIPEWIRE_PROPS_FORMAT = "{ application.icon-name = %s }";
static const char* const PULSE_ICON_VARIABLE = "PULSE_PROP_application.icon_name";
static const int PROPS_CAPACITY = 64;

enum DeviceState {
    DEVICE_OFF,      // sound not started, or closed
    DEVICE_OPEN,     // the game's thread owns an open mixer
    DEVICE_ATTEMPT,  // the opener's thread is at work
    DEVICE_WAITING,  // no device; the next attempt is due at next_attempt_ms
};

enum { ATTEMPT_RUNNING, ATTEMPT_OPENED, ATTEMPT_FAILED };

static DeviceState device_state = DEVICE_OFF;
static SDL_Thread* opener;
static std::atomic<int> attempt_result{ATTEMPT_FAILED};
static bool lost_device_open;         // the next attempt closes the lost device first
static SDL_AudioDeviceID mixer_device;  // found by the opener; 0 when unknown
static int64_t attempt_started_ms;
static int64_t next_attempt_ms;
static bool silence_said;  // the game said it plays silent; the recovery is said next

static std::atomic<uint32_t> mix_passes{0};  // counted on the audio thread
static uint32_t seen_mix_passes;
static int64_t mixing_seen_ms;
static int64_t last_watch_ms;

// The game's clock, handed in by start_sound.
static SoundClock now_ms;

// SDL's start connects to the D-Bus session bus. Where the session has none
// (a bare X session, ssh -X), libdbus forks the game, by then threaded, to
// autolaunch one with dbus-launch: a fork whose child can deadlock in malloc
// before its exec and hang the start, and a bus daemon left behind for a
// game that needs none. An address libdbus cannot use makes it give up at
// once instead. The game starts no other program, so nothing else sees it.
static void keep_dbus_from_autolaunching() {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}

// Volume mixers show the game's stream under its name and icon. What the
// player set in the environment wins.
static void name_the_stream() {
    SDL_SetHint(SDL_HINT_APP_NAME, GAME_NAME);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, GAME_NAME);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, STREAM_NAME);
    char props[PROPS_CAPACITY];
    std::snprintf(props, sizeof props, PIPEWIRE_PROPS_FORMAT, ICON_NAME);
    setenv("PIPEWIRE_PROPS", props, 0);
    setenv(PULSE_ICON_VARIABLE, ICON_NAME, 0);
}

// ALSA's library prints every failed open on standard error; retried once a
// second against a missing server that would flood it. After the first
// failure it is told to keep quiet. The library is SDL's, loaded by SDL; the
// handle kept here keeps it loaded, and with it the quiet handler.
static void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}
static void quiet_alsa_once() {
    static bool done;
    if (done || std::strcmp(SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "", "alsa") != 0) return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!alsa) return;
    typedef void (*ErrorHandler)(const char*, int, const char*, int, const char*, ...);
    typedef int (*SetErrorHandler)(ErrorHandler);
    SetErrorHandler set_handler = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler) set_handler(ignore_alsa_error);
}

static void count_mix_pass(void*, Uint8*, int) {
    mix_passes.fetch_add(1, std::memory_order_relaxed);
}

// The mixer's own device: the one open device that plays (the mixer
// unpauses it as it opens).
static SDL_AudioDeviceID find_mixer_device() {
    for (SDL_AudioDeviceID id = 1; id <= AUDIO_DEVICE_ID_LIMIT; id++) {
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) return id;
    }
    return 0;
}

// On the owner's thread.
static void close_device() {
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : samples) {
        if (chunk) Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixer_device = 0;
}

// On the owner's thread.
static bool open_device() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(MIX_RATE_HZ, AUDIO_S16SYS, MIX_OUTPUT_CHANNELS, MIX_BUFFER_FRAMES) != 0) {
        quiet_alsa_once();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(SOUND_CHANNELS);
    mixer_device = find_mixer_device();
    for (int i = 0; i < SAMPLE_COUNT; i++) samples[i] = Mix_LoadWAV(asset_path(SAMPLE_FILES[i]));
    return true;
}

// An SDL thread rather than a bare one: SDL frees the error text it keeps
// per thread only for threads of its own.
static int run_attempt(void*) {
    if (lost_device_open) {
        close_device();
        lost_device_open = false;
    }
    attempt_result.store(open_device() ? ATTEMPT_OPENED : ATTEMPT_FAILED);
    return 0;
}

static void launch_attempt() {
    attempt_result.store(ATTEMPT_RUNNING);
    attempt_started_ms = now_ms();
    device_state = DEVICE_ATTEMPT;
    opener = SDL_CreateThread(run_attempt, "sound opener", nullptr);
    if (!opener) {
        // No thread to be had: the attempt is due again in a second.
        attempt_result.store(ATTEMPT_FAILED);
        device_state = DEVICE_WAITING;
        next_attempt_ms = attempt_started_ms + RETRY_INTERVAL_MS;
    }
}

static void watch_mixing_afresh() {
    seen_mix_passes = mix_passes.load();
    mixing_seen_ms = last_watch_ms = now_ms();
}

static void take_open_device() {
    audio_open = true;
    device_state = DEVICE_OPEN;
    watch_mixing_afresh();
    Mix_SetPostMix(count_mix_pass, nullptr);
    restore_sound();
    if (silence_said) {
        std::fprintf(stderr, "Sound: an audio device answers; the sound is back\n");
        silence_said = false;
    }
}

static void finish_attempt() {
    SDL_WaitThread(opener, nullptr);
    opener = nullptr;
    if (attempt_result.load() == ATTEMPT_OPENED) {
        take_open_device();
    } else {
        device_state = DEVICE_WAITING;
        next_attempt_ms = attempt_started_ms + RETRY_INTERVAL_MS;
    }
}

static bool wait_for_attempt(int64_t limit_ms) {
    const int64_t deadline = now_ms() + limit_ms;
    while (attempt_result.load() == ATTEMPT_RUNNING) {
        if (now_ms() >= deadline) return false;
        SDL_Delay(POLL_STEP_MS);
    }
    return true;
}

// On the game's thread, while it owns the open mixer. The device is
// watched rather than told of SDL_AUDIODEVICEREMOVED: that event needs SDL's
// event queue pumped, which is not the sound's to empty, and SDL 2's
// PipeWire driver never sends it when the server goes.
static bool device_lost() {
    const int64_t now = now_ms();
    if (now - last_watch_ms > WATCH_GAP_MS) mixing_seen_ms = now;
    last_watch_ms = now;
    // Drivers that notice a lost device mark it stopped (ALSA, PulseAudio,
    // the disk driver on a failed write).
    if (mixer_device != 0 && SDL_GetAudioDeviceStatus(mixer_device) != SDL_AUDIO_PLAYING) return true;
    const uint32_t passes = mix_passes.load();
    if (passes != seen_mix_passes) {
        seen_mix_passes = passes;
        mixing_seen_ms = now;
        return false;
    }
    return now - mixing_seen_ms > MIX_STALL_LIMIT_MS;
}

void start_sound(SoundClock clock) {
    now_ms = clock;
    reset_channel_records();
    sound_paused = false;
    if (device_state != DEVICE_OFF) return;
    keep_dbus_from_autolaunching();
    name_the_stream();
    silence_said = false;
    launch_attempt();
    if (device_state == DEVICE_ATTEMPT && wait_for_attempt(START_WAIT_MS)) finish_attempt();
    if (!audio_open) {
        std::fprintf(stderr, "Sound: no audio device answers; the game plays silent until one does\n");
        silence_said = true;
    }
}

void keep_sound_alive() {
    switch (device_state) {
    case DEVICE_OFF:
        return;
    case DEVICE_OPEN:
        if (!device_lost()) return;
        std::fprintf(stderr, "Sound: the audio device went away; the game plays silent and tries again every second\n");
        silence_said = true;
        drop_music_decoders();
        audio_open = false;
        lost_device_open = true;
        launch_attempt();
        return;
    case DEVICE_ATTEMPT:
        if (attempt_result.load() != ATTEMPT_RUNNING) finish_attempt();
        return;
    case DEVICE_WAITING:
        if (now_ms() >= next_attempt_ms) launch_attempt();
        return;
    }
}

bool sound_is_open() {
    return audio_open;
}

void close_sound() {
    if (device_state == DEVICE_ATTEMPT) {
        if (wait_for_attempt(CLOSE_WAIT_MS)) {
            SDL_WaitThread(opener, nullptr);
            if (attempt_result.load() == ATTEMPT_OPENED) close_device();
            lost_device_open = false;
        } else {
            // Stuck in the driver: it stays the opener's until the process ends.
            SDL_DetachThread(opener);
        }
        opener = nullptr;
    } else if (device_state == DEVICE_OPEN) {
        drop_music_decoders();
        close_device();
    } else if (lost_device_open) {  // waiting for a thread to close it
        close_device();
        lost_device_open = false;
    }
    audio_open = false;
    device_state = DEVICE_OFF;
    playing_stream = nullptr;
}
