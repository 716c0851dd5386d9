#include "tests/ui/XMessageBoxTestSupport.h"

#include "ui/XMessageBox.h"
#include "ui/XMessageBoxAnswers.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/settings.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

namespace pw {
namespace {

using test::ButtonsOf;
using test::ClipboardText;
using test::ManualClock;
using test::ModalScript;
using test::WaitUntil;
using Buttons = std::vector<std::pair<int, std::string>>;

// An expectation for wxTEST_DIALOG that hands the box to a function; its
// result is what ShowModal returns.
class ExpectBox : public wxExpectModalBase<XMessageBoxDialog, ExpectBox> {
public:
    explicit ExpectBox(std::function<int(XMessageBoxDialog&)> onBox) : onBox_(std::move(onBox)) {}

protected:
    int OnInvoked(XMessageBoxDialog* box) const override { return onBox_(*box); }

private:
    std::function<int(XMessageBoxDialog&)> onBox_;
};

wxButton* ButtonOf(const wxWindow& box, int id) { return wxDynamicCast(box.FindWindow(id), wxButton); }

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

// Sends a key through the display server, then Ctrl+C, and waits until the
// copy has arrived: every key before it has been handled by then.
void TypeAndSettle(XMessageBoxDialog& box, int key) {
    wxTheClipboard->Open();
    wxTheClipboard->SetData(new wxTextDataObject("before"));
    wxTheClipboard->Close();
    wxUIActionSimulator sim;
    sim.Char(key);
    if (box.IsDone()) return;
    sim.Char('c', wxMOD_CONTROL);
    EXPECT_TRUE(WaitUntil([&box] { return box.IsDone() || ClipboardText() != "before"; }));
}

// Geometry that every box must satisfy whatever its contents.
void ExpectSoundGeometry(const XMessageBoxDialog& box) {
    const wxSize client = box.GetClientSize();
    std::vector<wxRect> buttons;
    for (const wxWindow* child : box.GetChildren()) {
        const wxRect r = child->GetRect();
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.GetRight(), client.x) << child->GetLabel();
        EXPECT_LE(r.GetBottom(), client.y) << child->GetLabel();
        if (wxDynamicCast(child, wxButton)) buttons.push_back(r);
    }
    ASSERT_FALSE(buttons.empty());
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].y, buttons[0].y);
        EXPECT_NEAR(buttons[i].x - buttons[i - 1].GetRight() - 1, 6, 1);
    }
    const auto* message = wxDynamicCast(box.FindWindow(kMessageControlId), wxStaticText);
    ASSERT_NE(message, nullptr);
    EXPECT_LT(message->GetRect().GetBottom(), buttons[0].y);
    for (const auto& line : box.MessageLines())
        EXPECT_LE(box.GetTextExtent(wxString::FromUTF8(line)).x, message->GetSize().x) << line;
}

struct SetCase {
    unsigned style;
    Buttons expected;
};

class XMessageBoxSetTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(XMessageBoxSetTest, BoxHasTheSetsButtonsAndReturnsTheAnswer) {
    const SetCase& c = GetParam();
    const int answer = c.expected.back().first;
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Pick one.", "Choice", c.style | XMB_SILENT), ExpectBox([&](XMessageBoxDialog& box) {
                      EXPECT_EQ(ButtonsOf(box), c.expected);
                      ExpectSoundGeometry(box);
                      return answer;
                  }));
    EXPECT_EQ(result, answer);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, XMessageBoxSetTest,
    ::testing::Values(SetCase{MB_OK, {{1, "OK"}}},
                      SetCase{MB_ABORTRETRYIGNORE, {{3, "&Abort"}, {4, "&Retry"}, {5, "&Ignore"}}},
                      SetCase{MB_YESNOCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL,
                              {{6, "&Yes"}, {19, "Y&es to All"}, {7, "&No"}, {20, "N&o to All"}, {2, "Cancel"}}},
                      SetCase{MB_CANCELTRYCONTINUE, {{2, "Cancel"}, {10, "&Try Again"}, {11, "&Continue"}}},
                      SetCase{XMB_CONTINUE_ABORT, {{11, "&Continue"}, {3, "&Abort"}}},
                      SetCase{XMB_SKIP_SKIPALL_CANCEL, {{14, "&Skip"}, {15, "S&kip All"}, {2, "Cancel"}}},
                      SetCase{XMB_IGNORE_IGNOREALL_CANCEL | MB_HELP | MB_ICONWARNING,
                              {{5, "&Ignore"}, {16, "I&gnore All"}, {2, "Cancel"}, {300, "&Help"}}},
                      SetCase{MB_YESNO | XMB_TELLAGAIN_BOX, {{6, "&Yes"}, {7, "&No"}, {5555, "Don't tell me again"}}}));

