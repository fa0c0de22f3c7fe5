// End-to-end harness: the real program on the test's own X server, seen and
// driven through the X tools (xdotool, ImageMagick's import) as a user would.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "app/conventions.h"

inline void sleepFor(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// What a shell command writes on its standard output.
inline std::string output(const std::string &command) {
    std::string result;
    char buffer[1 << 16];
    FILE *pipe = popen(command.c_str(), "r");
    for (size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.append(buffer, n);
    if (pipe != nullptr) pclose(pipe);
    return result;
}

// The window's pixels, RGB, top row first; empty when the window could not be read.
struct Picture {
    static constexpr int PIXELS = WINDOW_WIDTH * WINDOW_HEIGHT;
    std::string rgb;

    bool covered(int i) const {
        return rgb.size() == PIXELS * 3 && (rgb[3 * i] || rgb[3 * i + 1] || rgb[3 * i + 2]);
    }
    bool covered(int x, int y) const { return covered(y * WINDOW_WIDTH + x); }
    // The share of pixels that are terrain in one picture and sky in the other;
    // against an empty picture, how much of the window the terrain covers.
    double reshaped(const Picture &other = {}) const {
        int count = 0;
        for (int i = 0; i < PIXELS; ++i)
            count += covered(i) != other.covered(i);
        return double(count) / PIXELS;
    }
};

struct Program {
    pid_t pid = fork();
    std::string window;
    int status = -1;

    Program() {
        if (pid == 0) _exit(execl(QUILLON_BINARY, QUILLON_BINARY, nullptr));
    }
    ~Program() {
        if (!ended(0)) kill(pid, SIGKILL), ended(10);
    }
    // Waits up to `seconds` for the program to end, keeping its wait status.
    bool ended(double seconds) {
        for (int wait = 0; status < 0 && waitpid(pid, &status, WNOHANG) != pid && wait < seconds * 100; ++wait)
            sleepFor(0.01);
        return status >= 0;
    }
    // Waits for the first frame. The X server is the test's own, so the one
    // visible window with a name is the program's.
    bool showsWindow() {
        for (int look = 0; look < 300 && !ended(0); ++look, sleepFor(0.1)) {
            window = send("search --onlyvisible --name .");
            window = window.substr(0, window.find('\n'));
            if (!window.empty() && grab().reshaped() > 0) return true;
        }
        return false;
    }
    Picture grab() { return {output("import -window " + window + " -depth 8 rgb:- 2>/dev/null")}; }
    std::string caption() {
        const std::string name = send("getwindowname %w");
        return name.substr(0, name.find('\n'));
    }
    // Runs xdotool with these arguments, %w standing for the window; what it prints.
    std::string send(std::string arguments) {
        for (size_t at; (at = arguments.find("%w")) != std::string::npos;)
            arguments.replace(at, 2, window);
        return output("xdotool " + arguments);
    }
    // The pointer's position in the window.
    std::pair<int, int> pointer() {
        int x = 0, y = 0, left = 0, top = 0;
        std::sscanf(send("getmouselocation").c_str(), "x:%d y:%d", &x, &y);
        std::sscanf(send("getwindowgeometry %w").c_str(), "Window %*d Position: %d,%d", &left, &top);
        return {x - left, y - top};
    }
    // Sends `press`, then `release` once the picture passes `seen` (at most a
    // minute: a loaded machine may draw a frame a second); whether it did.
    template <class Seen> bool holdUntil(const std::string &press, const std::string &release, Seen seen) {
        send(press);
        bool passed = false;
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !(passed = seen(grab())) && std::chrono::steady_clock::now() < end;)
            sleepFor(0.05);
        send(release);
        return passed;
    }
};
