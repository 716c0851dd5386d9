// What Ctrl+C copies from the program's message box outlives the program:
// the box hands it to the desktop's clipboard manager. The test plays the
// clipboard manager (the CLIPBOARD_MANAGER selection of the X desktop) and
// looks at what it is handed.

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

extern char** environ;

namespace pw {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ClipboardManager {
public:
    ClipboardManager() : m_display(XOpenDisplay(nullptr)) {
        if (!m_display)
            return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_manager = XInternAtom(m_display, "CLIPBOARD_MANAGER", False);
        m_saveTargets = XInternAtom(m_display, "SAVE_TARGETS", False);
        m_clipboard = XInternAtom(m_display, "CLIPBOARD", False);
        m_utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        m_property = XInternAtom(m_display, "PAGEWRIGHT_TEST_KEPT", False);
        XSetSelectionOwner(m_display, m_manager, m_window, CurrentTime);
        XFlush(m_display);
    }
    ~ClipboardManager() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool Running() const { return m_display && XGetSelectionOwner(m_display, m_manager) == m_window; }
    Display* display() const { return m_display; }

    // Handles the desktop's requests until the time is up; true once a
    // program has handed over its clipboard.
    bool Serve(Clock::duration time) {
        const auto end = Clock::now() + time;
        while (!m_kept && Clock::now() < end) {
            while (XPending(m_display)) {
                XEvent e;
                XNextEvent(m_display, &e);
                if (e.type == SelectionRequest)
                    OnRequest(e.xselectionrequest);
            }
            std::this_thread::sleep_for(10ms);
        }
        return m_kept.has_value();
    }
    const std::optional<std::string>& Kept() const { return m_kept; }

private:
    // A program asks the manager to save its clipboard: the manager takes
    // the text from the clipboard's owner, then tells the program it is done.
    void OnRequest(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.selection == m_manager && request.target == m_saveTargets) {
            m_kept = FetchClipboardText();
            // A request without a property names its target as the property.
            const Atom property = request.property != None ? request.property : request.target;
            XChangeProperty(m_display, request.requestor, property, XInternAtom(m_display, "NULL", False), 32,
                            PropModeReplace, nullptr, 0);
            reply.xselection.property = property;
        }
        XSendEvent(m_display, request.requestor, False, NoEventMask, &reply);
        XFlush(m_display);
    }

    std::optional<std::string> FetchClipboardText() {
        XConvertSelection(m_display, m_clipboard, m_utf8, m_property, m_window, CurrentTime);
        XFlush(m_display);
        const auto end = Clock::now() + 5s;
        while (Clock::now() < end) {
            XEvent e;
            if (XCheckTypedWindowEvent(m_display, m_window, SelectionNotify, &e)) {
                if (e.xselection.property == None)
                    return std::nullopt;
                Atom type;
                int format;
                unsigned long items, after;
                unsigned char* data = nullptr;
                XGetWindowProperty(m_display, m_window, m_property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                                   &items, &after, &data);
                std::string text(reinterpret_cast<char*>(data), items);
                XFree(data);
                return text;
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

    Display* m_display = nullptr;
    Window m_window = 0;
    Atom m_manager = 0, m_saveTargets = 0, m_clipboard = 0, m_utf8 = 0, m_property = 0;
    std::optional<std::string> m_kept;
};

pid_t Start(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

TEST(ClipboardKept, CopiedTextOfTheNoticeGoesToTheClipboardManager) {
    ClipboardManager manager;
    ASSERT_TRUE(manager.Running()) << "no display";
    const pid_t program = Start({PAGEWRIGHT_EXE, "-copyright"});
    ASSERT_GT(program, 0);
    // The notice is up when its window has the keyboard; then Ctrl+C and
    // Return, as the user would press them.
    const auto end = Clock::now() + 20s;
    bool up = false;
    while (!up && Clock::now() < end) {
        std::this_thread::sleep_for(200ms);
        up = std::system("xdotool search --onlyvisible --name '^Pagewright$' >/dev/null 2>&1") == 0;
    }
    ASSERT_TRUE(up) << "the notice did not show";
    std::this_thread::sleep_for(500ms);
    std::system("xdotool search --onlyvisible --name '^Pagewright$' windowfocus key ctrl+c >/dev/null 2>&1");
    manager.Serve(5s);
    std::system("xdotool search --onlyvisible --name '^Pagewright$' windowfocus key Return >/dev/null 2>&1");
    int status = -1;
    for (auto stop = Clock::now() + 20s; Clock::now() < stop;) {
        if (::waitpid(program, &status, WNOHANG) == program)
            break;
        manager.Serve(50ms);
    }
    if (::waitpid(program, nullptr, WNOHANG) == 0) {
        ::kill(program, SIGKILL);
        ::waitpid(program, nullptr, 0);
    }
    ASSERT_TRUE(manager.Kept()) << "the clipboard was not handed to the clipboard manager";
    const std::string& text = *manager.Kept();
    EXPECT_EQ(text.rfind("---------------------------\nPagewright\n---------------------------\n", 0), 0u) << text;
    EXPECT_NE(text.find("OK   \n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace pw
