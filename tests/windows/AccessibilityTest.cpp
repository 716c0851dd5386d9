// What a screen reader gets from the main window, asked from another
// process through the system's accessibility interface: the file list as a
// list of its rows (each named by its path, described by its other cells,
// selected as the list is) and the buttons under their captions.

#include "platform/WideText_win32.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/WindowDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace pw {
namespace {

using ::testing::AnyOf;
using ::testing::StartsWith;

class ComInit {
public:
    ComInit() { ::CoInitialize(nullptr); }
    ~ComInit() { ::CoUninitialize(); }
};

// The window's object (CHILDID_SELF) or one of its simple children.
class Accessible {
public:
    explicit Accessible(HWND window) {
        // (__uuidof: the import library's IID_IAccessible is not data)
        ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&m_object));
    }
    ~Accessible() {
        if (m_object)
            m_object->Release();
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    explicit operator bool() const { return m_object != nullptr; }
    long ChildCount() const {
        long count = -1;
        return m_object->get_accChildCount(&count) == S_OK ? count : -1;
    }
    long Role(long child = CHILDID_SELF) const { return Long(&IAccessible::get_accRole, child); }
    long State(long child = CHILDID_SELF) const { return Long(&IAccessible::get_accState, child); }
    std::wstring Name(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accName, child); }
    std::wstring Description(long child) const { return Text(&IAccessible::get_accDescription, child); }
    // The selected children: one as a number, several as an enumeration.
    std::vector<long> Selection() const {
        VARIANT selection;
        ::VariantInit(&selection);
        std::vector<long> children;
        if (m_object->get_accSelection(&selection) != S_OK)
            return children;
        if (selection.vt == VT_I4)
            children.push_back(selection.lVal);
        ::VariantClear(&selection);
        return children;
    }

private:
    static VARIANT Child(long child) {
        VARIANT id;
        id.vt = VT_I4;
        id.lVal = child;
        return id;
    }
    long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child) const {
        VARIANT value;
        ::VariantInit(&value);
        return (m_object->*get)(Child(child), &value) == S_OK && value.vt == VT_I4 ? value.lVal : -1;
    }
    std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child) const {
        BSTR text = nullptr;
        std::wstring result = L"(none)";
        if ((m_object->*get)(Child(child), &text) == S_OK && text)
            result = text;
        ::SysFreeString(text);
        return result;
    }

    IAccessible* m_object = nullptr;
};

std::wstring WithoutMnemonic(std::wstring caption) {
    std::erase(caption, L'&');
    return caption;
}

TEST(Accessibility, TheFileListIsAListOfItsRows) {
    ComInit com;
    test::TempFolder folder;
    std::vector<std::string> paths;
    for (int i = 1; i <= 3; ++i) {
        paths.push_back(folder / ("scan " + std::to_string(i) + " 文書.tif"));
        ASSERT_TRUE(test::WriteTiff(paths.back(), i));
    }
    test::WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    for (const std::string& path : paths)
        ASSERT_EQ(window.AddFile(Widen(path)), LRESULT(0));
    ASSERT_TRUE(window.SelectRow(1));

    Accessible list(window.Control(IDC_FILELIST));
    ASSERT_TRUE(list);
    EXPECT_EQ(list.Role(), ROLE_SYSTEM_LIST);
    EXPECT_EQ(list.Name(), L"TIFF files");
    ASSERT_EQ(list.ChildCount(), 3);
    for (long child = 1; child <= 3; ++child) {
        SCOPED_TRACE(child);
        EXPECT_EQ(list.Role(child), ROLE_SYSTEM_LISTITEM);
        EXPECT_EQ(list.Name(child), Widen(paths[child - 1]));
        EXPECT_THAT(list.Description(child), StartsWith(L"Page Count: " + std::to_wstring(child) + L", File Size: "));
        EXPECT_TRUE(list.State(child) & STATE_SYSTEM_SELECTABLE);
        EXPECT_EQ((list.State(child) & STATE_SYSTEM_SELECTED) != 0, child == 2);
    }
    EXPECT_EQ(list.Selection(), std::vector<long>{2});
    EXPECT_EQ(list.Role(4), -1) << "a child beyond the rows";
    EXPECT_EQ(window.Close(), DWORD(0));
}

// Wine has no object of its own for buttons and reports them as plain
// client areas; Windows reports push buttons.
TEST(Accessibility, TheButtonsAreNamedByTheirCaptionsAndSayWhenUnavailable) {
    ComInit com;
    test::WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    for (int id : {IDC_ADDFILES, IDC_REMOVE, IDC_REMOVEALL, IDC_MERGEALL, IDC_SPLITALL, IDC_COMPRESS, IDC_EXTRACT,
                   IDC_OPTIONS, IDC_ABOUT}) {
        SCOPED_TRACE(id);
        Accessible button(window.Control(id));
        ASSERT_TRUE(button);
        EXPECT_THAT(button.Role(), AnyOf(ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_CLIENT));
        EXPECT_EQ(button.Name(), WithoutMnemonic(window.ControlText(id)));
        EXPECT_FALSE(button.Name().empty());
        // With the list empty only adding, the options and About can be used.
        const bool usable = id == IDC_ADDFILES || id == IDC_OPTIONS || id == IDC_ABOUT;
        EXPECT_EQ((button.State() & STATE_SYSTEM_UNAVAILABLE) == 0, usable);
    }
    EXPECT_EQ(window.Close(), DWORD(0));
}

}  // namespace
}  // namespace pw
