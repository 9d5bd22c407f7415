#include "signalguard.h"

#include <atomic>
#include <csignal>

namespace {

// Shared between the handler, which may run on any thread, and the writing threads: lock-free
// atomics are the only shared state a handler may touch.
std::atomic<int> pendingSignal { 0 };
std::atomic<int> openDeferrals { 0 };
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kEndingSignals[] = { SIGINT, SIGTERM, SIGHUP };

// Ends the process by signal with its default action. Both calls are async-signal-safe.
void endBySignal(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

// Notes the signal before it looks at the open deferrals; a deferral that ends looks at them in
// the other order. So one of the two always sees the other and ends the process.
extern "C" void onEndingSignal(int signal)
{
    pendingSignal.store(signal);
    if (openDeferrals.load() == 0)
        endBySignal(signal);
}

void handle(int signal)
{
    struct sigaction previous = {};
    if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes that the handler interrupts go on where they were.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

void SignalGuard::install()
{
    for (const int signal : kEndingSignals)
        handle(signal);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

SignalGuard::Deferral::Deferral()
{
    openDeferrals.fetch_add(1);
}

SignalGuard::Deferral::~Deferral()
{
    if (openDeferrals.fetch_sub(1) != 1)
        return;
    if (const int signal = pendingSignal.load())
        endBySignal(signal);
}