TEST(XMessageBoxTest, CustomButtonsTakeTheFirstFourCaptions) {
    XMessageBoxParams p;
    p.customButtons = "Keep both\nReplace\nSkip\nRename\nAsk later";
    p.report = [](const std::string&, std::uint32_t) {};
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Exists.", "Copy", MB_YESNO | MB_HELP | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      EXPECT_EQ(ButtonsOf(box), (Buttons{{23, "Keep both"}, {24, "Replace"}, {25, "Skip"},
                                                         {26, "Rename"}, {300, "&Help"}, {301, "Re&port"}}));
                      EXPECT_EQ(box.EscapeAnswer(), std::nullopt);
                      box.Command(IDCANCEL);  // what Escape and the close box send
                      EXPECT_FALSE(box.IsDone());
                      box.Command(25);
                      EXPECT_TRUE(box.IsDone());
                      return box.Result();
                  }));
    EXPECT_EQ(result, 25);
}

TEST(XMessageBoxTest, CustomCaptionsAndStringLookups) {
    XMessageBoxParams p;
    p.strings = [](unsigned n) -> std::optional<std::string> {
        if (n == 700) return std::string("Text from the table");
        if (n == 701) return std::string("Caption from the table");
        if (n == 702) return std::string("From table 1\nFrom table 2");
        if (n == 9008) return std::string("&Nope");
        return std::nullopt;
    };
    p.customButtonsNumber = 702;
    p.customButtons = "Ignored";
    int calls = 0;
    wxTEST_DIALOG(XMessageBox(nullptr, XmbStringNumber(700), XmbStringNumber(701), MB_OK | XMB_SILENT, &p),
                  ExpectBox([&](XMessageBoxDialog& box) {
                      ++calls;
                      EXPECT_EQ(box.GetTitle(), "Caption from the table");
                      EXPECT_EQ(LabelOf(box, kMessageControlId), "Text from the table");
                      EXPECT_EQ(ButtonsOf(box), (Buttons{{23, "From table 1"}, {24, "From table 2"}}));
                      return 23;
                  }));
    p.customButtonsNumber = 0;
    p.customButtons.clear();
    wxTEST_DIALOG(XMessageBox(nullptr, XmbStringNumber(703), "c", MB_YESNO | XMB_SILENT, &p),
                  ExpectBox([&](XMessageBoxDialog& box) {
                      ++calls;
                      EXPECT_EQ(LabelOf(box, kMessageControlId), "");  // a number that does not load
                      EXPECT_EQ(ButtonsOf(box), (Buttons{{6, "&Yes"}, {7, "&Nope"}}));
                      return 6;
                  }));
    p.useCustomCaptions = true;
    p.captions[kCapYes] = "&Sure";
    wxTEST_DIALOG(XMessageBox(nullptr, "t", "c", MB_YESNO | XMB_SILENT, &p), ExpectBox([&](XMessageBoxDialog& box) {
                      ++calls;
                      EXPECT_EQ(ButtonsOf(box), (Buttons{{6, "&Sure"}, {7, "&No"}}));
                      return 6;
                  }));
    EXPECT_EQ(calls, 3);
}

TEST(XMessageBoxTest, NullTextAndCaption) {
    wxTEST_DIALOG(XMessageBox(nullptr, nullptr, nullptr, MB_OK | XMB_SILENT), ExpectBox([](XMessageBoxDialog& box) {
                      EXPECT_EQ(box.GetTitle(), "Error");
                      EXPECT_EQ(LabelOf(box, kMessageControlId), "");
                      return IDOK;
                  }));
}

struct DefaultCase {
    unsigned style;
    int expected;
};

class XMessageBoxDefaultTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(XMessageBoxDefaultTest, DefaultButtonFromTheStyle) {
    const DefaultCase& c = GetParam();
    XMessageBoxParams p;
    p.report = [](const std::string&, std::uint32_t) {};
    wxTEST_DIALOG(XMessageBox(nullptr, "t", "c", c.style | XMB_SILENT, &p), ExpectBox([&](XMessageBoxDialog& box) {
                      EXPECT_EQ(box.DefaultButtonId(), c.expected);
                      EXPECT_EQ(box.GetDefaultItem(), box.FindWindow(c.expected));
                      return IDOK;
                  }));
}

