// The flight, then seeded random input until the captions have counted more
// than a plasma cycle of frames: the program stays alive, keeps measuring and
// holds its memory. Run on its own (ctest -L soak).
#include <random>

#include "plasma/plasma.h"
#include "tests/e2e/program.h"

namespace {

TEST(Soak, RandomInputForAPlasmaCycle) {
    Program program;
    ASSERT_NO_FATAL_FAILURE(fly(program));
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
            frames += 2 * std::stod("0" + caption.substr(CAPTION_PREFIX.size()));
            captionTime = seconds();
        }
        ASSERT_LT(seconds() - captionTime, 5) << "caption stuck at " << caption;
        ASSERT_LT(seconds(), 400) << "only " << frames << " frames";
        if (warm == 0 && seconds() > 10) warm = resident();
    }
    std::printf("QUILLON_SOAK_SEED=%u: %.0f frames in %.0f s, resident %ld kB after warm-up, %ld kB at the end\n",
                seed, frames, seconds(), warm, resident());
    EXPECT_LT(resident() - warm, 2048);
    endWithEscape(program);
}

} // namespace
