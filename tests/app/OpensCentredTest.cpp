// The program's window opens centred on the screen at every start, however
// soon the window manager gets to framing it.

#include "tests/ui/CommandOutput.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace pw {
namespace {

using namespace std::chrono_literals;

using test::CommandOutput;

// xdotool's "--shell" lines, NAME=value.
int Value(const std::string& lines, const std::string& name) {
    const std::size_t at = lines.find(name + "=");
    return at == std::string::npos ? -1 : std::atoi(lines.c_str() + at + name.size() + 1);
}

TEST(Program, OpensCentredAtEveryStart) {
    if (!std::getenv("PAGEWRIGHT_TEST_WM"))
        GTEST_SKIP() << "needs a window manager";
    const std::string display = CommandOutput("xdotool getdisplaygeometry --shell");
    const int screenWidth = Value(display, "WIDTH"), screenHeight = Value(display, "HEIGHT");
    for (int start = 0; start < 6; ++start) {
        char exe[] = PAGEWRIGHT_EXE;
        char* argv[] = {exe, nullptr};
        pid_t program = -1;
        ASSERT_EQ(::posix_spawn(&program, exe, nullptr, nullptr, argv, environ), 0);
        // Framed: the window manager has given it its frame.
        std::string window, extents;
        for (auto end = std::chrono::steady_clock::now() + 20s;
             std::chrono::steady_clock::now() < end && extents.find('=') == std::string::npos;) {
            std::this_thread::sleep_for(100ms);
            window = CommandOutput("xdotool search --onlyvisible --name '^Pagewright$' 2>/dev/null | head -n 1");
            if (!window.empty())
                extents = CommandOutput("xprop -id " + window.substr(0, window.find('\n')) + " _NET_FRAME_EXTENTS");
        }
        ASSERT_NE(extents.find('='), std::string::npos) << "start " << start << ": no framed window";
        std::this_thread::sleep_for(1s);  // settled
        const std::string id = window.substr(0, window.find('\n'));
        const std::string geometry = CommandOutput("xdotool getwindowgeometry --shell " + id);
        int left = 0, right = 0, top = 0, bottom = 0;
        std::sscanf(extents.c_str() + extents.find('=') + 1, " %d, %d, %d, %d", &left, &right, &top, &bottom);
        ::kill(program, SIGTERM);
        ::waitpid(program, nullptr, 0);
        const int frameX = Value(geometry, "X") - left, frameY = Value(geometry, "Y") - top;
        const int frameWidth = Value(geometry, "WIDTH") + left + right;
        const int frameHeight = Value(geometry, "HEIGHT") + top + bottom;
        // The program centres the window before the desktop has told it how
        // large the frame is: the frame's edges can make up the difference.
        EXPECT_NEAR(frameX + frameWidth / 2, screenWidth / 2, 2 + left) << "start " << start << "\n" << geometry;
        EXPECT_NEAR(frameY + frameHeight / 2, screenHeight / 2, 2 + top) << "start " << start << "\n" << geometry;
    }
}

}  // namespace
}  // namespace pw
