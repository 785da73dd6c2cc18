#include "platform/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

#include <thread>

namespace platform {

namespace {

// Joined at the latest when the program ends.
struct WarmUp {
    std::thread thread;
    ~WarmUp() {
        if (thread.joinable()) thread.join();
    }
};

WarmUp& warmUp() {
    static WarmUp instance;
    return instance;
}

} // namespace

void StartFontConfigWarmUp() {
    std::thread& thread = warmUp().thread;
    if (thread.joinable()) return; // still running
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    const int current = sched_getcpu();
    if (current >= 0 && current < CPU_SETSIZE) CPU_CLR(current, &allowed);
    if (CPU_COUNT(&allowed) == 0) return;
    thread = std::thread([] { FcInit(); });
    // Off this processor: left to the scheduler, the thread often waits
    // milliseconds behind the one that started it.
    pthread_setaffinity_np(thread.native_handle(), sizeof allowed, &allowed);
}

void WaitForFontConfig() {
    std::thread& thread = warmUp().thread;
    if (thread.joinable()) thread.join();
}

} // namespace platform
