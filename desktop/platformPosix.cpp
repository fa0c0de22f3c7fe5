// The platform's edge on POSIX systems (Linux, the BSDs, macOS).
#include <signal.h>

#include <cstdio>
#include <cstdlib>

#include "desktop/platform.h"

// SIGINT or SIGTERM seen, or 0.
static volatile sig_atomic_t pendingSignal = 0;
static volatile sig_atomic_t deferring = 0;

static void takeDefaultAction(int signal) {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

// Before the loop runs the signal takes its default action: the raise stays
// pending while this handler blocks it, and ends the process on return.
static void recordSignal(int signal) {
    pendingSignal = signal;
    if (!deferring) takeDefaultAction(signal);
}

void installStopHandlers() {
    struct sigaction action = {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void deferStopRequests() { deferring = 1; }

bool stopRequested() { return pendingSignal != 0; }

void endByStopRequest() {
    const int signal = pendingSignal;
    takeDefaultAction(signal);
    std::_Exit(128 + signal); // only if the signal was blocked
}

void reportStartupFailure(const char *line) { std::fprintf(stderr, "%s\n", line); }