INSTANTIATE_TEST_SUITE_P(Styles, XMessageBoxDefaultTest,
                         ::testing::Values(DefaultCase{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
                                           DefaultCase{MB_YESNO | MB_DEFBUTTON2, IDNO},
                                           DefaultCase{MB_YESNO | MB_HELP | MB_DEFBUTTON3, kHelpButtonId},
                                           DefaultCase{MB_YESNO | MB_HELP | MB_DEFBUTTON4, kReportButtonId},
                                           DefaultCase{MB_YESNO | MB_HELP | MB_DEFBUTTON5, IDYES},
                                           DefaultCase{MB_OKCANCEL | 0x600, IDOK}));

struct EscapeCase {
    unsigned style;
    int answer;  // 0: Escape and the close box leave the box up
};

class XMessageBoxEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(XMessageBoxEscapeTest, EscapeKey) {
    const EscapeCase& c = GetParam();
    ModalScript script([&](XMessageBoxDialog& box) {
        TypeAndSettle(box, WXK_ESCAPE);
        if (c.answer == 0) {
            EXPECT_FALSE(box.IsDone());
            box.Command(IDNO);
        }
    });
    const int result = XMessageBox(nullptr, "Escape?", "Keys", c.style | XMB_SILENT);
    EXPECT_EQ(script.Shown(), 1);
    EXPECT_EQ(result, c.answer ? c.answer : IDNO);
}

TEST_P(XMessageBoxEscapeTest, CloseBox) {
    const EscapeCase& c = GetParam();
    ModalScript script([&](XMessageBoxDialog& box) {
        box.Close();
        if (c.answer == 0) {
            EXPECT_TRUE(box.IsModal());
            box.Command(IDNO);
        }
    });
    EXPECT_EQ(XMessageBox(nullptr, "Close?", "Keys", c.style | XMB_SILENT), c.answer ? c.answer : IDNO);
}

INSTANTIATE_TEST_SUITE_P(Sets, XMessageBoxEscapeTest,
                         ::testing::Values(EscapeCase{MB_OK, IDOK}, EscapeCase{MB_OKCANCEL, IDCANCEL},
                                           EscapeCase{MB_YESNOCANCEL, IDCANCEL}, EscapeCase{MB_RETRYCANCEL, IDCANCEL},
                                           EscapeCase{XMB_SKIP_SKIPALL_CANCEL, IDCANCEL},
                                           EscapeCase{MB_YESNO, 0}, EscapeCase{MB_ABORTRETRYIGNORE, 0},
                                           EscapeCase{XMB_CONTINUE_ABORT, 0}, EscapeCase{12, 0}));

TEST(XMessageBoxTest, CustomButtonsIgnoreEscape) {
    XMessageBoxParams p;
    p.customButtons = "One\nTwo";
    ModalScript script([](XMessageBoxDialog& box) {
        TypeAndSettle(box, WXK_ESCAPE);
        box.Close();
        EXPECT_TRUE(box.IsModal());
        Press(box, 24);
    });
    EXPECT_EQ(XMessageBox(nullptr, "Custom", "Keys", MB_OKCANCEL | XMB_SILENT, &p), 24);
}

TEST(XMessageBoxTest, CtrlCCopiesTheBoxAsText) {
    ModalScript script([](XMessageBoxDialog& box) {
        wxTheClipboard->Open();
        wxTheClipboard->Clear();
        wxTheClipboard->Close();
        wxUIActionSimulator sim;
        sim.Char('c', wxMOD_CONTROL);
        EXPECT_TRUE(WaitUntil([] { return !ClipboardText().empty(); }));
        EXPECT_FALSE(box.IsDone());
        Press(box, IDYES);
    });
    EXPECT_EQ(XMessageBox(nullptr, "Go?", "Q", MB_YESNO | XMB_SILENT), IDYES);
    EXPECT_EQ(ClipboardText(),
              "---------------------------\r\n"
              "Q\r\n"
              "---------------------------\r\n"
              "Go?\r\n"
              "---------------------------\r\n"
              "Yes   No   \r\n"
              "---------------------------\r\n");
}

TEST(XMessageBoxTest, CopyTextHasEveryControlInWindowOrder) {
    XMessageBoxParams p;
    p.report = [](const std::string&, std::uint32_t) {};
    wxTEST_DIALOG(XMessageBox(nullptr, "Line one\nline two", "Many", MB_ABORTRETRYIGNORE | MB_HELP | XMB_ASKAGAIN_BOX | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      EXPECT_EQ(box.CopyText(),
                                "---------------------------\r\nMany\r\n---------------------------\r\n"
                                "Line one\nline two\r\n---------------------------\r\n"
                                "Abort   Retry   Ignore   Help   Report   Don't ask me again   \r\n"
                                "---------------------------\r\n");
                      return IDABORT;
                  }));
}

