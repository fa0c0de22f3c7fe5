// The platform's edge on Windows.
#include <windows.h>

#include <csignal>
#include <cstdio>

#include "desktop/platform.h"

// The C runtime delivers Ctrl+C and Ctrl+Break in a console as SIGINT (and
// SIGBREAK), on a thread of its own; SIGTERM only ever comes from raise().
static volatile std::sig_atomic_t stopAsked = 0;
static volatile std::sig_atomic_t deferring = 0;

// Before the loop runs the signal takes its default action.
static void recordSignal(int signal) {
    stopAsked = signal;
    if (!deferring) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

void installStopHandlers() {
    std::signal(SIGINT, recordSignal);
    std::signal(SIGBREAK, recordSignal);
    std::signal(SIGTERM, recordSignal);
}

void deferStopRequests() { deferring = 1; }

bool stopRequested() { return stopAsked != 0; }

// The status a console program ended by Ctrl+C has.
void endByStopRequest() { ExitProcess(STATUS_CONTROL_C_EXIT); }

// A program started from Explorer has no standard error to write to.
void reportStartupFailure(const char *line) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "%s\n", line);
        std::fflush(stderr);
        return;
    }
    MessageBoxA(nullptr, line, "Quillon", MB_OK | MB_ICONERROR);
}
