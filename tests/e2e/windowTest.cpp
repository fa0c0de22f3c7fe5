// The window, its caption, the animation, and every way the program ends.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>

#include "tests/e2e/harness.h"

namespace {

TEST(Window, OpensAt640x480CaptionedQuillonAndAnimates) {
    Program program;
    ASSERT_TRUE(program.waitForWindow());
    EXPECT_EQ(program.caption(), "Quillon");
    const Image first = program.grab();
    EXPECT_EQ(first.width, 640);
    EXPECT_EQ(first.height, 480);
    EXPECT_GT(first.fill(), 0.3); // camera 0 sees the terrain below the horizon
    EXPECT_LT(first.fill(), 0.95);
    sleepSeconds(0.5);
    EXPECT_GT(program.grab().difference(first), 0.2) << "the plasma does not move";
}

TEST(Window, HeldEscapeEndsWithExitCodeZero) {
    Program program;
    ASSERT_TRUE(program.waitForWindow());
    program.focus();
    xdotool(program, "keydown Escape");
    const auto status = program.waitExit(5);
    xdotool(program, "keyup Escape");
    ASSERT_TRUE(status) << "still running after Escape";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}

TEST(Window, CloseRequestIsIgnored) {
    Program program;
    ASSERT_TRUE(program.waitForWindow());
    program.requestClose();
    sleepSeconds(1.0);
    EXPECT_TRUE(program.running());
    const Image before = program.grab();
    sleepSeconds(0.3);
    EXPECT_GT(program.grab().difference(before), 0.2) << "frames stopped after the close request";
}

class Signals : public ::testing::TestWithParam<int> {};

// SIGINT and SIGTERM end the loop after the current frame; the program then
// ends by the same signal, as a shell expects.
TEST_P(Signals, EndTheProgramWithinASecond) {
    Program program;
    ASSERT_TRUE(program.waitForWindow());
    const auto sent = std::chrono::steady_clock::now();
    kill(program.pid(), GetParam());
    const auto status = program.waitExit(1.0);
    ASSERT_TRUE(status) << "still running a second after the signal";
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
    ASSERT_TRUE(WIFSIGNALED(*status));
    EXPECT_EQ(WTERMSIG(*status), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, Signals, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto &info) { return std::string(info.param == SIGINT ? "SIGINT" : "SIGTERM"); });

class NoDisplay : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

// No display, or only a video driver that shows no window: exit code 1 at once.
TEST_P(NoDisplay, ExitsWithCodeOne) {
    Program program({GetParam()});
    const auto status = program.waitExit(10);
    ASSERT_TRUE(status) << "still running without a display";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Window, NoDisplay, ::testing::Values(std::make_pair("DISPLAY", ""), std::make_pair("SDL_VIDEODRIVER", "dummy")),
    [](const auto &info) { return info.param.first == "DISPLAY" ? "DisplayUnset" : "DummyDriver"; });

} // namespace