TEST(XMessageBoxTest, TimeoutCountsDownOnTheDefaultButtonThenAnswers) {
    ManualClock clock;
    std::vector<std::string> seen;
    ModalScript script([&](XMessageBoxDialog& box) {
        for (int i = 0; i < 3; ++i) {
            clock.Tick();
            seen.push_back(LabelOf(box, IDOK));
        }
        EXPECT_FALSE(box.IsDone());
        clock.Tick();
        EXPECT_TRUE(box.IsDone());
        EXPECT_EQ(LabelOf(box, IDOK), "OK");
    });
    XMessageBoxParams p;
    p.timeoutSeconds = 3;
    EXPECT_EQ(static_cast<unsigned>(XMessageBox(nullptr, "Soon", "Timer", MB_OK | XMB_SILENT, &p)),
              IDOK | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(seen, (std::vector<std::string>{"OK = 3", "OK = 2", "OK = 1"}));
    EXPECT_EQ(clock.Running(), 0);
}

TEST(XMessageBoxTest, TimeoutOf1000OrMoreIsTen) {
    ManualClock clock;
    std::string first;
    ModalScript script([&](XMessageBoxDialog& box) {
        clock.Tick();
        first = LabelOf(box, IDNO);
        Press(box, IDYES);
    });
    XMessageBoxParams p;
    p.timeoutSeconds = 5000;
    EXPECT_EQ(XMessageBox(nullptr, "Soon", "Timer", MB_YESNO | MB_DEFBUTTON2 | XMB_SILENT, &p), IDYES);
    EXPECT_EQ(first, "&No = 10");
}

TEST(XMessageBoxTest, AClickInTheBoxStopsTheCountdown) {
    ManualClock clock;
    ModalScript script([&](XMessageBoxDialog& box) {
        clock.Tick();
        EXPECT_EQ(LabelOf(box, IDOK), "OK = 5");
        wxUIActionSimulator sim;
        sim.MouseMove(box.ClientToScreen(wxPoint(4, box.GetClientSize().y - 4)));
        sim.MouseClick();
        EXPECT_TRUE(WaitUntil([&box] { return !box.CountingDown(); }));
        EXPECT_EQ(LabelOf(box, IDOK), "OK");
        for (int i = 0; i < 8; ++i) clock.Tick();
        EXPECT_FALSE(box.IsDone());
        Press(box, IDOK);
    });
    XMessageBoxParams p;
    p.timeoutSeconds = 5;
    EXPECT_EQ(XMessageBox(nullptr, "Click me", "Timer", MB_OK | XMB_SILENT, &p), IDOK);
}

TEST(XMessageBoxTest, AClickOnTheMessageStopsTheCountdownToo) {
    ManualClock clock;
    ModalScript script([&](XMessageBoxDialog& box) {
        clock.Tick();
        clock.Tick();
        EXPECT_EQ(LabelOf(box, IDYES), "&Yes = 4");
        wxWindow* message = box.FindWindow(kMessageControlId);
        wxUIActionSimulator sim;
        sim.MouseMove(message->ClientToScreen(wxPoint(3, 3)));
        sim.MouseClick();
        EXPECT_TRUE(WaitUntil([&box] { return !box.CountingDown(); }));
        EXPECT_EQ(LabelOf(box, IDYES), "&Yes");
        Press(box, IDNO);
    });
    XMessageBoxParams p;
    p.timeoutSeconds = 5;
    EXPECT_EQ(XMessageBox(nullptr, "Click me", "Timer", MB_YESNO | XMB_SILENT, &p), IDNO);
}

TEST(XMessageBoxTest, DisabledSecondsCountInTheTitle) {
    ManualClock clock;
    std::vector<std::string> titles;
    ModalScript script([&](XMessageBoxDialog& box) {
        EXPECT_FALSE(ButtonOf(box, IDOK)->IsEnabled());
        EXPECT_FALSE(ButtonOf(box, IDCANCEL)->IsEnabled());
        EXPECT_TRUE(ButtonOf(box, kHelpButtonId)->IsEnabled());
        TypeAndSettle(box, WXK_ESCAPE);
        box.Close();
        EXPECT_FALSE(box.IsDone()) << "the box cannot be dismissed while its buttons are disabled";
        titles.push_back(box.GetTitle().utf8_string());
        for (int i = 0; i < 3; ++i) {
            clock.Tick();
            titles.push_back(box.GetTitle().utf8_string());
        }
        EXPECT_TRUE(ButtonOf(box, IDOK)->IsEnabled());
        EXPECT_TRUE(ButtonOf(box, IDCANCEL)->IsEnabled());
        TypeAndSettle(box, WXK_ESCAPE);
        EXPECT_TRUE(box.IsDone());
    });
    XMessageBoxParams p;
    p.disabledSeconds = 2;
    EXPECT_EQ(XMessageBox(nullptr, "Wait", "T", MB_OKCANCEL | MB_HELP | XMB_SILENT, &p), IDCANCEL);
    EXPECT_EQ(titles, (std::vector<std::string>{"T", "T 2", "T 1", "T"}));
}

TEST(XMessageBoxTest, DisabledSecondsOf1000OrMoreAreTen) {
    ManualClock clock;
    ModalScript script([&](XMessageBoxDialog& box) {
        clock.Tick();
        EXPECT_EQ(box.GetTitle(), "T 10");
        for (int i = 0; i < 10; ++i) clock.Tick();
        EXPECT_EQ(box.GetTitle(), "T");
        Press(box, IDOK);
    });
    XMessageBoxParams p;
    p.disabledSeconds = 1000;
    EXPECT_EQ(XMessageBox(nullptr, "Wait", "T", MB_OK | XMB_SILENT, &p), IDOK);
}

class XMessageBoxAnswerTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetTestConfig(); }
    void TearDown() override { test::ResetTestConfig(); }

    static XMessageBoxParams Keyed(const std::string& key, int number) {
        XMessageBoxParams p;
        p.key = key;
        p.keyNumber = number;
        return p;
    }
};

