// The real program as a user meets it, on the test's own X server, seen and
// driven through the X tools (xdotool, ImageMagick's import) as a user would:
// its window and flight, the pointer over it, and every way it ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/conventions.h"

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

constexpr int PIXELS = WINDOW_WIDTH * WINDOW_HEIGHT;
// Pixels five in from each corner.
constexpr int TOP_LEFT = 5 * WINDOW_WIDTH + 5;
constexpr int TOP_RIGHT = 6 * WINDOW_WIDTH - 6;
constexpr int BOTTOM_LEFT = PIXELS - 6 * WINDOW_WIDTH + 5;
constexpr int BOTTOM_RIGHT = PIXELS - 5 * WINDOW_WIDTH - 6;

// What the caption shows before the rate.
const std::string CAPTION_PREFIX = "Vantrell FPS:";

// Whether `passed()` comes true within `seconds`, asked every 50 ms.
template <class Passed> bool within(double seconds, Passed passed) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !passed(); std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

// What a shell command writes on its standard output (at most 1 MiB: a picture).
std::string output(const std::string &command) {
    std::string result(1 << 20, '\0');
    FILE *pipe = popen(command.c_str(), "r");
    result.resize(pipe != nullptr ? fread(result.data(), 1, result.size(), pipe) : 0);
    if (pipe != nullptr) pclose(pipe);
    return result;
}

// Whether pixel `i` of a picture (RGB, top row first) is terrain, not the black sky.
bool covered(const std::string &rgb, int i) {
    return rgb.size() == PIXELS * 3u && (rgb[3 * i] | rgb[3 * i + 1] | rgb[3 * i + 2]) != 0;
}
// The share of pixels that are terrain in one picture and sky in the other;
// against no picture, how much of the window the terrain covers.
double reshaped(const std::string &picture, const std::string &other = "") {
    int count = 0;
    for (int i = 0; i < PIXELS; ++i)
        count += covered(picture, i) != covered(other, i);
    return double(count) / PIXELS;
}

// The shell command that starts the program: this build's, through the emulator
// when it is another platform's, or QUILLON_COMMAND (a Windows build under wine).
std::string programCommand() {
    const char *given = std::getenv("QUILLON_COMMAND");
    return given != nullptr ? given : QUILLON_COMMAND;
}

// Whether the program is a Windows build (quillon.exe under wine), whose endings are Windows' own.
const bool WINDOWS = programCommand().find(".exe") != std::string::npos;

struct Program {
    // The terminal the program is started from. Wine gives a Windows program started from one a
    // console, and turns a SIGINT to it, as the terminal sends for Ctrl+C, into the console's event.
    int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    pid_t pid = fork();
    int status = -1;
    std::string window;

    // Starts the program, or `command`, with these environment settings (env's NAME=VALUE and -u NAME).
    explicit Program(const std::string &settings = "", const std::string &command = programCommand()) {
        unlockpt(terminal); // in the child too, before its shell opens the terminal
        // exec: the shell's pid becomes the program's, its standard input the terminal.
        const std::string line = "exec env " + settings + " " + command + " <" + ptsname(terminal);
        if (pid == 0) _exit(execl("/bin/sh", "sh", "-c", line.c_str(), nullptr));
    }
    ~Program() {
        if (!ended(0)) kill(pid, SIGKILL);
        ended(10);
        close(terminal);
    }
    // Whether the program ends within `seconds`; its wait status is kept.
    bool ended(double seconds) {
        return within(seconds, [&] { return status >= 0 || waitpid(pid, &status, WNOHANG) == pid; });
    }
    // Runs xdotool with these arguments, %w standing for the window; the first line it prints.
    std::string send(std::string arguments) {
        for (size_t at; (at = arguments.find("%w")) != std::string::npos;)
            arguments.replace(at, 2, window);
        const std::string printed = output("xdotool " + arguments);
        return printed.substr(0, printed.find('\n'));
    }
    // The window's picture; none once the program has ended. (Given a window
    // that has gone, import waits for a click on another.)
    std::string grab() {
        return ended(0) ? "" : output("timeout 10 import -window " + window + " -depth 8 rgb:- 2>/dev/null");
    }
    // Waits for the first frame: a picture with a pixel that is not black, of
    // whatever size. The X server is the test's own, so the one visible window
    // with a name is the program's.
    bool showsWindow() {
        auto shown = [&] {
            return !(window = send("search --onlyvisible --name .")).empty() &&
                   grab().find_first_not_of('\0') != std::string::npos;
        };
        return within(30, [&] { return ended(0) || shown(); }) && !ended(0);
    }
    // Taps: `press`, then `release` 10 ms later, held 30% longer each time up
    // to 2 s, until `seen()`, for at most a minute in all. Held input acts in
    // every frame, so a long hold at hundreds of frames a second would go far;
    // a tap shorter than a frame is never seen, and a loaded machine or an
    // emulated one draws a few frames a second.
    template <class Seen> bool tapUntil(const std::string &press, const std::string &release, Seen seen) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (double hold = 0.01; !seen(); hold = std::min(1.3 * hold, 2.0)) {
            if (std::chrono::steady_clock::now() > end || ended(0)) return false;
            send(press + " sleep " + std::to_string(hold) + " " + release);
        }
        return true;
    }
};

