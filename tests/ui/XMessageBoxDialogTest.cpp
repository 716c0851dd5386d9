#include "tests/ui/XMessageBoxTestSupport.h"

#include "ui/XMessageBox.h"
#include "ui/XMessageBoxAnswers.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/uiaction.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/dir.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>

namespace pw {
namespace {

using namespace test;
using Buttons = std::vector<std::pair<int, std::string>>;
using Script = std::function<void(XMessageBoxDialog&)>;
using Inspection = std::function<int(XMessageBoxDialog&)>;

// An expectation for wxTEST_DIALOG that hands the box, unshown, to a function
// whose result ShowModal returns.
template <class Dialog>
class Expect : public wxExpectModalBase<Dialog, Expect<Dialog>> {
public:
    explicit Expect(std::function<int(Dialog&)> onBox) : onBox_(std::move(onBox)) {}

protected:
    int OnInvoked(Dialog* box) const override { return onBox_(*box); }

private:
    std::function<int(Dialog&)> onBox_;
};

// The whole call, with the box built but not shown.
int Inspect(const char* text, const char* caption, unsigned style, const XMessageBoxParams* p, Inspection look) {
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, text, caption, style | XMB_SILENT, p), Expect<XMessageBoxDialog>(look));
    return result;
}

// The whole call, with the box on the screen while the script runs.
int RunShown(const char* text, const char* caption, unsigned style, const XMessageBoxParams* p, Script script,
        wxWindow* owner = nullptr) {
    ModalScript hook(std::move(script));
    const int result = XMessageBox(owner, text, caption, style | XMB_SILENT, p);
    EXPECT_EQ(hook.Shown(), 1);
    return result;
}

std::string LabelOf(const wxWindow& box, int id) {
    const wxWindow* w = box.FindWindow(id);
    return w ? w->GetLabel().utf8_string() : "<missing>";
}

// Clicks a button the way the toolkit reports it.
void Press(wxWindow& box, int id) {
    wxWindow* button = box.FindWindow(id);
    ASSERT_NE(button, nullptr) << "no control " << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

void TickCheckBox(wxWindow& box, int id = kCheckBoxId) {
    auto* check = wxDynamicCast(box.FindWindow(id), wxCheckBox);
    ASSERT_NE(check, nullptr);
    check->SetValue(true);
}

// Sends a key through the display server, then Ctrl+C, and waits until the
// copy has arrived: every key before it has been handled by then.
void TypeAndSettle(XMessageBoxDialog& box, int key) {
    wxTheClipboard->Open();
    wxTheClipboard->SetData(new wxTextDataObject("before"));
    wxTheClipboard->Close();
    wxUIActionSimulator sim;
    sim.Char(key);
    sim.Char('c', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&box] { return box.IsDone() || ClipboardText() != "before"; }));
}

void Click(const wxPoint& screen) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    WaitFor([&] { return wxGetMousePosition() == screen; });
    sim.MouseClick();
}

// What every box must satisfy whatever it holds: inside its client area,
// buttons in one row 6 pixels apart ending 16 pixels from the right edge,
// message above them wide enough for each line, check box below at the left.
void ExpectSoundGeometry(const XMessageBoxDialog& box) {
    const wxSize client = box.GetClientSize();
    std::vector<wxRect> buttons;
    for (const wxWindow* child : box.GetChildren()) {
        const wxRect r = child->GetRect();
        EXPECT_TRUE(wxRect(client).Contains(r)) << child->GetLabel();
        if (wxDynamicCast(child, wxButton)) buttons.push_back(r);
    }
    ASSERT_FALSE(buttons.empty());
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].y, buttons[0].y);
        EXPECT_NEAR(buttons[i].x - buttons[i - 1].GetRight() - 1, 6, 1);
    }
    EXPECT_NEAR(client.x - buttons.back().GetRight() - 1, 16, 2);
    const wxWindow* message = box.FindWindow(kMessageControlId);
    EXPECT_LT(message->GetRect().GetBottom(), buttons[0].y);
    for (const auto& line : box.MessageLines())
        EXPECT_LE(box.GetTextExtent(wxString::FromUTF8(line)).x, message->GetSize().x) << line;
    if (const wxWindow* check = box.FindWindow(kCheckBoxId)) {
        EXPECT_NEAR(check->GetPosition().x, 17, 2);
        EXPECT_GT(check->GetPosition().y, buttons[0].GetBottom());
    }
}

struct SetCase {
    unsigned style;
    Buttons expected;
};

class XMessageBoxTest : public XMessageBoxTestBase {};

class XMessageBoxSetTest : public XMessageBoxTestBase, public ::testing::WithParamInterface<SetCase> {};

