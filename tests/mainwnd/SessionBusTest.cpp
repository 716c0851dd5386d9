// Other programs reach the window over the session bus: this test program
// runs on a private bus (dbus-run-session) and calls the window with gdbus
// from separate processes.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/SessionBusService.h"
#include "platform/DebugTrace.h"
#include "platform/ProcessRunner.h"
#include "platform/ProductIdentity.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <unistd.h>

#include <future>
#include <memory>

namespace pw {
namespace {

using test::TempFolder;

struct Window {
    TempFolder config;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};
    Window() { dlg->InitDialogOnce(); }
};

struct Reply {
    bool ok = false;
    std::string output;
};

// Runs gdbus in a process of its own while this thread keeps the window's
// events going.
Reply Gdbus(std::vector<std::string> args) {
    args.insert(args.begin(), "gdbus");
    auto run = std::async(std::launch::async, [args] {
        Reply reply;
        RunStatus status;
        RunAndCapture(CommandLine{"gdbus", args}, reply.output, &status);
        reply.ok = status.exited && status.exitCode == 0;
        return reply;
    });
    test::WaitFor([&] { return run.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000);
    return run.get();
}

Reply Call(const std::string& name, const std::string& method, std::vector<std::string> args) {
    std::vector<std::string> all = {"call", "--session", "--dest", name, "--object-path", kBusObjectPath,
                                    "--method", std::string(kBusInterface) + "." + method};
    all.insert(all.end(), args.begin(), args.end());
    return Gdbus(all);
}

std::string BusNames() {
    return Gdbus({"call", "--session", "--dest", "org.freedesktop.DBus", "--object-path", "/org/freedesktop/DBus",
                  "--method", "org.freedesktop.DBus.ListNames"})
        .output;
}

TEST(SessionBus, OtherProgramsPingAddFilesAndSendProgress) {
    ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
    Window w;
    const std::string name = w.dlg->GetBusName();
    EXPECT_EQ(name, std::string(kApplicationId) + ".p" + std::to_string(getpid()));

    EXPECT_EQ(Call(name, "Ping", {"8888"}).output, "(uint32 9999,)\n");
    EXPECT_EQ(Call(name, "Ping", {"8887"}).output, "(uint32 0,)\n");

    TempFolder files;
    ASSERT_TRUE(test::WriteTiff(files / "scan.tif", 2));
    EXPECT_TRUE(Call(name, "AddFile", {files / "scan.tif"}).ok);
    EXPECT_TRUE(Call(name, "AddFile", {files / "missing.tif"}).ok);
    EXPECT_TRUE(Call(name, "AddFile", {""}).ok);
    const Reply tooLong = Call(name, "AddFile", {"/" + std::string(kBusMaxPathBytes, 'x')});
    EXPECT_FALSE(tooLong.ok);
    EXPECT_NE(tooLong.output.find("InvalidArgs"), std::string::npos) << tooLong.output;
    CFileListCtrl* list = w.dlg->GetFileList();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(PathFromWx(list->GetItemText(0, 0)), files / "scan.tif");
    EXPECT_EQ(list->GetItemText(0, 1), "2");
    EXPECT_TRUE(w.dlg->FindWindow(IDC_REMOVEALL)->IsEnabled());

    auto* line = wxDynamicCast(w.dlg->FindWindow(IDC_INFORMATION), wxStaticText);
    EXPECT_TRUE(Call(name, "ProgressText", {"55", "Batch 2 of 3"}).ok);
    EXPECT_EQ(line->GetLabelText(), "Batch 2 of 3");
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 55);
    EXPECT_TRUE(Call(name, "ProgressText", {"10", "''"}).ok);
    EXPECT_EQ(line->GetLabelText(), "Batch 2 of 3");
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 55);
    EXPECT_FALSE(Call(name, "ProgressText", {"10", std::string(kBusMaxTextBytes + 1, 't')}).ok);
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 55);
    EXPECT_TRUE(Call(name, "ProgressText", {"250", "Done"}).ok);
    EXPECT_EQ(w.dlg->GetProgressBar()->GetValue(), 100);
}

TEST(SessionBus, EachWindowHasANameOfItsOwn) {
    Window first;
    std::string second;
    {
        Window other;
        second = other.dlg->GetBusName();
        ASSERT_FALSE(second.empty());
        EXPECT_NE(second, first.dlg->GetBusName());
        const std::string names = BusNames();
        EXPECT_NE(names.find("'" + first.dlg->GetBusName() + "'"), std::string::npos) << names;
        EXPECT_NE(names.find("'" + second + "'"), std::string::npos) << names;
        EXPECT_EQ(Call(second, "Ping", {"8888"}).output, "(uint32 9999,)\n");
    }
    // A closed window gives its name back.
    EXPECT_EQ(BusNames().find("'" + second + "'"), std::string::npos);
    EXPECT_EQ(Call(first.dlg->GetBusName(), "Ping", {"8888"}).output, "(uint32 9999,)\n");
}

TEST(SessionBus, WithoutABusTheWindowRunsAndSaysSoOnce) {
    std::vector<std::string> trace;
    SetDebugTraceSink([&](const std::string& text) { trace.push_back(text); });
    {
        test::ScopedEnvironment address("DBUS_SESSION_BUS_ADDRESS", "");
        test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", "");
        Window w;
        EXPECT_EQ(w.dlg->GetBusName(), "");
        w.dlg->AddExistingFile("/bin/sh");
        EXPECT_EQ(w.dlg->GetFileList()->GetItemCount(), 1);
    }
    SetDebugTraceSink(nullptr);
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_NE(trace[0].find("no session bus"), std::string::npos);
}

}  // namespace
}  // namespace pw
