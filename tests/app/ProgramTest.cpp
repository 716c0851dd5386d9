// The program pagewright run as a separate process on the test's display:
// its windows are found and closed through the X server, as a person would.

#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pw {
namespace {

using namespace std::chrono_literals;

// The X server the test runs on.
class XServer {
public:
    // A loaded machine can be slow to accept the first connection; give the
    // server a few seconds before calling the display missing.
    XServer() {
        for (int attempt = 0; !m_display && attempt < 50; ++attempt) {
            m_display = XOpenDisplay(nullptr);
            if (!m_display)
                std::this_thread::sleep_for(100ms);
        }
    }
    ~XServer() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    explicit operator bool() const { return m_display != nullptr; }

    // Top-level windows that are on screen and carry the title. Without a
    // window manager the programs' windows are children of the root.
    std::vector<Window> ShownWindowsTitled(const std::string& title) {
        std::vector<Window> found;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
            return found;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attrs;
            if (!XGetWindowAttributes(m_display, children[i], &attrs) || attrs.map_state != IsViewable)
                continue;
            char* name = nullptr;
            if (XFetchName(m_display, children[i], &name) && name) {
                if (title == name)
                    found.push_back(children[i]);
                XFree(name);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    // What the close box of the frame does: ask the window to close.
    void AskToClose(Window w) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, w, False, NoEventMask, &e);
        XFlush(m_display);
    }

private:
    Display* m_display = nullptr;
};

// A child process of the test, ended by the test if it outlives it.
class Program {
public:
    explicit Program(std::vector<std::string> args, bool withDisplay = true) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (withDisplay || std::string(*e).rfind("DISPLAY=", 0) != 0)
                env.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
    }
    ~Program() {
        if (m_pid > 0 && !m_status) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool started() const { return m_pid > 0; }

    // The exit code once the program has ended by itself within the time;
    // nothing while it runs; -1 when it was ended by a signal.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!m_status) {
            int status = 0;
            const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid) {
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (std::chrono::steady_clock::now() > end)
                break;
            std::this_thread::sleep_for(20ms);
        }
        return m_status;
    }

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// Polls until a window with the title is shown; records every such window
// seen meanwhile.
std::optional<Window> WaitForWindow(XServer& x, const std::string& title, std::set<Window>& seen, Program& p) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        const std::vector<Window> shown = x.ShownWindowsTitled(title);
        seen.insert(shown.begin(), shown.end());
        if (!shown.empty())
            return shown.front();
        if (p.WaitForExit(0ms))
            return std::nullopt;
        std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
}

TEST(Program, ShowsItsWindowAndEndsWithZeroWhenItIsClosed) {
    XServer x;
    ASSERT_TRUE(x) << "no display";
    test::TempFolder dir;
    ASSERT_TRUE(test::WriteTiff(dir / "a.tif", 2));
    Program p({PAGEWRIGHT_EXE, "-add", dir / "a.tif", "-open", dir / "a.tif"});
    ASSERT_TRUE(p.started());
    std::set<Window> seen;
    const std::optional<Window> window = WaitForWindow(x, "Pagewright", seen, p);
    ASSERT_TRUE(window) << "the main window did not show";
    EXPECT_FALSE(p.WaitForExit(300ms)) << "the program ended while its window was up";
    x.AskToClose(*window);
    EXPECT_EQ(p.WaitForExit(20s), std::optional<int>(0));
}

TEST(Program, CopyrightShowsOnlyTheNoticeAndEndsWithZero) {
    XServer x;
    ASSERT_TRUE(x) << "no display";
    test::TempFolder dir;
    ASSERT_TRUE(test::WriteTiff(dir / "a.tif", 2));
    Program p({PAGEWRIGHT_EXE, "-add", dir / "a.tif", "-Copyright", "-add", dir / "a.tif"});
    ASSERT_TRUE(p.started());
    std::set<Window> seen;
    const std::optional<Window> box = WaitForWindow(x, "Pagewright", seen, p);
    ASSERT_TRUE(box) << "the notice did not show";
    // Give a wrongly shown main window the time to come up beside the box.
    for (int i = 0; i < 10; ++i) {
        const std::vector<Window> shown = x.ShownWindowsTitled("Pagewright");
        seen.insert(shown.begin(), shown.end());
        std::this_thread::sleep_for(30ms);
    }
    x.AskToClose(*box);
    const std::optional<int> code = p.WaitForExit(20s);
    EXPECT_EQ(code, std::optional<int>(0));
    EXPECT_EQ(seen.size(), 1u) << "a window besides the notice was shown";
}

TEST(Program, EndsWithAnErrorWithoutADisplay) {
    Program p({PAGEWRIGHT_EXE}, false);
    ASSERT_TRUE(p.started());
    const std::optional<int> code = p.WaitForExit(20s);
    ASSERT_TRUE(code);
    EXPECT_NE(*code, 0);
}

}  // namespace
}  // namespace pw