TEST_P(XMessageBoxSetTest, BoxHasTheSetsButtonsAndReturnsTheAnswer) {
    const SetCase& c = GetParam();
    const int answer = c.expected.front().first;
    EXPECT_EQ(Inspect("Pick one.", "Choice", c.style, nullptr, [&](XMessageBoxDialog& box) {
                  EXPECT_EQ(ButtonsOf(box), c.expected);
                  ExpectSoundGeometry(box);
                  return answer;
              }),
              answer);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, XMessageBoxSetTest,
    ::testing::Values(SetCase{MB_ABORTRETRYIGNORE, {{3, "&Abort"}, {4, "&Retry"}, {5, "&Ignore"}}},
                      SetCase{MB_YESNOCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL,
                              {{6, "&Yes"}, {19, "Y&es to All"}, {7, "&No"}, {20, "N&o to All"}, {2, "Cancel"}}},
                      SetCase{XMB_SKIP_SKIPALL_CANCEL | MB_ICONWARNING, {{14, "&Skip"}, {15, "S&kip All"}, {2, "Cancel"}}},
                      SetCase{XMB_IGNORE_IGNOREALL_CANCEL | MB_HELP | XMB_TELLAGAIN_BOX,
                              {{5, "&Ignore"}, {16, "I&gnore All"}, {2, "Cancel"}, {300, "&Help"},
                               {5555, "Don't tell me again"}}}));

TEST_F(XMessageBoxTest, CustomButtonsTakeTheFirstFourCaptionsAndIgnoreEscape) {
    XMessageBoxParams p;
    p.customButtons = "Keep both\nReplace\nSkip\nRename\nAsk later";
    p.report = [](const std::string&, std::uint32_t) {};
    EXPECT_EQ(Inspect("Exists.", "Copy", MB_YESNO | MB_HELP, &p, [](XMessageBoxDialog& box) {
                  EXPECT_EQ(ButtonsOf(box), (Buttons{{23, "Keep both"}, {24, "Replace"}, {25, "Skip"}, {26, "Rename"},
                                                     {300, "&Help"}, {301, "Re&port"}}));
                  return 25;
              }),
              25);
    p.report = nullptr;
    EXPECT_EQ(RunShown("Custom", "Keys", MB_OKCANCEL, &p,
                  [](XMessageBoxDialog& box) {
                      TypeAndSettle(box, WXK_ESCAPE);
                      box.Close();
                      EXPECT_TRUE(box.IsModal());
                      Press(box, 24);
                  }),
              24);
}

TEST_F(XMessageBoxTest, TextsCaptionsAndStringNumbers) {
    XMessageBoxParams p;
    p.strings = [](unsigned n) -> std::optional<std::string> {
        if (n == 700) return std::string("Text from the table");
        if (n == 701) return std::string("Caption from the table");
        if (n == 702) return std::string("From table 1\nFrom table 2");
        if (n == 9008) return std::string("&Nope");
        return std::nullopt;
    };
    p.customButtonsNumber = 702;
    p.customButtons = "Not used";
    Inspect(XmbStringNumber(700), XmbStringNumber(701), MB_OK, &p, [](XMessageBoxDialog& box) {
        EXPECT_EQ(box.GetTitle(), "Caption from the table");
        EXPECT_EQ(LabelOf(box, kMessageControlId), "Text from the table");
        EXPECT_EQ(ButtonsOf(box), (Buttons{{23, "From table 1"}, {24, "From table 2"}}));
        return 23;
    });
    p.customButtonsNumber = 0;
    p.customButtons.clear();
    Inspect(XmbStringNumber(703), "c", MB_YESNO, &p, [](XMessageBoxDialog& box) {
        EXPECT_EQ(LabelOf(box, kMessageControlId), "");  // a number that does not load
        EXPECT_EQ(ButtonsOf(box), (Buttons{{6, "&Yes"}, {7, "&Nope"}}));
        return 6;
    });
    p.useCustomCaptions = true;
    p.captions[kCapYes] = "&Sure";
    Inspect("t", "c", MB_YESNO, &p, [](XMessageBoxDialog& box) {
        EXPECT_EQ(ButtonsOf(box), (Buttons{{6, "&Sure"}, {7, "&No"}}));
        return 6;
    });
    Inspect(nullptr, nullptr, MB_OK, nullptr, [](XMessageBoxDialog& box) {
        EXPECT_EQ(box.GetTitle(), "Error");
        EXPECT_EQ(LabelOf(box, kMessageControlId), "");
        return IDOK;
    });
    Inspect("Gr\xFC\xDF" "e", "Caf\xE9", MB_OK, nullptr, [](XMessageBoxDialog& box) {
        EXPECT_EQ(LabelOf(box, kMessageControlId), "Gr\xC3\xBC\xC3\x9F" "e");
        EXPECT_EQ(box.GetTitle().utf8_string(), "Caf\xC3\xA9");
        return IDOK;
    });
}