TEST_F(XMessageBoxAnswerTest, TickedAnswerIsReturnedAtOnceNextTime) {
    const XMessageBoxParams p = Keyed("Overwrite", 3);
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Overwrite?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      auto* check = wxDynamicCast(box.FindWindow(kCheckBoxId), wxCheckBox);
                      EXPECT_NE(check, nullptr);
                      if (check) check->SetValue(true);
                      box.Command(IDYES);
                      return box.Result();
                  }));
    EXPECT_EQ(static_cast<unsigned>(result), IDYES | XMB_ASKAGAIN_BOX);

    test::CountingHook hook(IDNO);
    EXPECT_EQ(static_cast<unsigned>(XMessageBox(nullptr, "Overwrite?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &p)),
              IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(hook.Count(), 0) << "a remembered answer shows nothing";

    // Another number, or a box without the check box, asks again.
    const XMessageBoxParams other = Keyed("Overwrite", 4);
    EXPECT_EQ(XMessageBox(nullptr, "Overwrite?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &other), IDNO);
    EXPECT_EQ(XMessageBox(nullptr, "Overwrite?", "Q", MB_YESNO | XMB_SILENT, &p), IDNO);
    EXPECT_EQ(hook.Count(), 2);
}

TEST_F(XMessageBoxAnswerTest, UntickedOrCancelledAnswersAreNotKept) {
    const XMessageBoxParams p = Keyed("Delete", 1);
    wxTEST_DIALOG(XMessageBox(nullptr, "Delete?", "Q", MB_YESNOCANCEL | XMB_SHOWAGAIN_BOX | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      box.Command(IDNO);
                      return box.Result();
                  }));
    EXPECT_EQ(ReadXmbAnswer("", "Delete", 1), 0u);
    wxTEST_DIALOG(XMessageBox(nullptr, "Delete?", "Q", MB_YESNOCANCEL | XMB_SHOWAGAIN_BOX | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      wxDynamicCast(box.FindWindow(kCheckBoxId), wxCheckBox)->SetValue(true);
                      box.Command(IDCANCEL);
                      return box.Result();
                  }));
    EXPECT_EQ(ReadXmbAnswer("", "Delete", 1), 0u);
}

TEST_F(XMessageBoxAnswerTest, NoKeyNoMemory) {
    const XMessageBoxParams p;
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Delete?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &p),
                  ExpectBox([](XMessageBoxDialog& box) {
                      wxDynamicCast(box.FindWindow(kCheckBoxId), wxCheckBox)->SetValue(true);
                      box.Command(IDYES);
                      return box.Result();
                  }));
    EXPECT_EQ(static_cast<unsigned>(result), IDYES | XMB_ASKAGAIN_BOX);
    long entries = 0;
    wxConfigBase::Get()->SetPath("/");
    entries = static_cast<long>(wxConfigBase::Get()->GetNumberOfEntries(true));
    EXPECT_EQ(entries, 0);
}

