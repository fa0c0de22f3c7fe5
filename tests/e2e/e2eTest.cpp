// The real program on the test's own X server, seen and driven through the X
// tools (xdotool, ImageMagick's import) as a user would: its window, flying,
// the caption, every way it ends, and a soak under random input when
// QUILLON_SOAK is set.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "app/conventions.h"
#include "plasma/plasma.h"

namespace {

constexpr int PIXELS = WINDOW_WIDTH * WINDOW_HEIGHT;
constexpr int TOP_LEFT = 5 * WINDOW_WIDTH + 5;

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

struct Program {
    pid_t pid = fork();
    int status = -1;
    std::string window;

    Program() {
        const std::string command = "exec " + programCommand(); // the shell's pid becomes the program's
        if (pid == 0) _exit(execl("/bin/sh", "sh", "-c", command.c_str(), nullptr));
    }
    ~Program() {
        if (ended(0)) return;
        kill(pid, SIGKILL);
        ended(10);
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
    // The window's picture; none once the program has ended.
    std::string grab() {
        return ended(0) ? "" : output("import -window " + window + " -depth 8 rgb:- 2>/dev/null");
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

// Random input until the captions have counted more than a plasma cycle of
// frames: the program stays alive, keeps measuring and holds its memory.
void soak(Program &program) {
    const char *given = std::getenv("QUILLON_SOAK_SEED");
    const unsigned seed = given != nullptr ? std::stoul(given) : std::random_device{}();
    std::mt19937 pick(seed);
    SCOPED_TRACE("QUILLON_SOAK_SEED=" + std::to_string(seed)); // replays this run's input
    const std::string keys[] = {"Up", "Down", "Left", "Right", "w", "a", "s", "d", "c"};
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    auto resident = [&] { return std::stol("0" + output("ps -o rss= " + std::to_string(program.pid))); };
    std::string caption = program.send("getwindowname %w");
    double frames = 0;
    double captionTime = 0;
    long warm = 0;
    while (frames < 1.1 * PHASE_CYCLE || seconds() < 20) {
        const std::string hold = " sleep 0." + std::to_string(pick() % 4) + " ";
        const std::string button = pick() % 2 ? "1" : "3";
        const std::string key = keys[pick() % 9];
        const std::string other = keys[pick() % 8];
        const std::string actions[] = {
            "keydown " + key + " keydown " + other + hold + "keyup " + key + " keyup " + other,
            "mousedown " + button + hold + "mouseup " + button,
            "mousemove " + std::to_string(pick() % 1024) + " " + std::to_string(pick() % 768)};
        program.send(actions[pick() % 3]);
        ASSERT_FALSE(program.ended(0)) << "ended after " << seconds() << " s";
        if (const std::string now = program.send("getwindowname %w"); now != caption) { // a rate over 2 s
            caption = now;
            frames += 2 * std::stod("0" + caption.substr(13));
            captionTime = seconds();
        }
        ASSERT_LT(seconds() - captionTime, 5) << "caption stuck at " << caption;
        ASSERT_LT(seconds(), 400) << "only " << frames << " frames";
        if (warm == 0 && seconds() > 10) warm = resident();
    }
    std::printf("QUILLON_SOAK_SEED=%u: %.0f frames in %.0f s, resident %ld kB after warm-up, %ld kB at the end\n",
                seed, frames, seconds(), warm, resident());
    EXPECT_LT(resident() - warm, 2048);
}

TEST(EndToEnd, OneFlight) {
    Program program;
    ASSERT_TRUE(program.showsWindow());
    const std::string first = program.grab();
    ASSERT_EQ(first.size(), PIXELS * 3u) << "the window is not 640x480";
    EXPECT_GT(reshaped(first), 0.3); // camera 0 sees the terrain below the horizon
    EXPECT_LT(reshaped(first), 0.95);
    ASSERT_TRUE(within(5, [&] { return program.grab() != first; })) << "the plasma does not move";

    program.send("mousemove --window %w 320 240 windowfocus --sync %w");
    const std::string centre = program.send("getmouselocation");
    const double fill = reshaped(first);
    ASSERT_TRUE(program.tapUntil("keydown w", "keyup w", [&] { return reshaped(program.grab()) > fill + 0.1; }))
        << "W does not fly towards the terrain";
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
    // fills the window; then back to the chase camera at its start, W's flight undone.
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
    EXPECT_EQ(shown.substr(0, 13), "Vantrell FPS:");
    EXPECT_GT(std::stod("0" + shown.substr(13)), 0.0) << shown;
    if (std::getenv("QUILLON_SOAK") != nullptr) soak(program);

    program.send("mousemove --window %w 320 240 windowfocus --sync %w keydown Escape");
    EXPECT_TRUE(program.ended(10)) << "Escape does not end the program";
    program.send("keyup Escape");
    EXPECT_EQ(program.status, 0) << "not exit code 0";
}

// Ctrl+C and kill end the program after the frame in progress, by the same
// signal (usually within a tenth of a second; the wait allows for a loaded machine).
// Without a display, or with only a video driver that shows no window, it
// says why on a line of its own and exits with code 1. (Classic SDL tries a
// text-console driver without a display; with no terminal type its curses
// library ends the process before the program can say anything.)
TEST(EndToEnd, EveryWayItEnds) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Program program;
        ASSERT_TRUE(program.showsWindow());
        kill(program.pid, signal);
        EXPECT_TRUE(program.ended(10) && WIFSIGNALED(program.status) && WTERMSIG(program.status) == signal);
    }
    for (const auto &[settings, why] : {std::pair{"-u DISPLAY TERM=dumb", "no video driver that shows a window"},
                                        {"SDL_VIDEODRIVER=dummy", "no video driver that shows a window"},
                                        {"SDL_VIDEODRIVER=none", "cannot initialise SDL"}}) {
        const std::string said = "\n" + output("timeout 10 env " + std::string(settings) + " " + programCommand() +
                                               " 2>&1 >/dev/null; echo $?");
        EXPECT_NE(said.find("\nquillon: " + std::string(why)), std::string::npos) << said; // among the libraries'
        EXPECT_EQ(said.find("\nquillon: "), said.rfind("\nquillon: ")) << said;
        EXPECT_EQ(said.substr(said.size() - 3), "\n1\n") << said;
    }
}

} // namespace