TEST_F(XMessageBoxTest, DefaultButtonAndTopmostFromTheStyle) {
    XMessageBoxParams p;
    p.report = [](const std::string&, std::uint32_t) {};
    const std::vector<std::tuple<unsigned, int, bool>> cases{{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL, false},
                                                             {MB_YESNO | MB_HELP | MB_DEFBUTTON4 | MB_TOPMOST, 301, true},
                                                             {MB_YESNO | MB_HELP | MB_DEFBUTTON5, IDYES, false},
                                                             {MB_OK | MB_SYSTEMMODAL | MB_ICONQUESTION, IDOK, true}};
    for (const auto& [style, id, topmost] : cases) {
        Inspect("t", "c", style, &p, [&](XMessageBoxDialog& box) {
            EXPECT_EQ(box.DefaultButtonId(), id) << std::hex << style;
            EXPECT_EQ(box.GetDefaultItem(), box.FindWindow(id));
            EXPECT_EQ(box.HasFlag(wxSTAY_ON_TOP), topmost) << std::hex << style;
            return IDOK;
        });
    }
}

// The picture a box shows as its icon, or an empty image without one.
wxImage IconOf(const wxWindow& box) {
    const auto* icon = wxDynamicCast(box.FindWindow(kIconControlId), wxStaticBitmap);
    return icon ? icon->GetBitmap().ConvertToImage() : wxImage();
}

