#pragma once
// The file-type icons of the desktop's icon theme, in lists of the process
// that live until the toolkit shuts down. Included from SystemImageLists.h.

#include <wx/bmpbndl.h>
#include <wx/imaglist.h>

#include <map>
#include <string>
#include <vector>

namespace pw {

class CFileListCtrl;

class SystemImageLists {
public:
    static SystemImageLists& Get();

    wxImageList* GetSmallList() { return &m_small; }
    wxImageList* GetLargeList() { return &m_large; }

    // The index, the same in both lists, of the icon of the file or folder
    // at the path; -1 when the desktop has no icon for it.
    int IconIndexForPath(const std::string& path);

    // Looks up the icon of a kind of file (a lower-case extension without
    // its dot) ahead of the first file of that kind; the first look-up loads
    // the desktop's file-type database.
    int IconIndexForKind(const std::string& kind);

    // The icon of an index as the desktop draws it at every scale, so that
    // a window at twice the scale gets the theme's larger icon rather than
    // the 16-pixel one enlarged; empty for an unknown index.
    wxBitmapBundle GetIconBundle(int index) const;

    // The list draws its rows' icons from these lists until TakeBackFrom.
    void LendTo(CFileListCtrl& list);
    void TakeBackFrom(CFileListCtrl& list);

    // How many different kinds of file have been looked up so far.
    std::size_t LookupCount() const { return m_indexByKind.size(); }

    SystemImageLists(const SystemImageLists&) = delete;
    SystemImageLists& operator=(const SystemImageLists&) = delete;

private:
    friend class SystemImageListsModule;
    SystemImageLists();
    int LookUp(const std::string& kind);

    wxImageList m_small;
    wxImageList m_large;
    std::map<std::string, int> m_indexByKind;
    std::vector<wxBitmapBundle> m_bundles;  // by index
};

}  // namespace pw
