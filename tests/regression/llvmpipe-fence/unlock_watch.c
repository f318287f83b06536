// Preloaded into a program drawing with Mesa's llvmpipe, this finds a mutex
// unlocked inside a block of memory that has already been freed: the race
// in which llvmpipe frees a fence while one of its rasterizer threads is
// still unlocking it.
// - free() keeps the last QUARANTINE small blocks back (filled with 0xa5)
//   instead of freeing them, so a late write lands in a block it can name.
// - Outside the main thread, pthread_cond_broadcast() sleeps 2 ms after
//   waking the waiters. A rasterizer thread counting itself into a fence
//   broadcasts between its count++ and its unlock, so the race that is
//   otherwise a matter of nanoseconds happens on nearly every chance.
// - pthread_mutex_unlock() reports a mutex that lies in a freed block, with
//   the unlocking thread's stack and, with UNLOCK_WATCH_STACKS=1, the stack
//   that freed the block. Each report line starts "unlock_watch: ".
// With UNLOCK_WATCH_FINISH_AS_FLUSH=1, glFinish() only flushes, which takes
// away the game's wait at the end of each frame.
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <malloc.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

extern void __libc_free(void*);

enum {
    QUARANTINE = 512,      // freed blocks held back
    SMALL_BLOCK = 256,     // bytes: larger blocks are freed at once
    STACK_DEPTH = 24,      // frames kept of a freeing stack
    FULL_REPORTS = 3,      // reports with stacks; later ones take a line each
    BROADCAST_PAUSE_NS = 2000000,
};

struct FreedBlock {
    char* start;
    size_t size;
    void* stack[STACK_DEPTH];
    int depth;
};

static struct FreedBlock quarantine[QUARANTINE];
static unsigned next_slot;
static atomic_flag quarantine_lock = ATOMIC_FLAG_INIT;
static atomic_int reports;
static int want_stacks;

__attribute__((constructor)) static void start_watch(void) {
    void* warm_up[2];
    backtrace(warm_up, 2);  // loads the unwinder now, not inside free()
    want_stacks = getenv("UNLOCK_WATCH_STACKS") != NULL;
}

static void take_quarantine(void) {
    while (atomic_flag_test_and_set_explicit(&quarantine_lock, memory_order_acquire)) {
    }
}

static void give_quarantine(void) {
    atomic_flag_clear_explicit(&quarantine_lock, memory_order_release);
}

void free(void* block) {
    if (!block) return;
    size_t size = malloc_usable_size(block);
    if (size > SMALL_BLOCK) {
        __libc_free(block);
        return;
    }
    memset(block, 0xa5, size);
    // Only blocks of an llvmpipe fence's size: the unwinder frees blocks of
    // its own while it holds its lock, and a stack taken then would hang.
    static __thread int taking_stack;
    struct FreedBlock freed = {block, size, {0}, 0};
    if (want_stacks && !taking_stack && size >= 112 && size <= 136) {
        taking_stack = 1;
        freed.depth = backtrace(freed.stack, STACK_DEPTH);
        taking_stack = 0;
    }
    take_quarantine();
    struct FreedBlock oldest = quarantine[next_slot];
    quarantine[next_slot] = freed;
    next_slot = (next_slot + 1) % QUARANTINE;
    give_quarantine();
    if (oldest.start) __libc_free(oldest.start);
}

int pthread_cond_broadcast(pthread_cond_t* cond) {
    static int (*real_broadcast)(pthread_cond_t*);
    if (!real_broadcast) real_broadcast = (int (*)(pthread_cond_t*))dlsym(RTLD_NEXT, "pthread_cond_broadcast");
    int result = real_broadcast(cond);
    if (syscall(SYS_gettid) != getpid()) {
        struct timespec pause = {0, BROADCAST_PAUSE_NS};
        nanosleep(&pause, NULL);
    }
    return result;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    static int (*real_unlock)(pthread_mutex_t*);
    if (!real_unlock) real_unlock = (int (*)(pthread_mutex_t*))dlsym(RTLD_NEXT, "pthread_mutex_unlock");
    char* at = (char*)mutex;
    struct FreedBlock hit = {0};
    take_quarantine();
    for (unsigned i = 0; i < QUARANTINE; i++) {
        if (quarantine[i].start && at >= quarantine[i].start && at < quarantine[i].start + quarantine[i].size) {
            hit = quarantine[i];
            break;
        }
    }
    give_quarantine();
    if (hit.start) {
        fprintf(stderr, "unlock_watch: thread %ld unlocks a mutex at offset %td of a freed %zu-byte block\n",
                (long)syscall(SYS_gettid), at - hit.start, hit.size);
        if (atomic_fetch_add(&reports, 1) < FULL_REPORTS) {
            void* stack[STACK_DEPTH];
            backtrace_symbols_fd(stack, backtrace(stack, STACK_DEPTH), 2);
            if (hit.depth) {
                fprintf(stderr, "unlock_watch: the block was freed by\n");
                backtrace_symbols_fd(hit.stack, hit.depth, 2);
            }
        }
    }
    return real_unlock(mutex);
}

void glFinish(void) {
    static void (*real_finish)(void);
    static void (*real_flush)(void);
    if (!real_finish) real_finish = (void (*)(void))dlsym(RTLD_NEXT, "glFinish");
    if (!real_flush) real_flush = (void (*)(void))dlsym(RTLD_NEXT, "glFlush");
    const char* as_flush = getenv("UNLOCK_WATCH_FINISH_AS_FLUSH");
    if (as_flush && strcmp(as_flush, "1") == 0) {
        real_flush();
    } else {
        real_finish();
    }
}
