#include "mainwnd/SystemImageLists.h"

#include "mainwnd/CFileListCtrl.h"

#include "pages/FileTypes.h"
#include "platform/Paths.h"

#include <wx/artprov.h>
#include <wx/mimetype.h>
#include <wx/module.h>

#include <memory>
#include <vector>

namespace pw {

namespace {

constexpr int kSmall = 16;
constexpr int kLarge = 32;
const char* const kFolderKind = "/";

SystemImageLists* g_lists = nullptr;

// Icon names to try for a kind of file, best first: the desktop's name for
// the exact MIME type, then its generic name for the media type, then a
// plain document.
std::vector<wxString> IconNamesForKind(const std::string& kind) {
    std::vector<wxString> names;
    if (kind == kFolderKind) {
        names.push_back("folder");
        names.push_back(wxART_FOLDER);
        return names;
    }
    if (!kind.empty() && wxTheMimeTypesManager) {
        std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(kind)));
        wxString mime;
        if (type && type->GetMimeType(&mime) && !mime.empty()) {
            wxString name = mime;
            name.Replace("/", "-");
            names.push_back(name);
            names.push_back(mime.BeforeFirst('/') + "-x-generic");
        }
    }
    names.push_back(wxART_NORMAL_FILE);
    return names;
}


}  // namespace

// Frees the lists while the toolkit is still up.
class SystemImageListsModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override {
        delete g_lists;
        g_lists = nullptr;
    }

private:
    wxDECLARE_DYNAMIC_CLASS(SystemImageListsModule);
};

wxIMPLEMENT_DYNAMIC_CLASS(SystemImageListsModule, wxModule);

SystemImageLists& SystemImageLists::Get() {
    if (!g_lists)
        g_lists = new SystemImageLists();
    return *g_lists;
}

SystemImageLists::SystemImageLists() : m_small(kSmall, kSmall, true), m_large(kLarge, kLarge, true) {}

int SystemImageLists::IconIndexForPath(const std::string& path) {
    return IconIndexForKind(IsFolder(path) ? std::string(kFolderKind) : GetFileExtension(path));
}

int SystemImageLists::IconIndexForKind(const std::string& kind) {
    const auto found = m_indexByKind.find(kind);
    if (found != m_indexByKind.end())
        return found->second;
    const int index = LookUp(kind);
    m_indexByKind.emplace(kind, index);
    return index;
}

wxBitmapBundle SystemImageLists::GetIconBundle(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_bundles.size())
        return wxBitmapBundle();
    return m_bundles[static_cast<std::size_t>(index)];
}

void SystemImageLists::LendTo(CFileListCtrl& list) {
    list.SetIconSource([this](int image) { return GetIconBundle(image); });
}

void SystemImageLists::TakeBackFrom(CFileListCtrl& list) { list.SetIconSource({}); }

int SystemImageLists::LookUp(const std::string& kind) {
    for (const wxString& name : IconNamesForKind(kind)) {
        const wxBitmap small = wxArtProvider::GetBitmap(name, wxART_LIST, wxSize(kSmall, kSmall));
        if (!small.IsOk())
            continue;
        wxBitmap large = wxArtProvider::GetBitmap(name, wxART_OTHER, wxSize(kLarge, kLarge));
        if (!large.IsOk() || large.GetSize() != wxSize(kLarge, kLarge)) {
            wxImage image = small.ConvertToImage();
            large = wxBitmap(image.Rescale(kLarge, kLarge, wxIMAGE_QUALITY_HIGH));
        }
        wxBitmap smallSized = small;
        if (small.GetSize() != wxSize(kSmall, kSmall)) {
            wxImage image = small.ConvertToImage();
            smallSized = wxBitmap(image.Rescale(kSmall, kSmall, wxIMAGE_QUALITY_HIGH));
        }
        const int index = m_small.Add(smallSized);
        if (index < 0)
            return -1;
        m_large.Add(large);
        wxBitmapBundle bundle = wxArtProvider::GetBitmapBundle(name, wxART_LIST, wxSize(kSmall, kSmall));
        m_bundles.push_back(bundle.IsOk() ? bundle : wxBitmapBundle(smallSized));
        return index;
    }
    return -1;
}

}  // namespace pw
