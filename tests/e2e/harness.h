// End-to-end harness: starts the real program on the test's private X server,
// finds its window, reads its caption and pixels, and sends real input through xdotool.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A window's pixels, RGB, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    // Fraction of pixels that are not black: how much of the window the terrain covers.
    double fill() const;
    // Fraction of pixels whose terrain/background classification differs from `other`.
    double maskDifference(const Image &other) const;
    // Fraction of pixels whose colour differs from `other`.
    double difference(const Image &other) const;
    bool covered(int x, int y) const;
};

class Program {
  public:
    // Starts the program with these environment variables set (or unset, for an empty value).
    explicit Program(const std::vector<std::pair<std::string, std::string>> &environment = {});
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Waits for the program's top-level window to show its first frame; false on time-out.
    bool waitForWindow(double seconds = 10);
    // Waits for the program to end; the raw wait status, or nothing on time-out.
    std::optional<int> waitExit(double seconds);
    bool running();

    std::string caption();
    Image grab();
    // Gives the window the focus with the pointer resting at its centre, so held keys reach it.
    void focus();
    // The pointer position relative to the window.
    std::pair<int, int> pointer();
    // Asks the program to close its window, as a window manager's close button does.
    void requestClose();

    Display *display() const { return display_; }
    ::Window window() const { return window_; }
    pid_t pid() const { return pid_; }

  private:
    Display *display_ = nullptr;
    ::Window window_ = 0;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs xdotool with these arguments; the window id replaces every "%w".
void xdotool(const Program &program, const std::string &arguments);

void sleepSeconds(double seconds);

// The rate in a frame-rate caption: "Vantrell FPS:" and a plain decimal
// number (digits, optionally a point and more digits); nothing for any other text.
std::optional<double> captionRate(const std::string &caption);

// The path of the program under test.
const char *programPath();