// Escape, with the pointer at rest over the window, ends the program with exit code 0.
void endWithEscape(Program &program) {
    program.send("mousemove --window %w 320 240 windowfocus --sync %w keydown Escape");
    EXPECT_TRUE(program.ended(10)) << "Escape does not end the program";
    program.send("keyup Escape");
    EXPECT_EQ(program.status, 0) << "not exit code 0";
}

// The flight: a 640x480 animated picture; C switches to the top-down camera
// and back; a held button rolls the horizon; the pointer turns the view and is
// put back; the caption shows a new rate every two seconds and not sooner.
void fly(Program &program) {
    ASSERT_TRUE(program.showsWindow());
    const std::string first = program.grab();
    ASSERT_EQ(first.size(), PIXELS * 3u) << "the window is not 640x480";
    // Camera 0 sees the terrain below a level horizon: sky in the top corners, terrain in the bottom ones.
    EXPECT_GT(reshaped(first), 0.3);
    EXPECT_LT(reshaped(first), 0.95);
    EXPECT_FALSE(covered(first, TOP_LEFT) || covered(first, TOP_RIGHT)) << "the horizon is not level";
    EXPECT_TRUE(covered(first, BOTTOM_LEFT) && covered(first, BOTTOM_RIGHT)) << "the horizon is not level";
    ASSERT_TRUE(within(5, [&] { return program.grab() != first; })) << "the plasma does not move";

    program.send("mousemove --window %w 320 240 windowfocus --sync %w");
    const std::string centre = program.send("getmouselocation");
    // Whether the top-down camera fills the window, asked until two looks 0.3 s
    // apart agree: a loaded machine may still be drawing frames with C held.
    auto seesTopDown = [&] {
        bool now = reshaped(program.grab()) > 0.999;
        bool before = !now;
        for (int look = 0; look < 20 && now != before; ++look) {
            before = now;
            usleep(300000);
            now = reshaped(program.grab()) > 0.999;
        }
        return now;
    };
    // C acts in every frame it is held: switch to the top-down camera, which
    // fills the window; then back to the chase camera at its start.
    for (const bool topDown : {true, false})
        ASSERT_TRUE(program.tapUntil("keydown c", "keyup c", [&] { return seesTopDown() == topDown; }))
            << "C does not switch cameras";
    EXPECT_FALSE(covered(program.grab(), TOP_LEFT)) << "the top left corner does not show the sky";
    ASSERT_TRUE(program.tapUntil("mousedown 1", "mouseup 1", [&] { return covered(program.grab(), TOP_LEFT); }))
        << "a held button does not roll the horizon";

    const std::string before = program.grab();
    program.send("mousemove --window %w 520 240");
    ASSERT_TRUE(within(10, [&] { return program.send("getmouselocation") == centre; })) << "the pointer stays";
    // The frame that turned is drawn after the pointer is put back.
    EXPECT_TRUE(within(5, [&] { return reshaped(program.grab(), before) > 0.05; }))
        << "the pointer does not turn the view";

    // The caption ("Quillon" at first) shows a new rate when more than two
    // seconds have passed since the last, and not before.
    std::string caption = program.send("getwindowname %w");
    std::string shown;
    auto changes = [&] { return within(8, [&] { return (shown = program.send("getwindowname %w")) != caption; }); };
    ASSERT_TRUE(changes()) << "the caption stays " << caption;
    const auto since = std::chrono::steady_clock::now();
    caption = shown;
    ASSERT_TRUE(changes()) << "the rate is not measured anew";
    EXPECT_GT(std::chrono::steady_clock::now() - since, std::chrono::seconds(1)) << caption << " then " << shown;
    EXPECT_EQ(shown.substr(0, CAPTION_PREFIX.size()), CAPTION_PREFIX);
    EXPECT_GT(std::stod("0" + shown.substr(CAPTION_PREFIX.size())), 0.0) << shown;
}

TEST(EndToEnd, OneFlight) {
    Program program;
    ASSERT_NO_FATAL_FAILURE(fly(program));
    endWithEscape(program);
}

