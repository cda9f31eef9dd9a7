#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace tavora::cli {

namespace {

std::atomic<int> g_interrupts{0};
std::atomic<std::atomic<int32_t>*> g_running{nullptr};
// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<std::atomic<int32_t>*>::is_always_lock_free);

constexpr char kForcedExit[] = "\nInterrupted again: stopping at once.\n";

void OnInterrupt(int) {
    if (g_interrupts.fetch_add(1) >= 1) {
        (void)!::write(STDERR_FILENO, kForcedExit, sizeof kForcedExit - 1);
        ::_exit(130);
    }
    if (std::atomic<int32_t>* running = g_running.load())
        running->store(0, std::memory_order_release);
}

} // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

void StopOnInterrupt(std::atomic<int32_t>* running) {
    g_running.store(running);
}

int InterruptCount() {
    return g_interrupts.load();
}

} // namespace tavora::cli
