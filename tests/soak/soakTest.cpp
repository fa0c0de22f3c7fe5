// Soak: the real program for more than one plasma cycle under bounded random
// input. It must stay alive, keep its caption current, hold its memory steady
// and still end on Escape. The seed is printed; QUILLON_SOAK_SEED replays it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/conventions.h"
#include "plasma/plasma.h"
#include "tests/e2e/harness.h"

namespace {

using Clock = std::chrono::steady_clock;

// More than one full plasma cycle, estimated from the frame-rate captions.
constexpr double FRAME_TARGET = 8300;
static_assert(FRAME_TARGET > PHASE_CYCLE, "the soak covers a whole phase cycle");

constexpr double TIME_CAP = QUILLON_SOAK_SECONDS; // seconds to reach the frame target
constexpr double SHORTEST_RUN = 40;               // seconds, so memory is watched a while even at a high rate
constexpr double WARM_UP = 10;                    // seconds before the first memory reading
constexpr double QUIET_TIME = 3;                  // seconds without input around each memory reading
static_assert(SHORTEST_RUN > WARM_UP + QUIET_TIME, "memory is read after the warm-up and again at the end");
constexpr double CAPTION_SILENCE_LIMIT = 5; // seconds the caption may stay unchanged
constexpr long RSS_GROWTH_LIMIT_KB = 2048;
constexpr double POLL_INTERVAL = 0.02;   // seconds between looks at the program
constexpr double LONGEST_HOLD = 0.6;     // seconds a chord or a mouse button stays down
constexpr double EXIT_WAIT = 10;         // seconds Escape may take to end the program
constexpr double PROGRESS_INTERVAL = 10; // seconds between progress lines

const char *const MOVEMENT_KEYS[] = {"Up", "Down", "Left", "Right", "w", "a", "s", "d"};
constexpr int KEY_COUNT = static_cast<int>(std::size(MOVEMENT_KEYS));

// Window coordinates the pointer is sent to: the four corners.
const std::pair<int, int> CORNERS[] = {
    {0, 0}, {WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1}, {WINDOW_WIDTH - 1, 0}, {0, WINDOW_HEIGHT - 1}};
// Root coordinates outside the window, which sits at the origin of with-xvfb's 1024x768 screen.
const std::pair<int, int> OUTSIDE[] = {{900, 700}, {1023, 767}, {700, 100}, {100, 600}};

uint32_t chooseSeed() {
    if (const char *text = std::getenv("QUILLON_SOAK_SEED")) return static_cast<uint32_t>(std::stoul(text));
    return std::random_device{}();
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Under the sanitizers two of AddressSanitizer's features would make the
// resident size meaningless, so the program runs without them: the quarantine
// of freed blocks (up to 256 MiB; the size swings by tens of MiB from one
// second to the next) and the stack frames kept on the side to catch use after
// return (they fill in slowly, a few MiB over minutes). The program's own code
// never uses the heap, and every other check on its memory accesses stays on.
// The leak check at exit is turned off too, unless ASAN_OPTIONS chooses
// (tests/sanitizer/env turns it on, with the GL driver preloaded and
// suppressions): without those, the driver's one-time leaks show with frames
// that cannot be named and would turn a clean exit into code 1.
std::vector<std::pair<std::string, std::string>> programEnvironment() {
#if QUILLON_SOAK_SANITIZED
    const char *given = std::getenv("ASAN_OPTIONS");
    std::string options = given != nullptr ? given : "";
    if (options.find("detect_leaks=") == std::string::npos) options += ":detect_leaks=0";
    options += ":quarantine_size_mb=0:detect_stack_use_after_return=0";
    return {{"ASAN_OPTIONS", options}};
#else
    return {};
#endif
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exited with code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
    return "stopped with status " + std::to_string(status);
}

// How often each kind of input was sent.
struct InputCounts {
    long keyPresses = 0, keyReleases = 0, chords = 0, chordKeys = 0, cTaps = 0;
    long leftHolds = 0, rightHolds = 0, bothHolds = 0;
    long cornerMoves = 0, insideMoves = 0, outsideMoves = 0, centreMoves = 0;
    long idles = 0, commands = 0;
};

class Soak {
  public:
    Soak(Program &program, uint32_t seed) : program_(program), random_(seed) {}
    ~Soak() { releaseAll(); }

    // Sends random input until the frame target is reached and the shortest run
    // is over, reading memory after the warm-up and at the end; throws on any failure.
    void run();
    // Lets go of every key and button still down; never throws.
    void releaseAll();
    void report() const;

    long warmUpRss() const { return warmUpRss_; }
    long endRss() const { return endRss_; }

  private:
    void send(const std::string &arguments);
    [[noreturn]] void fail(const std::string &what);
    double secondsSinceStart() const;
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    // The shortest hold sure to span a frame: two frames at the last measured rate.
    double shortestHold() const { return std::max(0.02, 2.0 / rate_); }
    double holdTime() { return uniform(shortestHold(), std::max(shortestHold(), LONGEST_HOLD)); }

    // Waits while watching the program: alive, its caption current; prints progress.
    void wait(double seconds);
    void observe();
    long quietRss();

    void act();
    void pressKey();
    void releaseKey();
    void chord();
    void tapC();
    void holdButtons();
    void movePointer();

    Program &program_;
    std::mt19937 random_;
    InputCounts counts_;

    bool keyHeld_[KEY_COUNT] = {};
    bool cHeld_ = false, leftHeld_ = false, rightHeld_ = false;

    Clock::time_point start_ = Clock::now();
    std::string caption_;
    double lastCaptionChange_ = 0; // seconds since start
    double frames_ = 0;
    double rate_ = 100; // frames per second, until the first caption says
    int captionUpdates_ = 0;
    long warmUpRss_ = -1, endRss_ = -1;
    double nextProgressReport_ = WARM_UP;
    double finished_ = 0;
};

void Soak::send(const std::string &arguments) {
    ++counts_.commands;
    xdotool(program_, arguments);
}

void Soak::fail(const std::string &what) {
    throw std::runtime_error(what + " after " + std::to_string(secondsSinceStart()) + " s, ~" +
                             std::to_string(static_cast<long>(frames_)) + " frames");
}

double Soak::secondsSinceStart() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

void Soak::wait(double seconds) {
    const double until = secondsSinceStart() + seconds;
    for (;;) {
        observe();
        const double left = until - secondsSinceStart();
        if (left <= 0) return;
        sleepSeconds(std::min(left, POLL_INTERVAL));
    }
}

// Each caption reports the rate over the time since the one before, so the
// rate times the time between the changes seen here counts those frames.
void Soak::observe() {
    if (!program_.running()) fail("the program " + describeStatus(*program_.waitExit(0)));
    const double now = secondsSinceStart();
    const std::string caption = program_.caption();
    if (caption != caption_) {
        const std::optional<double> rate = captionRate(caption);
        if (!rate || !(*rate > 0)) fail("unexpected caption \"" + caption + "\"");
        rate_ = *rate;
        frames_ += *rate * (now - lastCaptionChange_);
        ++captionUpdates_;
        caption_ = caption;
        lastCaptionChange_ = now;
    } else if (now - lastCaptionChange_ > CAPTION_SILENCE_LIMIT) {
        fail("the caption stayed \"" + caption + "\" for " + std::to_string(now - lastCaptionChange_) + " s");
    }
    if (now >= nextProgressReport_) {
        std::printf("soak: %5.1f s, ~%5.0f frames, resident %ld kB\n", now, frames_,
                    residentKilobytes(program_.pid()));
        std::fflush(stdout);
        nextProgressReport_ += PROGRESS_INTERVAL;
    }
}

void Soak::run() {
    start_ = Clock::now();
    caption_ = program_.caption();
    while (frames_ < FRAME_TARGET || secondsSinceStart() < SHORTEST_RUN) {
        if (secondsSinceStart() > TIME_CAP) fail("the frame target was not reached in time");
        if (warmUpRss_ < 0 && secondsSinceStart() >= WARM_UP) warmUpRss_ = quietRss();
        act();
    }
    endRss_ = quietRss();
    finished_ = secondsSinceStart();
}

// The smallest resident size over a few seconds without input: what the
// program keeps, without the allocator's swings from the frames just drawn.
long Soak::quietRss() {
    releaseAll();
    long smallest = -1;
    for (const double until = secondsSinceStart() + QUIET_TIME; secondsSinceStart() < until;) {
        wait(0.1);
        const long rss = residentKilobytes(program_.pid());
        if (smallest < 0 || rss < smallest) smallest = rss;
    }
    return smallest;
}

void Soak::act() {
    // Weights: key press, key release, chord, C taps, mouse buttons, pointer, idle.
    static const double WEIGHTS[] = {4, 3, 2, 2, 3, 3, 1};
    switch (std::discrete_distribution<int>(std::begin(WEIGHTS), std::end(WEIGHTS))(random_)) {
    case 0:
        pressKey();
        break;
    case 1:
        releaseKey();
        break;
    case 2:
        chord();
        break;
    case 3:
        tapC();
        break;
    case 4:
        holdButtons();
        break;
    case 5:
        movePointer();
        break;
    default:
        ++counts_.idles;
        wait(uniform(0.05, 0.4));
        break;
    }
}

// Presses one more movement key and keeps it down across the actions that follow.
void Soak::pressKey() {
    std::vector<int> free;
    for (int k = 0; k < KEY_COUNT; ++k)
        if (!keyHeld_[k]) free.push_back(k);
    if (free.empty()) return releaseKey();
    const int k = free[below(static_cast<int>(free.size()))];
    keyHeld_[k] = true;
    send(std::string("keydown ") + MOVEMENT_KEYS[k]);
    ++counts_.keyPresses;
    wait(uniform(0, 0.15));
}

void Soak::releaseKey() {
    std::vector<int> held;
    for (int k = 0; k < KEY_COUNT; ++k)
        if (keyHeld_[k]) held.push_back(k);
    if (held.empty()) return pressKey();
    const int k = held[below(static_cast<int>(held.size()))];
    send(std::string("keyup ") + MOVEMENT_KEYS[k]);
    keyHeld_[k] = false;
    ++counts_.keyReleases;
    wait(uniform(0, 0.15));
}

// Two or more keys pressed together, held, and let go together.
void Soak::chord() {
    std::vector<int> free;
    for (int k = 0; k < KEY_COUNT; ++k)
        if (!keyHeld_[k]) free.push_back(k);
    if (free.size() < 2) return releaseKey();
    std::shuffle(free.begin(), free.end(), random_);
    free.resize(2 + below(static_cast<int>(free.size()) - 1));
    std::string keys;
    for (int k : free) {
        keys += std::string(" ") + MOVEMENT_KEYS[k];
        keyHeld_[k] = true;
    }
    send("keydown" + keys);
    wait(holdTime());
    send("keyup" + keys);
    for (int k : free)
        keyHeld_[k] = false;
    ++counts_.chords;
    counts_.chordKeys += static_cast<long>(free.size());
}

// C flips the camera every frame it is down, so taps shorter or longer than a
// frame both happen.
void Soak::tapC() {
    for (int taps = 1 + below(8); taps > 0; --taps) {
        cHeld_ = true;
        send("keydown c");
        wait(uniform(0, 0.03));
        send("keyup c");
        cHeld_ = false;
        ++counts_.cTaps;
        wait(uniform(0, 0.06));
    }
}

void Soak::holdButtons() {
    const int which = below(3); // left, right, both
    leftHeld_ = which != 1;
    rightHeld_ = which != 0;
    send(std::string(leftHeld_ ? "mousedown 1 " : "") + (rightHeld_ ? "mousedown 3" : ""));
    wait(holdTime());
    send(std::string(leftHeld_ ? "mouseup 1 " : "") + (rightHeld_ ? "mouseup 3" : ""));
    leftHeld_ = rightHeld_ = false;
    if (which == 0)
        ++counts_.leftHolds;
    else if (which == 1)
        ++counts_.rightHolds;
    else
        ++counts_.bothHolds;
}

// The program puts the pointer back at the centre whenever it sees it move;
// from outside the window it is brought back here.
void Soak::movePointer() {
    const int where = below(3); // corner, inside, outside
    if (where == 0) {
        const auto [x, y] = CORNERS[below(static_cast<int>(std::size(CORNERS)))];
        send("mousemove --window %w " + std::to_string(x) + " " + std::to_string(y));
        ++counts_.cornerMoves;
    } else if (where == 1) {
        send("mousemove --window %w " + std::to_string(below(WINDOW_WIDTH)) + " " +
             std::to_string(below(WINDOW_HEIGHT)));
        ++counts_.insideMoves;
    } else {
        const auto [x, y] = OUTSIDE[below(static_cast<int>(std::size(OUTSIDE)))];
        send("mousemove " + std::to_string(x) + " " + std::to_string(y));
        ++counts_.outsideMoves;
    }
    wait(uniform(0, 0.3));
    if (where == 2 || below(2) == 0) {
        send("mousemove --window %w " + std::to_string(WINDOW_CENTRE_X) + " " + std::to_string(WINDOW_CENTRE_Y));
        ++counts_.centreMoves;
        wait(uniform(0, 0.1));
    }
}

void Soak::releaseAll() {
    std::string arguments;
    for (int k = 0; k < KEY_COUNT; ++k)
        if (keyHeld_[k]) arguments += std::string(" keyup ") + MOVEMENT_KEYS[k];
    if (cHeld_) arguments += " keyup c";
    if (leftHeld_) arguments += " mouseup 1";
    if (rightHeld_) arguments += " mouseup 3";
    if (arguments.empty()) return;
    try {
        send(arguments.substr(1));
    } catch (const std::exception &error) {
        std::printf("soak: could not release everything: %s\n", error.what());
    }
    std::fill(std::begin(keyHeld_), std::end(keyHeld_), false);
    cHeld_ = leftHeld_ = rightHeld_ = false;
}

void Soak::report() const {
    const InputCounts &c = counts_;
    std::printf("soak: ~%.0f frames in %.1f s over %d caption updates (last rate %.1f fps)\n", frames_, finished_,
                captionUpdates_, rate_);
    std::printf("soak: resident memory (least over %.0f s without input) %ld kB after %.0f s of warm-up, %ld kB at "
                "the end: %+ld kB\n",
                QUIET_TIME, warmUpRss_, WARM_UP, endRss_, endRss_ - warmUpRss_);
    std::printf("soak: inputs: %ld movement-key presses and %ld releases, %ld chords of %ld keys, %ld C taps,\n"
                "soak:   %ld left, %ld right and %ld two-button holds, pointer to %ld corners, %ld inside points,\n"
                "soak:   %ld outside points and %ld times back to the centre, %ld idles; %ld xdotool commands\n",
                c.keyPresses, c.keyReleases, c.chords, c.chordKeys, c.cTaps, c.leftHolds, c.rightHolds, c.bothHolds,
                c.cornerMoves, c.insideMoves, c.outsideMoves, c.centreMoves, c.idles, c.commands);
    std::fflush(stdout);
}

TEST(Soak, MoreThanAPlasmaCycleOfRandomInput) {
    const uint32_t seed = chooseSeed();
    std::printf("soak: seed %u (replay with QUILLON_SOAK_SEED=%u)\n", seed, seed);
    std::fflush(stdout);
    SCOPED_TRACE("seed " + std::to_string(seed));

    Program program(programEnvironment());
    ASSERT_TRUE(program.waitForWindow());
    program.focus();
    Soak soak(program, seed);
    try {
        soak.run();
    } catch (const std::exception &error) {
        soak.releaseAll();
        FAIL() << error.what();
    }
    soak.report();
    EXPECT_LT(soak.endRss() - soak.warmUpRss(), RSS_GROWTH_LIMIT_KB) << "resident memory grew";

    program.focus();
    xdotool(program, "keydown Escape");
    const auto status = program.waitExit(EXIT_WAIT);
    xdotool(program, "keyup Escape");
    ASSERT_TRUE(status) << "still running after Escape";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "the program " << describeStatus(*status);
}

} // namespace
