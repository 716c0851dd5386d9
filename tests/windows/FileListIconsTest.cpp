// The file list's row icons are the shell's: its system image lists are the
// list view's own lists, each row's image is the shell's icon index for the
// row's path, and the list hands the lists back and never owns them. Seen
// from inside the process, then from another program (whose shell numbers
// its icons in an order of its own, so there only the lists and that every
// row has an icon can be compared).

// The toolkit's headers first: the system's headers rename some of its
// members.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "mainwnd/CFileListCtrl.h"
#include "mainwnd/SystemImageLists.h"
#include "platform/WideText_win32.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/ListViewProbe.h"
#include "tests/windows/WindowDriver.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace pw {
namespace {

// What the shell itself says: its list (small or large) and the icon index
// for a path; -1 when it cannot describe the path.
HIMAGELIST ShellList(UINT size) {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size));
}

int ShellIcon(const std::wstring& path) {
    SHFILEINFOW info{};
    return ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON) ? info.iIcon
                                                                                                      : -1;
}

int RowImage(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -100;
    return ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -100;
}

struct Files {
    test::TempFolder folder;
    std::string tiff = folder / "scan 文書.tif";
    std::string text = folder / "notes.txt";
    std::string subfolder = folder / "pages";
    std::string missing = folder / "missing.tif";

    Files() {
        test::WriteTiff(tiff, 2);
        test::WriteTiff(text, 1);
        ::CreateDirectoryW(Widen(subfolder).c_str(), nullptr);
    }
    std::vector<std::string> Existing() const { return {tiff, text, subfolder}; }
};

TEST(FileListIcons, RowsShowTheShellsIconsFromListsTheListHandsBack) {
    wxApp::SetInstance(new wxApp());  // windows need the toolkit's window application
    wxInitializer toolkit;
    ASSERT_TRUE(toolkit.IsOk());
    Files files;
    const HIMAGELIST small = ShellList(SHGFI_SMALLICON);
    const HIMAGELIST large = ShellList(0);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(SystemImageLists::Get().GetSmallList(), small);
    EXPECT_EQ(SystemImageLists::Get().GetLargeList(), large);

    auto* frame = new wxFrame(nullptr, wxID_ANY, "icons");
    auto* list = new CFileListCtrl(frame, 1002, wxDefaultPosition, wxSize(400, 300), 0);
    list->InsertColumn(0, "TIFF File");
    SystemImageLists::Get().LendTo(*list);
    std::vector<std::string> paths = files.Existing();
    paths.push_back(files.missing);
    for (const std::string& path : paths)
        list->InsertItem(list->GetItemCount(), PathToWx(path), SystemImageLists::Get().IconIndexForPath(path));
    HWND view = static_cast<HWND>(list->GetHWND());
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(view, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), small);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(view, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), large);

    const int count = ::ImageList_GetImageCount(small);
    for (int row = 0; row < 3; ++row) {
        const int image = RowImage(view, row);
        EXPECT_EQ(image, ShellIcon(Widen(paths[row]))) << paths[row];
        EXPECT_GE(image, 0) << paths[row];
        EXPECT_LT(image, count) << paths[row];
    }
    const int missing = RowImage(view, 3);
    EXPECT_TRUE(missing == -1 || (missing >= 0 && missing < count)) << missing;

    // Many files of a kind already seen ask the shell nothing more.
    const std::size_t lookups = SystemImageLists::Get().LookupCount();
    for (int i = 0; i < 200; ++i)
        SystemImageLists::Get().IconIndexForPath(files.folder / ("page " + std::to_string(i) + ".TIF"));
    EXPECT_EQ(SystemImageLists::Get().LookupCount(), lookups);

    // Handed back: the list view holds neither list when it goes (the
    // list's destructor does the same).
    SystemImageLists::Get().TakeBackFrom(*list);
    EXPECT_EQ(::SendMessageW(view, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_EQ(::SendMessageW(view, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    delete frame;
}

TEST(FileListIcons, AnotherProgramSeesTheShellsListsAndAnIconForEveryRow) {
    Files files;
    test::WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    for (const std::string& path : files.Existing())
        ASSERT_EQ(window.AddFile(Widen(path)), LRESULT(0));
    ASSERT_EQ(window.RowCount(), 3);

    const test::ListViewProbe list(window.Control(1002), window.ProcessId());
    EXPECT_NE(list.ImageList(LVSIL_SMALL), nullptr);
    EXPECT_NE(list.ImageList(LVSIL_NORMAL), nullptr);
    EXPECT_NE(list.ImageList(LVSIL_SMALL), list.ImageList(LVSIL_NORMAL));
    EXPECT_TRUE(list.HasStyle(LVS_SHAREIMAGELISTS)) << "the list view would destroy the shell's lists";
    const std::vector<std::string> paths = files.Existing();
    for (int row = 0; row < 3; ++row) {
        const std::optional<int> image = list.ItemImage(row);
        ASSERT_TRUE(image.has_value()) << row;
        EXPECT_GE(*image, 0) << paths[row];
    }
    EXPECT_EQ(window.Close(), DWORD(0));
}

}  // namespace
}  // namespace pw
