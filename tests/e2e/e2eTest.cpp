// The real program as a user meets it: its window and flight, the pointer over
// it, and every way it ends.
#include "tests/e2e/program.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

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

// Ctrl+C and kill end the program after the frame in progress, by the same
// signal (usually within a tenth of a second; the wait allows for a loaded machine).
// Without a display, with only a video driver that shows no window, or with
// no GL library to load (SDL 1.2 and SDL 2 each read their own variable), it
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
                                        {"SDL_VIDEODRIVER=none", "cannot initialise SDL"},
                                        {"SDL_VIDEO_GL_DRIVER=/none/libGL.so SDL_OPENGL_LIBRARY=/none/libGL.so",
                                         "cannot open a 640x480 OpenGL window"}}) {
        const std::string said = "\n" + output("timeout 10 env " + std::string(settings) + " " + programCommand() +
                                               " 2>&1 >/dev/null; echo $?");
        EXPECT_NE(said.find("\nquillon: " + std::string(why)), std::string::npos) << said; // among the libraries'
        EXPECT_EQ(said.find("\nquillon: "), said.rfind("\nquillon: ")) << said;
        EXPECT_EQ(said.substr(said.size() - 3), "\n1\n") << said;
    }
}

// Until the window is open a stop ends the program at once: a start that hangs
// on an X server that never answers ends on SIGTERM, by that signal. The
// server is a port on the loopback, at the first free display number from 100,
// that accepts connections and never answers.
TEST(EndToEnd, TermEndsAHangingStartAtOnce) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int number = 100;
    for (; number < 1000; ++number) {
        address.sin_port = htons(uint16_t(6000 + number));
        if (bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) break;
    }
    listen(listener, 1);
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