TEST_F(XMessageBoxAnswerTest, StoredValueWithoutACheckBoxBitDoesNotAnswer) {
    WriteXmbAnswer("", "Odd", 2, IDYES);
    test::CountingHook hook(IDNO);
    const XMessageBoxParams p = Keyed("Odd", 2);
    EXPECT_EQ(XMessageBox(nullptr, "?", "Q", MB_YESNO | XMB_ASKAGAIN_BOX | XMB_SILENT, &p), IDNO);
    EXPECT_EQ(hook.Count(), 1);
}

TEST_F(XMessageBoxAnswerTest, TimedOutTickedAnswerIsKeptWithItsTimeoutBit) {
    ManualClock clock;
    const XMessageBoxParams base = Keyed("Later", 9);
    XMessageBoxParams p = base;
    p.timeoutSeconds = 1;
    ModalScript script([&](XMessageBoxDialog& box) {
        wxDynamicCast(box.FindWindow(kCheckBoxId), wxCheckBox)->SetValue(true);
        clock.Tick();
        EXPECT_EQ(LabelOf(box, IDNO), "&No = 1");
        clock.Tick();
    });
    const unsigned expected = IDNO | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT;
    EXPECT_EQ(static_cast<unsigned>(XMessageBox(nullptr, "Later?", "Q", MB_YESNO | MB_DEFBUTTON2 | XMB_TELLAGAIN_BOX | XMB_SILENT, &p)),
              expected);
    EXPECT_EQ(ReadXmbAnswer("", "Later", 9), expected);
}

TEST(XMessageBoxTest, HelpAndReportKeepTheBoxOpen) {
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
    ModalScript script([&](XMessageBoxDialog& box) {
        Press(box, kHelpButtonId);
        Press(box, kReportButtonId);
        Press(box, kReportButtonId);
        EXPECT_TRUE(box.IsModal());
        Press(box, IDRETRY);
    });
    EXPECT_EQ(XMessageBox(nullptr, "Disk full", "Save", MB_RETRYCANCEL | MB_HELP | XMB_SILENT, &p), IDRETRY);
    SetXMessageBoxHelpHandler({});
    EXPECT_EQ(helpContexts, std::vector<std::uint32_t>{77});
    EXPECT_EQ(reports, (std::vector<std::pair<std::string, std::uint32_t>>{{"Disk full", 0xBEEF}, {"Disk full", 0xBEEF}}));
}

