// The real program under real input: its window, flying, the caption, a soak
// under random input when QUILLON_SOAK is set, and every way it ends.
#include <fstream>
#include <random>

#include "plasma/plasma.h"
#include "tests/e2e/harness.h"

namespace {

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Random input until the captions have counted more than a plasma cycle of
// frames: the program stays alive, keeps measuring and holds its memory.
void soak(Program &program) {
    const char *given = std::getenv("QUILLON_SOAK_SEED");
    const unsigned seed = given != nullptr ? std::stoul(given) : std::random_device{}();
    std::mt19937 random(seed);
    auto below = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    const std::string keys[] = {"Up", "Down", "Left", "Right", "w", "a", "s", "d", "c"};
    std::string caption = program.caption(), releaseAll;
    for (const std::string &key : keys)
        releaseAll += " keyup " + key;
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    double frames = 0, captionTime = 0;
    long warmRss = 0;
    while (frames < 1.1 * PHASE_CYCLE || seconds() < 20) {
        const std::string hold = " sleep 0." + std::to_string(below(4)) + " ", button = below(2) ? "1" : "3";
        const std::string actions[] = {
            "keydown " + keys[below(9)] + " keydown " + keys[below(8)] + hold + releaseAll,
            "mousedown " + button + hold + "mouseup " + button,
            "mousemove " + std::to_string(below(1024)) + " " + std::to_string(below(768))};
        program.send(actions[below(3)]);
        ASSERT_FALSE(program.ended(0)) << "QUILLON_SOAK_SEED=" << seed << ": ended after " << seconds() << " s";
        if (program.caption() != caption) { // a rate over just more than two seconds
            caption = program.caption();
            frames += 2 * std::stod("0" + caption.substr(13));
            captionTime = seconds();
        }
        ASSERT_LT(seconds() - captionTime, 5) << "QUILLON_SOAK_SEED=" << seed << ": caption stuck at " << caption;
        ASSERT_LT(seconds(), 400) << "QUILLON_SOAK_SEED=" << seed << ": only " << frames << " frames";
        if (warmRss == 0 && seconds() > 10) warmRss = residentKilobytes(program.pid);
    }
    const long endRss = residentKilobytes(program.pid);
    std::printf("QUILLON_SOAK_SEED=%u: %.0f frames in %.0f s, resident %ld kB after warm-up, %ld kB at the end\n",
                seed, frames, seconds(), warmRss, endRss);
    EXPECT_LT(endRss - warmRss, 2048) << "QUILLON_SOAK_SEED=" << seed;
}

TEST(EndToEnd, OneFlight) {
    Program program;
    ASSERT_TRUE(program.showsWindow());
    const Picture first = program.grab();
    ASSERT_EQ(first.rgb.size(), Picture::PIXELS * 3u) << "the window is not 640x480";
    EXPECT_GT(first.reshaped(), 0.3); // camera 0 sees the terrain below the horizon
    EXPECT_LT(first.reshaped(), 0.95);
    sleepFor(0.3);
    EXPECT_NE(program.grab().rgb, first.rgb) << "the plasma does not move";

    program.send("mousemove --window %w 320 240 windowfocus --sync %w");
    const double fill = first.reshaped();
    EXPECT_TRUE(program.holdUntil("keydown w", "keyup w", [&](const Picture &p) {
        return p.reshaped() > fill + 0.1;
    })) << "W does not fly towards the terrain";
    // C acts in every frame it is held: tap, longer each time, until an odd
    // number of frames saw it and the top-down camera fills the window; then
    // again until the chase camera is back at its start, W's flight undone.
    for (const bool topDown : {true, false}) {
        for (int tap = 0; tap < 30 && (program.grab().reshaped() > 0.999) != topDown; ++tap)
            program.send("keydown c sleep " + std::to_string(0.01 + 0.013 * tap) + " keyup c sleep 0.3");
        EXPECT_EQ(program.grab().reshaped() > 0.999, topDown) << "C does not switch cameras";
    }
    EXPECT_FALSE(program.grab().covered(5, 5)) << "the top left corner does not show the sky";
    EXPECT_TRUE(program.holdUntil("mousedown 1", "mouseup 1", [](const Picture &p) { return p.covered(5, 5); }))
        << "a held button does not roll the horizon";

    const Picture before = program.grab();
    program.send("mousemove --window %w 520 240");
    for (int look = 0; look < 100 && program.pointer() != std::make_pair(320, 240); ++look)
        sleepFor(0.1);
    EXPECT_EQ(program.pointer(), std::make_pair(320, 240)) << "the pointer is not put back";
    EXPECT_GT(program.grab().reshaped(before), 0.05) << "the pointer does not turn the view";

    const std::string caption = program.caption();
    EXPECT_GT(std::stod("0" + caption.substr(13)), 0.0) << caption;
    EXPECT_EQ(caption.substr(0, 13), "Vantrell FPS:");
    for (int look = 0; look < 80 && program.caption() == caption; ++look) // two seconds, and then a frame
        sleepFor(0.1);
    EXPECT_NE(program.caption(), caption) << "the frame rate is not measured anew";
    if (std::getenv("QUILLON_SOAK") != nullptr) soak(program);

    program.send("mousemove --window %w 320 240 windowfocus --sync %w keydown Escape");
    EXPECT_TRUE(program.ended(10)) << "Escape does not end the program";
    program.send("keyup Escape");
    EXPECT_EQ(program.status, 0) << "not exit code 0";
}

// Ctrl+C and kill end the program after the frame in progress, by the same
// signal. (Usually within a tenth of a second; the wait allows for a loaded machine.)
TEST(EndToEnd, SignalsEndTheProgramBySameSignal) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Program program;
        ASSERT_TRUE(program.showsWindow());
        kill(program.pid, signal);
        EXPECT_TRUE(program.ended(10)) << "still running ten seconds after signal " << signal;
        EXPECT_TRUE(WIFSIGNALED(program.status) && WTERMSIG(program.status) == signal) << program.status;
    }
}

// Without a display, or with only a video driver that shows no window, the
// program says why on a line of its own and exits with code 1. (Classic SDL
// tries a text-console driver without a display; with no terminal type its
// curses library ends the process before the program can say anything.)
TEST(EndToEnd, NoWindowNoRun) {
    for (const auto &[settings, why] : {std::pair{"-u DISPLAY TERM=dumb", "no video driver that shows a window"},
                                        {"SDL_VIDEODRIVER=dummy", "no video driver that shows a window"},
                                        {"SDL_VIDEODRIVER=none", "cannot initialise SDL"}}) {
        const std::string said = "\n" + output("timeout 10 env " + std::string(settings) +
                                               " " QUILLON_BINARY " 2>&1 >/dev/null; echo $?");
        EXPECT_NE(said.find("\nquillon: " + std::string(why)), std::string::npos)
            << said; // among the libraries' lines
        EXPECT_EQ(said.find("\nquillon: "), said.rfind("\nquillon: ")) << said;
        EXPECT_EQ(said.substr(said.size() - 3), "\n1\n") << said;
    }
}

} // namespace
