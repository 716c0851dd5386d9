#pragma once
// Answers the modal dialogs a piece of code shows, in the order expected,
// without showing them: each answer is a function given the dialog. A
// dialog that was not expected, or an expected one that did not come,
// fails the test.

#include "ui/XMessageBox.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>
#include <wx/testing.h>
#include <wx/utils.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw::test {

template <class T>
class Answer : public wxExpectModalBase<T, Answer<T>> {
public:
    explicit Answer(std::function<int(T*)> answer) : m_answer(std::move(answer)) {}

protected:
    int OnInvoked(T* dialog) const override { return m_answer(dialog); }

private:
    std::function<int(T*)> m_answer;
};

// A message box seen by a script: its text, its MB_ style and caption, and
// whether the busy cursor was on while it was up.
struct SeenBox {
    std::string text;
    unsigned style;
    std::string caption;
    bool busy;
};

class DialogScript {
public:
    DialogScript() = default;
    ~DialogScript() { m_hook.CheckUnmetExpectations(); }

    template <class T>
    void Expect(std::function<int(T*)> answer) {
        m_answers.push_back(std::make_unique<Answer<T>>(std::move(answer)));
        m_hook.AddExpectation(*m_answers.back());
    }

    // The next dialog is a message box, answered with the given button
    // (IDOK, IDYES, IDNO).
    void ExpectBox(int button) {
        Expect<XMessageBoxDialog>([this, button](XMessageBoxDialog* box) {
            boxes.push_back({box->Content().text, box->Content().style, box->Content().caption, wxIsBusy()});
            return button;
        });
    }

    std::vector<SeenBox> boxes;

private:
    class Hook : public wxTestingModalHook {
    protected:
        void ReportFailure(const wxString& message) override { ADD_FAILURE() << message.utf8_str(); }
        // An unexpected dialog is cancelled rather than shown to nobody.
        int Enter(wxDialog* dialog) override {
            const int result = wxTestingModalHook::Enter(dialog);
            return result == wxID_NONE ? wxID_CANCEL : result;
        }
    };
    Hook m_hook;
    std::vector<std::unique_ptr<wxModalExpectation>> m_answers;
};

}  // namespace pw::test