TEST(XMessageBoxTest, ColoursPaintTheUpperPartAndTheMessage) {
    XMessageBoxParams p;
    p.backgroundColour = wxColour(200, 40, 40);
    p.textColour = wxColour(0, 0, 160);
    wxColour upper, lower;
    ModalScript script([&](XMessageBoxDialog& box) {
        EXPECT_EQ(box.FindWindow(kMessageControlId)->GetForegroundColour(), p.textColour);
        const wxRect message = box.FindWindow(kMessageControlId)->GetRect();
        const wxPoint upperPoint = box.ClientToScreen(wxPoint(2, message.GetBottom() - 2));
        const wxPoint lowerPoint = box.ClientToScreen(wxPoint(2, box.GetClientSize().y - 2));
        auto pixel = [](const wxPoint& at) {
            wxScreenDC screen;
            wxBitmap shot(1, 1);
            wxMemoryDC mem(shot);
            mem.Blit(0, 0, 1, 1, &screen, at.x, at.y);
            wxColour c;
            mem.GetPixel(0, 0, &c);
            return c;
        };
        // The server draws in its own time: wait (bounded) for the paint.
        WaitUntil([&] { return pixel(upperPoint) == p.backgroundColour; });
        upper = pixel(upperPoint);
        lower = pixel(lowerPoint);
        Press(box, IDOK);
    });
    EXPECT_EQ(XMessageBox(nullptr, "Coloured", "Paint", MB_OK | XMB_SILENT, &p), IDOK);
    EXPECT_EQ(upper, p.backgroundColour);
    EXPECT_EQ(lower, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
}

TEST(XMessageBoxTest, ExplicitPositionAndCentringOnTheOwner) {
    XMessageBoxParams p;
    p.x = 123;
    p.y = 77;
    wxPoint at;
    {
        ModalScript script([&](XMessageBoxDialog& box) {
            at = box.GetScreenPosition();
            Press(box, IDOK);
        });
        XMessageBox(nullptr, "Here", "Pos", MB_OK | XMB_SILENT, &p);
    }
    EXPECT_EQ(at, wxPoint(123, 77));

    auto* owner = new wxFrame(nullptr, wxID_ANY, "Owner", wxPoint(100, 120), wxSize(600, 400));
    auto* panel = new wxPanel(owner);
    auto* ownerButton = new wxButton(panel, wxID_ANY, "Owner's button", wxPoint(10, 10), wxSize(200, 40));
    int ownerClicks = 0;
    ownerButton->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++ownerClicks; });
    owner->Show();
    WaitUntil([owner] { return owner->IsShownOnScreen(); });
    auto clickOwnerButton = [ownerButton] {
        wxUIActionSimulator sim;
        sim.MouseMove(ownerButton->GetScreenRect().GetPosition() + wxPoint(-5, 60));
        test::Pump();
        sim.MouseMove(ownerButton->GetScreenRect().GetPosition() + wxPoint(20, 20));
        test::Pump();
        sim.MouseClick();
    };
    wxRect box;
    ModalScript centred([&](XMessageBoxDialog& b) {
        box = b.GetRect();
        EXPECT_EQ(b.GetParent(), owner);
        // The box hides no part of the owner's button; a click there must not reach it.
        clickOwnerButton();
        TypeAndSettle(b, WXK_SHIFT);
        Press(b, IDOK);
    });
    XMessageBox(owner, "Centred", "Pos", MB_OK | XMB_SILENT);
    const wxRect o = owner->GetRect();
    EXPECT_EQ(box.x, (o.x + o.x + o.width) / 2 - box.width / 2);
    EXPECT_EQ(box.y, (o.y + o.y + o.height) / 2 - box.height / 2);
    EXPECT_FALSE(box.Intersects(ownerButton->GetScreenRect()));
    EXPECT_EQ(ownerClicks, 0) << "the owner takes no input while the box is up";
    clickOwnerButton();
    EXPECT_TRUE(WaitUntil([&] { return ownerClicks == 1; })) << "the owner takes input again afterwards";
    owner->Destroy();
}

TEST(XMessageBoxTest, TopmostStyles) {
    for (const auto& [style, topmost] : std::vector<std::pair<unsigned, bool>>{
             {MB_OK, false}, {MB_OK | MB_TOPMOST, true}, {MB_OK | MB_SYSTEMMODAL | MB_ICONQUESTION, true}}) {
        wxTEST_DIALOG(XMessageBox(nullptr, "t", "c", style | XMB_SILENT), ExpectBox([&](XMessageBoxDialog& box) {
                          EXPECT_EQ(box.HasFlag(wxSTAY_ON_TOP), topmost) << std::hex << style;
                          return IDOK;
                      }));
    }
}

TEST(XMessageBoxTest, LongMessageWrapsWithinTheLimit) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "word" + std::to_string(i) + " ";
    text += "/a/path/without/any/blank/that/is/far/too/long/for/one/line/of/the/box/"
            "and/goes/on/and/on/and/on/and/on/and/on/and/on/and/on/and/on/and/on/and/on/file.tif";
    wxTEST_DIALOG(XMessageBox(nullptr, text.c_str(), "Wrap", MB_YESNO | MB_ICONQUESTION | XMB_SILENT),
                  ExpectBox([](XMessageBoxDialog& box) {
                      ExpectSoundGeometry(box);
                      EXPECT_GT(box.MessageLines().size(), 2u);
                      const int screen = wxDisplay(0u).GetGeometry().GetWidth();
                      const int limit = MessageWidthLimit(screen, XMB_OPT_MODERN, true, box.Layout().icon.width() - 2);
                      for (const auto& line : box.MessageLines())
                          EXPECT_LE(box.GetTextExtent(wxString::FromUTF8(line)).x, limit);
                      // Two lines or more in the modern layout: the text starts level with the icon.
                      EXPECT_EQ(box.Layout().message.top, box.Layout().icon.top);
                      EXPECT_LT(box.GetSize().x, screen);
                      return IDNO;
                  }));
}

