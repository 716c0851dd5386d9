#pragma once
// Helpers for the message-box window tests: a fixture that turns toolkit
// assertions into failures and gives each test a fresh configuration, a
// clock the test advances by hand, and a script that runs while a box is up.

#include "tests/ui/WxTestEnvironment.h"
#include "ui/SecondTicker.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw::test {

// Message-box tests: wx assertions fail the test instead of asking the user,
// and remembered answers go to a configuration file of the test's own.
class XMessageBoxTestBase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    unsigned StoredEntries() const;

private:
    std::string configPath_;
};

// Replaces the one-second tickers while it lives. Tick() is one second for
// every running ticker.
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void Tick();
    int Running() const;

    class Ticker;

private:
    friend class Ticker;
    std::vector<Ticker*> tickers_;
};

// While it lives, every XMessageBoxDialog that is shown modally runs the
// script once it is on the screen. A box still up after the script is ended
// with kLeftOpen (and the test fails).
class ModalScript : public wxModalDialogHook {
public:
    static constexpr int kLeftOpen = 0x7777;

    explicit ModalScript(std::function<void(XMessageBoxDialog&)> script);
    ~ModalScript() override;

    int Shown() const { return shown_; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    std::function<void(XMessageBoxDialog&)> script_;
    int shown_ = 0;
};

// Counts the dialogs that try to show and answers each with `answer` without
// showing it.
class CountingHook : public wxModalDialogHook {
public:
    explicit CountingHook(int answer);
    ~CountingHook() override;
    int Count() const { return count_; }

protected:
    int Enter(wxDialog*) override;
    void Exit(wxDialog*) override {}

private:
    int answer_;
    int count_ = 0;
};

// The labels of the box's buttons (and check box) in window order, with
// their numbers.
std::vector<std::pair<int, std::string>> ButtonsOf(const wxWindow& box);

// Text currently on the clipboard, "" when there is none.
std::string ClipboardText();

}  // namespace pw::test