bool SameImage(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

TEST_F(XMessageBoxTest, IconsFromTheStyleOrTheParameters) {
    const wxSize size = wxArtProvider::GetSizeHint(wxART_MESSAGE_BOX);
    auto art = [&](const wxArtID& id) { return wxArtProvider::GetBitmap(id, wxART_MESSAGE_BOX, size).ConvertToImage(); };
    const std::vector<std::pair<unsigned, wxArtID>> styles{{MB_ICONHAND, wxART_ERROR},
                                                           {MB_ICONQUESTION, wxART_QUESTION},
                                                           {MB_ICONEXCLAMATION, wxART_WARNING},
                                                           {MB_ICONASTERISK, wxART_INFORMATION},
                                                           {0x50, wxART_WARNING}};
    for (const auto& [style, id] : styles)
        Inspect("t", "c", style, nullptr, [&, id = id](XMessageBoxDialog& box) {
            EXPECT_TRUE(SameImage(IconOf(box), art(id))) << id;
            return IDOK;
        });
    Inspect("t", "c", MB_OK, nullptr, [](XMessageBoxDialog& box) {
        EXPECT_FALSE(IconOf(box).IsOk());
        return IDOK;
    });

    std::vector<std::pair<unsigned, std::string>> asked;
    XMessageBoxParams p;
    p.iconNumber = 0x10005;  // only the low 16 bits count
    p.icons = [&](unsigned number, const std::string& name) {
        asked.emplace_back(number, name);
        wxImage red(16, 16);
        red.SetRGB(wxRect(0, 0, 16, 16), 255, 0, 0);
        return number == 5 ? wxBitmapBundle(wxBitmap(red)) : wxBitmapBundle();
    };
    Inspect("t", "c", MB_OK, &p, [&](XMessageBoxDialog& box) {
        const wxImage shown = IconOf(box);
        EXPECT_EQ(shown.GetSize(), size);
        EXPECT_EQ(wxColour(shown.GetRed(8, 8), shown.GetGreen(8, 8), shown.GetBlue(8, 8)), *wxRED);
        return IDOK;
    });
    p.iconNumber = 0;
    p.iconName = "not-an-icon";
    // A custom icon that cannot be found falls back to the style's.
    Inspect("t", "c", MB_ICONHAND, &p, [&](XMessageBoxDialog& box) {
        EXPECT_TRUE(SameImage(IconOf(box), art(wxART_ERROR)));
        return IDOK;
    });
    EXPECT_EQ(asked, (std::vector<std::pair<unsigned, std::string>>{{5, ""}, {0, "not-an-icon"}}));
}

struct EscapeCase {
    unsigned style;
    int answer;  // 0: Escape and the close box leave the box up
};

class XMessageBoxEscapeTest : public XMessageBoxTestBase, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(XMessageBoxEscapeTest, EscapeKeyAndCloseBox) {
    const EscapeCase& c = GetParam();
    const int expected = c.answer ? c.answer : IDNO;
    for (bool useKey : {true, false}) {
        EXPECT_EQ(RunShown("Escape?", "Keys", c.style, nullptr,
                      [&](XMessageBoxDialog& box) {
                          if (useKey)
                              TypeAndSettle(box, WXK_ESCAPE);
                          else
                              box.Close();
                          if (c.answer == 0) {
                              EXPECT_TRUE(box.IsModal());
                              box.Command(IDNO);
                          }
                      }),
                  expected)
            << (useKey ? "Escape" : "close box");
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, XMessageBoxEscapeTest,
                         ::testing::Values(EscapeCase{MB_OK, IDOK}, EscapeCase{MB_OKCANCEL, IDCANCEL},
                                           EscapeCase{MB_YESNOCANCEL, IDCANCEL}, EscapeCase{MB_RETRYCANCEL, IDCANCEL},
                                           EscapeCase{XMB_SKIP_SKIPALL_CANCEL, IDCANCEL}, EscapeCase{MB_YESNO, 0},
                                           EscapeCase{MB_ABORTRETRYIGNORE, 0}, EscapeCase{XMB_CONTINUE_ABORT, 0},
                                           EscapeCase{12, 0}));

// What another program reads from the clipboard, asked while the test keeps
// handling the requests the clipboard's owner must answer.
std::string ClipboardTextOfAnotherProgram() {
    auto reading = std::async(std::launch::async, [] {
        std::string text;
        if (FILE* pipe = ::popen("timeout 10 xclip -o -selection clipboard 2>/dev/null", "r")) {
            char buffer[512];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    });
    WaitFor([&] { return reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000);
    return reading.get();
}

TEST_F(XMessageBoxTest, CtrlCCopiesTheBoxAsText) {
    const std::string n = "\n";  // the desktop's line end
    const std::string dashes = "---------------------------" + n;
    std::string seenByAnotherProgram;
    EXPECT_EQ(RunShown("Go?", "Q", MB_YESNO, nullptr,
                  [&](XMessageBoxDialog& box) {
                      wxTheClipboard->Open();
                      wxTheClipboard->Clear();
                      wxTheClipboard->Close();
                      wxUIActionSimulator().Char('c', wxMOD_CONTROL);
                      EXPECT_TRUE(WaitFor([] { return !ClipboardText().empty(); }));
                      seenByAnotherProgram = ClipboardTextOfAnotherProgram();
                      Press(box, IDYES);
                  }),
              IDYES);
    const std::string expected = dashes + "Q" + n + dashes + "Go?" + n + dashes + "Yes   No   " + n + dashes;
    EXPECT_EQ(ClipboardText(), expected);
    EXPECT_EQ(seenByAnotherProgram, expected);

    XMessageBoxParams p;
    p.report = [](const std::string&, std::uint32_t) {};
    Inspect("Line one\nline two", "Many", MB_ABORTRETRYIGNORE | MB_HELP | XMB_ASKAGAIN_BOX, &p, [&](XMessageBoxDialog& box) {
        EXPECT_EQ(box.CopyText(), dashes + "Many" + n + dashes + "Line one\nline two" + n + dashes +
                                      "Abort   Retry   Ignore   Help   Report   Don't ask me again   " + n + dashes);
        return IDABORT;
    });
}

TEST_F(XMessageBoxTest, TimeoutCountsDownOnTheDefaultButtonThenAnswers) {
    ManualClock clock;
    std::vector<std::string> seen;
    XMessageBoxParams p;
    p.timeoutSeconds = 3;
    const int result = RunShown("Soon", "Timer", MB_OK, &p, [&](XMessageBoxDialog& box) {
        for (int i = 0; i < 3; ++i) {
            clock.Tick();
            seen.push_back(LabelOf(box, IDOK));
        }
        EXPECT_FALSE(box.IsDone());
        clock.Tick();
        EXPECT_TRUE(box.IsDone());
        EXPECT_EQ(LabelOf(box, IDOK), "OK");
    });
    EXPECT_EQ(static_cast<unsigned>(result), IDOK | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(seen, (std::vector<std::string>{"OK = 3", "OK = 2", "OK = 1"}));
    EXPECT_EQ(clock.Running(), 0);

    p.timeoutSeconds = 5000;  // 1000 or more is 10
    EXPECT_EQ(RunShown("Soon", "Timer", MB_YESNO | MB_DEFBUTTON2, &p,
                  [&](XMessageBoxDialog& box) {
                      clock.Tick();
                      EXPECT_EQ(LabelOf(box, IDNO), "&No = 10");
                      Press(box, IDYES);
                  }),
              IDYES);
}

// The countdown has stopped: the default button shows its plain caption and
// the box outlasts its time-out; then No answers it.
void ExpectCountdownStoppedThenAnswerNo(XMessageBoxDialog& box, ManualClock& clock) {
    EXPECT_TRUE(WaitFor([&box] { return !box.CountingDown(); }));
    EXPECT_EQ(LabelOf(box, IDYES), "&Yes");
    for (int i = 0; i < 8; ++i) clock.Tick();
    EXPECT_FALSE(box.IsDone());
    Press(box, IDNO);
}

TEST_F(XMessageBoxTest, AClickInTheBoxStopsTheCountdown) {
    ManualClock clock;
    XMessageBoxParams p;
    p.timeoutSeconds = 5;
    // A click on the bare box and one on the message text.
    for (bool onMessage : {false, true}) {
        EXPECT_EQ(RunShown("Click me", "Timer", MB_YESNO, &p,
                      [&](XMessageBoxDialog& box) {
                          clock.Tick();
                          EXPECT_EQ(LabelOf(box, IDYES), "&Yes = 5");
                          const wxWindow* message = box.FindWindow(kMessageControlId);
                          Click(onMessage ? message->ClientToScreen(wxPoint(3, 3))
                                          : box.ClientToScreen(wxPoint(4, box.GetClientSize().y - 4)));
                          ExpectCountdownStoppedThenAnswerNo(box, clock);
                      }),
                  IDNO);
    }
}

// Remembered answers go with Pagewright's other settings into the user's
// configuration folder, never into a dot file in the home folder.
TEST(XMessageBoxAnswerStore, LivesInTheUsersConfigurationFolder) {
    wxLogStderr toStderr;  // a failed write is reported, never shown in a window
    wxLog* previousLog = wxLog::SetActiveTarget(&toStderr);
    const std::string root = wxFileName::CreateTempFileName("xdg").utf8_string();
    std::remove(root.c_str());
    ASSERT_TRUE(wxFileName::Mkdir(wxString::FromUTF8(root + "/home"), 0700, wxPATH_MKDIR_FULL));
    const wxString oldHome = wxGetenv("HOME"), oldConfig = wxGetenv("XDG_CONFIG_HOME");
    wxSetEnv("HOME", wxString::FromUTF8(root + "/home"));
    wxSetEnv("XDG_CONFIG_HOME", wxString::FromUTF8(root + "/config"));  // not made yet
    const std::string app = wxTheApp->GetAppName().utf8_string();
    UseDesktopConfigurationFile(app);
    WriteXmbAnswer("", "key", 3, 7);
    EXPECT_EQ(ReadXmbAnswer("", "key", 3), 7u);
    delete wxConfigBase::Set(nullptr);  // written out
    wxSetEnv("HOME", oldHome);
    oldConfig.empty() ? wxUnsetEnv("XDG_CONFIG_HOME") : wxSetEnv("XDG_CONFIG_HOME", oldConfig);
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_Classic);
    wxLog::SetActiveTarget(previousLog);

    const std::string file = root + "/config/pagewright/" + app + ".conf";
    wxFileConfig stored(wxString(), wxString(), wxString::FromUTF8(file), wxString(), wxCONFIG_USE_LOCAL_FILE);
    EXPECT_EQ(stored.GetNumberOfEntries(true), 1u) << file;
    wxDir home(wxString::FromUTF8(root + "/home"));
    EXPECT_FALSE(home.HasFiles() || home.HasSubDirs()) << "something was written into the home folder";
    wxFileName::Rmdir(wxString::FromUTF8(root), wxPATH_RMDIR_RECURSIVE);
}

// The frame belongs to the window manager: a drag of the title bar reaches
// the box as a move, which stops the countdown as a click inside does.
TEST_F(XMessageBoxTest, DraggingTheTitleBarStopsTheCountdown) {
    if (!std::getenv("PAGEWRIGHT_TEST_WM"))
        GTEST_SKIP() << "needs a window manager";
    ManualClock clock;
    XMessageBoxParams p;
    p.timeoutSeconds = 5;
    EXPECT_EQ(RunShown("Drag me", "Timer", MB_YESNO, &p,
                  [&](XMessageBoxDialog& box) {
                      WaitFor([] { return false; }, 500);  // placed and framed
                      clock.Tick();
                      ASSERT_TRUE(box.CountingDown());
                      // The title bar lies above the client area, inside the frame.
                      const wxPoint title = box.ClientToScreen(wxPoint(box.GetClientSize().x / 2, -8));
                      const wxPoint before = box.GetScreenPosition();
                      wxUIActionSimulator sim;
                      sim.MouseMove(title);
                      sim.MouseDown();
                      sim.MouseMove(title + wxPoint(40, 30));
                      sim.MouseMove(title + wxPoint(80, 60));
                      sim.MouseMove(title + wxPoint(120, 90));
                      sim.MouseUp();
                      EXPECT_TRUE(WaitFor([&] { return box.GetScreenPosition() != before; }, 5000));
                      ExpectCountdownStoppedThenAnswerNo(box, clock);
                  }),
              IDNO);
}

TEST_F(XMessageBoxTest, DisabledSecondsCountInTheTitle) {
    ManualClock clock;
    std::vector<std::string> titles;
    XMessageBoxParams p;
    p.disabledSeconds = 2;
    auto enabled = [](const wxWindow& box, int id) { return box.FindWindow(id)->IsEnabled(); };
    EXPECT_EQ(RunShown("Wait", "T", MB_OKCANCEL | MB_HELP, &p,
                  [&](XMessageBoxDialog& box) {
                      EXPECT_FALSE(enabled(box, IDOK));
                      EXPECT_FALSE(enabled(box, IDCANCEL));
                      EXPECT_TRUE(enabled(box, kHelpButtonId));
                      TypeAndSettle(box, WXK_ESCAPE);
                      box.Close();
                      EXPECT_FALSE(box.IsDone()) << "no way out while the buttons are disabled";
                      titles.push_back(box.GetTitle().utf8_string());
                      for (int i = 0; i < 3; ++i) {
                          clock.Tick();
                          titles.push_back(box.GetTitle().utf8_string());
                      }
                      EXPECT_TRUE(enabled(box, IDOK));
                      EXPECT_TRUE(enabled(box, IDCANCEL));
                      TypeAndSettle(box, WXK_ESCAPE);
                  }),
              IDCANCEL);
    EXPECT_EQ(titles, (std::vector<std::string>{"T", "T 2", "T 1", "T"}));

    p.disabledSeconds = 1000;  // 1000 or more is 10
    RunShown("Wait", "T", MB_OK, &p, [&](XMessageBoxDialog& box) {
        clock.Tick();
        EXPECT_EQ(box.GetTitle(), "T 10");
        for (int i = 0; i < 10; ++i) clock.Tick();
        EXPECT_EQ(box.GetTitle(), "T");
        Press(box, IDOK);
    });
}

class XMessageBoxAnswerTest : public XMessageBoxTestBase {
protected:
    static XMessageBoxParams Keyed(const std::string& key, int number) {
        XMessageBoxParams p;
        p.key = key;
        p.keyNumber = number;
        return p;
    }
};

TEST_F(XMessageBoxAnswerTest, TickedAnswerIsReturnedAtOnceNextTime) {
    const XMessageBoxParams p = Keyed("Overwrite", 3);
    const unsigned style = MB_YESNO | XMB_ASKAGAIN_BOX;
    EXPECT_EQ(static_cast<unsigned>(Inspect("Overwrite?", "Q", style, &p,
                                            [](XMessageBoxDialog& box) {
                                                TickCheckBox(box);
                                                box.Command(IDYES);
                                                return box.Result();
                                            })),
              IDYES | XMB_ASKAGAIN_BOX);

    CountingHook hook(IDNO);
    EXPECT_EQ(static_cast<unsigned>(XMessageBox(nullptr, "Overwrite?", "Q", style | XMB_SILENT, &p)),
              IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(hook.Count(), 0) << "a remembered answer shows nothing";
    // Another number, or a box without the check box, asks again.
    const XMessageBoxParams other = Keyed("Overwrite", 4);
    EXPECT_EQ(XMessageBox(nullptr, "Overwrite?", "Q", style | XMB_SILENT, &other), IDNO);
    EXPECT_EQ(XMessageBox(nullptr, "Overwrite?", "Q", MB_YESNO | XMB_SILENT, &p), IDNO);
    EXPECT_EQ(hook.Count(), 2);
}

TEST_F(XMessageBoxAnswerTest, UntickedCancelledOrUnkeyedAnswersAreNotKept) {
    const XMessageBoxParams p = Keyed("Delete", 1);
    const unsigned style = MB_YESNOCANCEL | XMB_SHOWAGAIN_BOX;
    Inspect("Delete?", "Q", style, &p, [](XMessageBoxDialog& box) {
        box.Command(IDNO);
        return box.Result();
    });
    Inspect("Delete?", "Q", style, &p, [](XMessageBoxDialog& box) {
        TickCheckBox(box);
        box.Command(IDCANCEL);
        EXPECT_EQ(box.Result(), IDCANCEL);
        return box.Result();
    });
    const XMessageBoxParams unkeyed;
    EXPECT_EQ(static_cast<unsigned>(Inspect("Delete?", "Q", style, &unkeyed,
                                            [](XMessageBoxDialog& box) {
                                                TickCheckBox(box);
                                                box.Command(IDYES);
                                                return box.Result();
                                            })),
              IDYES | XMB_SHOWAGAIN_BOX);
    EXPECT_EQ(StoredEntries(), 0u);

    // A stored value without a check-box bit does not answer.
    WriteXmbAnswer("", "Odd", 2, IDYES);
    CountingHook hook(IDNO);
    const XMessageBoxParams odd = Keyed("Odd", 2);
    EXPECT_EQ(XMessageBox(nullptr, "?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &odd), IDNO);
    EXPECT_EQ(hook.Count(), 1);
}

TEST_F(XMessageBoxAnswerTest, TimedOutTickedAnswerIsKeptWithItsTimeoutBit) {
    ManualClock clock;
    XMessageBoxParams p = Keyed("Later", 9);
    p.timeoutSeconds = 1;
    const unsigned expected = IDNO | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT;
    EXPECT_EQ(static_cast<unsigned>(RunShown("Later?", "Q", MB_YESNO | MB_DEFBUTTON2 | XMB_TELLAGAIN_BOX, &p,
                                        [&](XMessageBoxDialog& box) {
                                            TickCheckBox(box);
                                            clock.Tick();
                                            EXPECT_EQ(LabelOf(box, IDNO), "&No = 1");
                                            clock.Tick();
                                        })),
              expected);
    EXPECT_EQ(ReadXmbAnswer("", "Later", 9), expected);
}

TEST_F(XMessageBoxTest, HelpAndReportKeepTheBoxOpen) {
    std::vector<std::uint32_t> helpContexts;
    SetXMessageBoxHelpHandler([&](wxWindow* box, std::uint32_t context) {
        EXPECT_NE(box, nullptr);
        helpContexts.push_back(context);
    });
    std::vector<std::pair<std::string, std::uint32_t>> reports;
    XMessageBoxParams p;
    p.helpContext = 77;
    p.reportData = 0xBEEF;
    p.report = [&](const std::string& text, std::uint32_t data) { reports.emplace_back(text, data); };
    EXPECT_EQ(RunShown("Disk full", "Save", MB_RETRYCANCEL | MB_HELP, &p,
                  [](XMessageBoxDialog& box) {
                      Press(box, kHelpButtonId);
                      Press(box, kReportButtonId);
                      Press(box, kReportButtonId);
                      EXPECT_TRUE(box.IsModal());
                      Press(box, IDRETRY);
                  }),
              IDRETRY);
    SetXMessageBoxHelpHandler({});
    EXPECT_EQ(helpContexts, std::vector<std::uint32_t>{77});
    EXPECT_EQ(reports, (std::vector<std::pair<std::string, std::uint32_t>>{{"Disk full", 0xBEEF}, {"Disk full", 0xBEEF}}));
}

wxColour ScreenPixel(const wxPoint& at) {
    wxScreenDC screen;
    wxBitmap shot(1, 1);
    wxMemoryDC mem(shot);
    mem.Blit(0, 0, 1, 1, &screen, at.x, at.y);
    wxColour c;
    mem.GetPixel(0, 0, &c);
    return c;
}

TEST_F(XMessageBoxTest, ColoursPaintTheUpperPartAndTheMessage) {
    XMessageBoxParams p;
    p.backgroundColour = wxColour(200, 40, 40);
    p.textColour = wxColour(0, 0, 160);
    wxColour upper, lower;
    RunShown("Coloured", "Paint", MB_OK, &p, [&](XMessageBoxDialog& box) {
        EXPECT_EQ(box.FindWindow(kMessageControlId)->GetForegroundColour(), p.textColour);
        const wxRect message = box.FindWindow(kMessageControlId)->GetRect();
        const wxPoint upperPoint = box.ClientToScreen(wxPoint(2, message.GetBottom() - 2));
        WaitFor([&] { return ScreenPixel(upperPoint) == p.backgroundColour; });  // the server paints in its time
        upper = ScreenPixel(upperPoint);
        lower = ScreenPixel(box.ClientToScreen(wxPoint(2, box.GetClientSize().y - 2)));
        Press(box, IDOK);
    });
    EXPECT_EQ(upper, p.backgroundColour);
    EXPECT_EQ(lower, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
}

TEST_F(XMessageBoxTest, ExplicitPositionOrCentredOnTheOwnerWhichTakesNoInput) {
    XMessageBoxParams p;
    p.x = 123;
    p.y = 77;
    wxPoint at;
    RunShown("Here", "Pos", MB_OK, &p, [&](XMessageBoxDialog& box) {
        at = box.GetScreenPosition();
        Press(box, IDOK);
    });
    EXPECT_EQ(at, wxPoint(123, 77));

    auto* owner = new wxFrame(nullptr, wxID_ANY, "Owner", wxPoint(100, 120), wxSize(600, 400));
    auto* ownerButton = new wxButton(new wxPanel(owner), wxID_ANY, "Owner's button", wxPoint(10, 10), wxSize(200, 40));
    int ownerClicks = 0;
    ownerButton->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++ownerClicks; });
    owner->Show();
    WaitUntilPlaced(owner);
    const wxPoint onOwnerButton = ownerButton->GetScreenPosition() + wxPoint(20, 20);
    wxRect box;
    RunShown("Centred", "Pos", MB_OK, nullptr,
        [&](XMessageBoxDialog& b) {
            box = b.GetRect();
            EXPECT_EQ(b.GetParent(), owner);
            Click(onOwnerButton);
            TypeAndSettle(b, WXK_SHIFT);
            Press(b, IDOK);
        },
        owner);
    // Centred to within the few pixels of the frame a window manager adds
    // once the box is up (its size when placed did not have them).
    const wxRect o = owner->GetRect();
    EXPECT_NEAR(box.x, (o.x + o.x + o.width) / 2 - box.width / 2, 4);
    EXPECT_NEAR(box.y, (o.y + o.y + o.height) / 2 - box.height / 2, 4);
    EXPECT_FALSE(box.Contains(onOwnerButton));
    EXPECT_EQ(ownerClicks, 0) << "the owner takes no input while the box is up";
    Click(onOwnerButton + wxPoint(1, 1));
    EXPECT_TRUE(WaitFor([&] { return ownerClicks == 1; })) << "the owner takes input again afterwards";
    owner->Destroy();
}

TEST_F(XMessageBoxTest, NullOwnerMeansTheActiveWindow) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Active", wxPoint(50, 50), wxSize(300, 200));
    frame->Show();
    frame->Raise();
    frame->SetFocus();
    if (!WaitFor([frame] { return wxGetActiveWindow() == frame; })) {
        frame->Destroy();
        GTEST_SKIP() << "this display gives no window the focus";
    }
    Inspect("Whose?", "Owner", MB_OK, nullptr, [frame](XMessageBoxDialog& box) {
        EXPECT_EQ(box.GetParent(), frame);
        return IDOK;
    });
    frame->Destroy();
    Pump();
    Inspect("Whose?", "Owner", MB_OK, nullptr, [](XMessageBoxDialog& box) {
        EXPECT_EQ(box.GetParent(), nullptr);
        return IDOK;
    });
}

TEST_F(XMessageBoxTest, LongMessagesWrapWithinTheLimitAndStayOnTheScreen) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "word" + std::to_string(i) + " ";
    text += "/a/path/without/any/blank/" + std::string(300, 'p') + "/file.tif";
    const int screen = wxDisplay(0u).GetGeometry().GetWidth();
    Inspect(text.c_str(), "Wrap", MB_YESNO | MB_ICONQUESTION, nullptr, [&](XMessageBoxDialog& box) {
        ExpectSoundGeometry(box);
        EXPECT_GT(box.MessageLines().size(), 2u);
        const int limit = MessageWidthLimit(screen, XMB_OPT_MODERN, true, box.Layout().icon.width() - 2);
        for (const auto& line : box.MessageLines()) EXPECT_LE(box.GetTextExtent(wxString::FromUTF8(line)).x, limit);
        EXPECT_EQ(box.Layout().message.top, box.Layout().icon.top);  // two lines or more start level with the icon
        return IDNO;
    });
    const std::string huge(70000, 'x');
    Inspect(huge.c_str(), "Huge", MB_OK, nullptr, [&](XMessageBoxDialog& box) {
        std::size_t shown = 0;
        for (const auto& line : box.MessageLines()) shown += line.size();
        EXPECT_EQ(shown, 65535u);
        EXPECT_LT(box.GetSize().x, screen);
        return IDOK;
    });
}

TEST_F(XMessageBoxTest, EndsWhenTheMainLoopIsAskedToExit) {
    int result = 0;
    ModalScript hook([](XMessageBoxDialog& box) {
        wxTheApp->GetMainLoop()->ScheduleExit(0);
        EXPECT_TRUE(WaitFor([&box] { return box.IsDone(); }));
    });
    wxTheApp->CallAfter([&] { result = XMessageBox(nullptr, "Quit?", "Q", MB_YESNO | XMB_SILENT); });
    wxTheApp->MainLoop();  // ends once the box is gone
    EXPECT_EQ(hook.Shown(), 1);
    EXPECT_EQ(result, -1);
}

TEST_F(XMessageBoxTest, HandAndSystemModalGoToTheDesktopsMessageDialog) {
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Disk failure", nullptr, MB_YESNO | MB_DEFBUTTON2 | MB_ICONHAND | MB_SYSTEMMODAL),
                  Expect<wxMessageDialog>([](wxMessageDialog& d) {
                      EXPECT_EQ(d.GetMessage(), "Disk failure");
                      EXPECT_EQ(d.GetCaption(), "Error");
                      const long style = d.GetMessageDialogStyle();
                      EXPECT_TRUE((style & wxICON_ERROR) && (style & wxNO_DEFAULT) && (style & wxSTAY_ON_TOP));
                      return wxID_NO;
                  }));
    EXPECT_EQ(result, IDNO);
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Bad page", "Split", XMB_SKIP_SKIPALL_CANCEL | MB_ICONHAND | MB_SYSTEMMODAL),
                  Expect<wxMessageDialog>([](wxMessageDialog& d) {
                      wxString yes = d.GetYesLabel(), no = d.GetNoLabel();
                      for (wxString* s : {&yes, &no}) s->Replace("_", "");  // the toolkit's mnemonic mark
                      EXPECT_EQ(yes, "Skip");
                      EXPECT_EQ(no, "Skip All");
                      return wxID_NO;
                  }));
    EXPECT_EQ(result, IDSKIPALL);
}

TEST_F(XMessageBoxTest, TimerTickerTicksUntilStopped) {
    auto ticker = MakeTimerTicker();
    int ticks = 0;
    ticker->Start([&] { ++ticks; });
    EXPECT_TRUE(WaitFor([&] { return ticks >= 1; }));
    ticker->Stop();
    EXPECT_FALSE(ticker->IsRunning());
}

}  // namespace
}  // namespace pw
