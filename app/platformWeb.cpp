// The platform's edge in a browser: no signals reach a page, and the reason
// for not starting goes to the page and the console.
#include <emscripten.h>

#include <cstdio>

#include "app/platform.h"

bool stopRequested() { return false; }

EM_JS(void, showFailureInPage, (const char *line), { Module['onStartupFailure'](UTF8ToString(line)); });

void reportStartupFailure(const char *line) {
    std::fprintf(stderr, "%s\n", line);
    showFailureInPage(line);
}
