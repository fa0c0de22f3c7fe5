// The platform's edge: the few things done differently on POSIX systems and on
// Windows. One source file per family implements it (platformPosix.cpp,
// platformWindows.cpp); the build picks the one that fits.
#pragma once

// Turns Ctrl+C and termination requests into a stop request. Installed before
// SDL_Init, which keeps handlers it finds in place instead of turning these
// signals into a quit event that the loop would discard.
void installStopHandlers();

// From here on a stop request waits for the loop to see it. Until then, while
// SDL starts and the window opens (which can hang on a server that never
// answers), Ctrl+C and termination end the process at once.
void deferStopRequests();

// Whether a stop was asked for; the loop ends after the current frame, as for Escape.
bool stopRequested();

// Ends the process the way the stop asked for: on POSIX by the same signal, so
// the parent sees why it ended.
[[noreturn]] void endByStopRequest();

// Tells the user, in one line, why the program cannot start: on standard error,
// or in a message box where nobody would see that stream (a Windows program
// started without a console).
void reportStartupFailure(const char *line);