// How many pixels of the pointer's image, as the X server shows it now, are
// not transparent; -1 when the server cannot tell.
int visiblePointerPixels() {
    Display *display = XOpenDisplay(nullptr);
    XFixesCursorImage *image = display != nullptr ? XFixesGetCursorImage(display) : nullptr;
    int visible = image != nullptr ? 0 : -1;
    for (int i = 0; image != nullptr && i < image->width * image->height; ++i)
        visible += (image->pixels[i] >> 24) != 0; // alpha
    if (image != nullptr) XFree(image);
    if (display != nullptr) XCloseDisplay(display);
    return visible;
}

TEST(EndToEnd, PointerIsHiddenOverTheWindow) {
    ASSERT_GT(visiblePointerPixels(), 0) << "no pointer to see on the bare screen";
    Program program;
    ASSERT_TRUE(program.showsWindow());
    program.send("mousemove --window %w 320 240");
    EXPECT_TRUE(within(5, [] { return visiblePointerPixels() == 0; })) << "the pointer shows over the window";
}

// Ctrl+C (SIGINT, as the terminal sends it) and kill (SIGTERM, which Windows lacks) end the program
// after the frame in progress (usually within a tenth of a second; the wait allows for a loaded
// machine): on POSIX by the same signal; on Windows with STATUS_CONTROL_C_EXIT (0xC000013A), of which
// wine passes on the low byte as the exit code.
// Without a display, with only a video driver that shows no window, or with
// no GL library to load (SDL 1.2 and SDL 2 each read their own variable), it
// says why on a line of its own and exits with code 1. (Classic SDL tries a
// text-console driver without a display; with no terminal type its curses
// library ends the process before the program can say anything. Under wine
// it cannot create the window SDL for Windows opens at start, and that SDL
// loads opengl32.dll whatever the GL settings say.) Started as from Explorer,
// with no standard error, a Windows build says why in a message box.
TEST(EndToEnd, EveryWayItEnds) {
    for (const int signal : WINDOWS ? std::vector{SIGINT} : std::vector{SIGINT, SIGTERM}) {
        Program program;
        ASSERT_TRUE(program.showsWindow());
        kill(program.pid, signal);
        EXPECT_TRUE(program.ended(10)) << "signal " << signal << " does not end the program";
        EXPECT_EQ(program.status, WINDOWS ? W_EXITCODE(0xC000013A & 0xFF, 0) : W_EXITCODE(0, signal));
    }
    const char *const noDisplay = WINDOWS ? "cannot initialise SDL" : "no video driver that shows a window";
    for (const auto &[settings, why] : {std::pair{"-u DISPLAY TERM=dumb", noDisplay},
                                        {"SDL_VIDEODRIVER=dummy", "no video driver that shows a window"},
                                        {"SDL_VIDEODRIVER=none", "cannot initialise SDL"},
                                        {"SDL_VIDEO_GL_DRIVER=/none/libGL.so SDL_OPENGL_LIBRARY=/none/libGL.so",
                                         WINDOWS ? nullptr : "cannot open a 640x480 OpenGL window"}}) {
        if (why == nullptr) continue;
        const std::string said = "\n" + output("timeout 10 env " + std::string(settings) + " " + programCommand() +
                                               " 2>&1 >/dev/null; echo $?");
        EXPECT_NE(said.find("\nquillon: " + std::string(why)), std::string::npos) << said; // among the libraries'
        EXPECT_EQ(said.find("\nquillon: "), said.rfind("\nquillon: ")) << said;
        EXPECT_EQ(said.substr(said.size() - 3), "\n1\n") << said;
    }
    if (!WINDOWS) return;
    std::string command = programCommand();
    command.insert(command.rfind(' ') + 1, "start /wait /unix ");
    Program unseen("SDL_VIDEODRIVER=dummy", command);
    ASSERT_TRUE(unseen.showsWindow()) << "no message box";
    EXPECT_EQ(unseen.send("getwindowname %w"), "Quillon");
    unseen.send("windowfocus --sync %w key Return");
}

// Until the window is open a stop ends the program at once: a start that hangs
// on an X server that never answers ends on SIGTERM, by that signal. The
// server is a free port on the loopback, which the kernel picks (Linux's are
// from 32768 on; the display number is the port less 6000), that accepts
// connections and never answers.
TEST(EndToEnd, TermEndsAHangingStartAtOnce) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(listener, reinterpret_cast<sockaddr *>(&address), size);
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size);
    const int number = ntohs(address.sin_port) - 6000;
    Program program("DISPLAY=127.0.0.1:" + std::to_string(number));
    int client = -1;
    ASSERT_TRUE(within(30, [&] { return (client = accept(listener, nullptr, nullptr)) >= 0; }))
        << "the program does not connect to display " << number;
    kill(program.pid, SIGTERM);
    EXPECT_TRUE(program.ended(2) && WIFSIGNALED(program.status) && WTERMSIG(program.status) == SIGTERM)
        << "still starting, or ended otherwise (wait status " << program.status << ")";
    close(client);
    close(listener);
}

} // namespace
