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
        // Nothing may escape the thread, which would end the program: a
        // target that cannot be opened for any reason counts as failed.
        std::vector<int> results(targets.size(), kShellOpenUnknownFailure);
        for (size_t i = 0; i < targets.size(); ++i) {
            try {
                results[i] = ShellOpen(targets[i]);
            } catch (...) {
            }
        }
        if (!pending)
            return;
        pending->results = std::move(results);
        try {
            wxTheApp->CallAfter([pending] {
                const std::unique_ptr<Pending> own(pending);
                if (!own->hasOwner || own->owner)
                    own->done(own->results);
            });
        } catch (...) {
            // Out of memory: the answer is lost (and the pending record with it).
        }
    }).detach();
}

}  // namespace pw