TEST(XMessageBoxTest, CheckBoxSitsBelowTheButtonsAtTheLeft) {
    wxTEST_DIALOG(XMessageBox(nullptr, "Short", "c", MB_OK | XMB_SHOWAGAIN_BOX | XMB_SILENT), ExpectBox([](XMessageBoxDialog& box) {
                      ExpectSoundGeometry(box);
                      const wxRect check = box.FindWindow(kCheckBoxId)->GetRect();
                      const wxRect ok = box.FindWindow(IDOK)->GetRect();
                      EXPECT_NEAR(check.x, 17, 2);
                      EXPECT_GT(check.y, ok.GetBottom());
                      EXPECT_GE(box.GetClientSize().x, check.GetRight());
                      EXPECT_FALSE(wxDynamicCast(box.FindWindow(kCheckBoxId), wxCheckBox)->GetValue());
                      return IDOK;
                  }));
}

TEST(XMessageBoxTest, ModernLayoutAlignsButtonsRight) {
    wxTEST_DIALOG(XMessageBox(nullptr, "A message that is a good deal wider than its buttons.", "c", MB_OKCANCEL | XMB_SILENT),
                  ExpectBox([](XMessageBoxDialog& box) {
                      const wxRect cancel = box.FindWindow(IDCANCEL)->GetRect();
                      EXPECT_NEAR(box.GetClientSize().x - (cancel.GetRight() + 1), 16, 2);
                      return IDOK;
                  }));
}

TEST(XMessageBoxTest, EndsWhenTheMainLoopIsAskedToExit) {
    int result = 0;
    bool ended = false;
    ModalScript script([&](XMessageBoxDialog& box) {
        wxTheApp->GetMainLoop()->ScheduleExit(0);
        EXPECT_TRUE(WaitUntil([&box] { return box.IsDone(); }));
    });
    wxTheApp->CallAfter([&] {
        result = XMessageBox(nullptr, "Quit?", "Q", MB_YESNO | XMB_SILENT);
        ended = true;
    });
    wxTheApp->MainLoop();
    EXPECT_TRUE(ended);
    EXPECT_EQ(result, -1);
}

TEST(XMessageBoxTest, HandAndSystemModalGoToTheDesktopsMessageDialog) {
    class ExpectDesktop : public wxExpectModalBase<wxMessageDialog, ExpectDesktop> {
    public:
        explicit ExpectDesktop(std::function<int(wxMessageDialog&)> f) : f_(std::move(f)) {}

    protected:
        int OnInvoked(wxMessageDialog* d) const override { return f_(*d); }

    private:
        std::function<int(wxMessageDialog&)> f_;
    };
    int result = 0;
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Disk failure", nullptr, MB_YESNO | MB_DEFBUTTON2 | MB_ICONHAND | MB_SYSTEMMODAL),
                  ExpectDesktop([](wxMessageDialog& d) {
                      EXPECT_EQ(d.GetMessage(), "Disk failure");
                      EXPECT_EQ(d.GetCaption(), "Error");
                      const long style = d.GetMessageDialogStyle();
                      EXPECT_TRUE(style & wxICON_ERROR);
                      EXPECT_TRUE(style & wxNO_DEFAULT);
                      EXPECT_TRUE(style & wxSTAY_ON_TOP);
                      return wxID_NO;
                  }));
    EXPECT_EQ(result, IDNO);
    wxTEST_DIALOG(result = XMessageBox(nullptr, "Bad page", "Split", XMB_SKIP_SKIPALL_CANCEL | MB_ICONHAND | MB_SYSTEMMODAL),
                  ExpectDesktop([](wxMessageDialog& d) {
                      // The toolkit keeps the labels with its own mnemonic mark.
                      auto plain = [](wxString s) {
                          s.Replace("&", "");
                          s.Replace("_", "");
                          return s;
                      };
                      EXPECT_EQ(plain(d.GetYesLabel()), "Skip");
                      EXPECT_EQ(plain(d.GetNoLabel()), "Skip All");
                      return wxID_NO;
                  }));
    EXPECT_EQ(result, IDSKIPALL);
}

}  // namespace
}  // namespace pw
