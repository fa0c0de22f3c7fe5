// End-to-end harness: process control through fork/exec, window state through Xlib.
#include "tests/e2e/harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

const char *programPath() { return QUILLON_BINARY; }

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

std::optional<double> captionRate(const std::string &caption) {
    const std::string prefix = "Vantrell FPS:";
    if (caption.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const std::string number = caption.substr(prefix.size());
    const size_t point = number.find('.');
    const auto digits = [](const std::string &text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(number.substr(0, point))) return std::nullopt;
    if (point != std::string::npos && !digits(number.substr(point + 1))) return std::nullopt;
    return std::stod(number);
}

bool Image::covered(int x, int y) const {
    const uint8_t *p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (p[0] | p[1] | p[2]) != 0;
}

// Comparisons with an image that could not be read find nothing changed or covered.
double Image::fill() const {
    if (rgb.empty()) return 0;
    size_t count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            count += covered(x, y);
    return double(count) / (double(width) * height);
}

double Image::maskDifference(const Image &other) const {
    if (rgb.empty() || rgb.size() != other.rgb.size()) return 0;
    size_t count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            count += covered(x, y) != other.covered(x, y);
    return double(count) / (double(width) * height);
}

double Image::difference(const Image &other) const {
    if (rgb.empty() || rgb.size() != other.rgb.size()) return 0;
    size_t count = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        count += rgb[i] != other.rgb[i] || rgb[i + 1] != other.rgb[i + 1] || rgb[i + 2] != other.rgb[i + 2];
    return double(count) / (double(width) * height);
}

// The program creates and destroys windows while it starts, so a window listed
// a moment ago may be gone by the next request. Xlib's default handler would
// end the test on that BadWindow; the calls report failure instead.
static int ignoreXError(Display *, XErrorEvent *) { return 0; }

Program::Program(const std::vector<std::pair<std::string, std::string>> &environment) {
    XSetErrorHandler(ignoreXError);
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) throw std::runtime_error("the test has no X display");
    pid_ = fork();
    if (pid_ == 0) {
        for (const auto &[name, value] : environment) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        execl(programPath(), programPath(), static_cast<char *>(nullptr));
        _exit(127);
    }
}

Program::~Program() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitExit(5);
    }
    XCloseDisplay(display_);
}

std::optional<int> Program::waitExit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!status_) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) break;
        sleepSeconds(0.01);
    }
    return status_;
}

bool Program::running() { return !waitExit(0); }

static std::string windowName(Display *display, ::Window window) {
    char *name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

bool Program::waitForWindow(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline && running()) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned int i = 0; i < count && window_ == 0; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable &&
                !windowName(display_, children[i]).empty()) {
                window_ = children[i];
            }
        }
        if (children) XFree(children);
        if (window_ != 0) break;
        sleepSeconds(0.05);
    }
    // Mapped is not yet drawn: wait for the first frame to reach the screen.
    while (window_ != 0 && std::chrono::steady_clock::now() < deadline) {
        if (grab().fill() > 0) return true;
        sleepSeconds(0.05);
    }
    return false;
}

std::string Program::caption() { return windowName(display_, window_); }

// An empty image when the window cannot be read.
Image Program::grab() {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes)) return Image{};
    XImage *image = XGetImage(display_, window_, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) return Image{};
    Image result;
    result.width = attributes.width;
    result.height = attributes.height;
    result.rgb.resize(static_cast<size_t>(result.width) * result.height * 3);
    for (int y = 0; y < result.height; ++y) {
        for (int x = 0; x < result.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            uint8_t *p = &result.rgb[(static_cast<size_t>(y) * result.width + x) * 3];
            p[0] = (value >> 16) & 0xFF;
            p[1] = (value >> 8) & 0xFF;
            p[2] = value & 0xFF;
        }
    }
    XDestroyImage(image);
    return result;
}

void Program::focus() { xdotool(*this, "mousemove --window %w 320 240 windowfocus --sync %w"); }

std::pair<int, int> Program::pointer() {
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask);
    return {x, y};
}

void Program::requestClose() {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    XFlush(display_);
}

void xdotool(const Program &program, const std::string &arguments) {
    std::string command = "xdotool " + arguments;
    const std::string id = std::to_string(program.window());
    for (size_t at = command.find("%w"); at != std::string::npos; at = command.find("%w", at + id.size())) {
        command.replace(at, 2, id);
    }
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}
