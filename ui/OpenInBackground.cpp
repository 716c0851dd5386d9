#include "ui/OpenInBackground.h"

#include "platform/ShellOpen.h"

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <memory>
#include <thread>

namespace pw {

namespace {

// Made, read and destroyed on the window's thread only; the opening thread
// just hands the pointer on.
struct Pending {
    wxWeakRef<wxWindow> owner;
    bool hasOwner = false;
    std::function<void(const std::vector<int>&)> done;
    std::vector<int> results;
};

}  // namespace

void OpenInBackground(std::vector<std::string> targets, wxWindow* owner,
                      std::function<void(const std::vector<int>& results)> done) {
    Pending* pending = nullptr;
    if (done && wxTheApp) {
        pending = new Pending;
        pending->owner = owner;
        pending->hasOwner = owner != nullptr;
        pending->done = std::move(done);
    }
    std::thread([targets = std::move(targets), pending] {
        std::vector<int> results;
        for (const std::string& target : targets)
            results.push_back(ShellOpen(target));
        if (!pending)
            return;
        pending->results = std::move(results);
        wxTheApp->CallAfter([pending] {
            const std::unique_ptr<Pending> own(pending);
            if (!own->hasOwner || own->owner)
                own->done(own->results);
        });
    }).detach();
}

}  // namespace pw
