// Sleeping until another thread changes a counter: the main loop waits so
// for the next tick and for a change of focus. A Linux futex on the
// counter's own word, so a waker on Allegro's timer thread takes no lock.
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <ctime>

#include "desktop/desktop.h"

static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t) && std::atomic<int32_t>::is_always_lock_free,
              "the kernel waits on the counter's own word");

void wait_while_unchanged(std::atomic<int32_t>& word, int32_t seen, int timeout_ms) {
    timespec timeout = {timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
    syscall(SYS_futex, reinterpret_cast<int32_t*>(&word), FUTEX_WAIT_PRIVATE, seen, &timeout, nullptr, 0);
}

void wake_waiters(std::atomic<int32_t>& word) {
    syscall(SYS_futex, reinterpret_cast<int32_t*>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}
