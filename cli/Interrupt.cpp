#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace tavora::cli {

namespace {

std::atomic<int> g_interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

constexpr char kForcedExit[] = "\nInterrupted again: stopping at once.\n";

void OnInterrupt(int) {
    if (g_interrupts.fetch_add(1) >= 1) {
        (void)!::write(STDERR_FILENO, kForcedExit, sizeof kForcedExit - 1);
        ::_exit(130);
    }
}

} // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

int InterruptCount() {
    return g_interrupts.load();
}

} // namespace tavora::cli
