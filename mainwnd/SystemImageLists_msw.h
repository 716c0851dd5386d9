#pragma once
// The shell's system image lists: its icons for files and folders at the
// small and the large size. They belong to the shell, which shares them
// with every window of the process, so a list view borrows them and never
// destroys them. Included from SystemImageLists.h.
//
// The shell is asked only from the window's thread. Asking it about one
// path costs a visit to the disk and its file-type database, so the icon of
// a kind of file is asked for once; only folders and the kinds whose every
// file shows its own icon (programs, icons, shortcuts) are asked per path.

#include <cstddef>
#include <map>
#include <string>

struct _IMAGELIST;  // the system's image list behind HIMAGELIST

namespace pw {

class CFileListCtrl;

class SystemImageLists {
public:
    static SystemImageLists& Get();

    // The shell's lists; null when the shell gives none.
    _IMAGELIST* GetSmallList();
    _IMAGELIST* GetLargeList();

    // The index, the same in both lists, of the shell's icon for the file
    // or folder at the path; the icon of its kind when the shell cannot
    // describe the path itself, -1 when it has none at all.
    int IconIndexForPath(const std::string& path);

    // The icon of a kind of file (a lower-case extension without its dot;
    // empty: files without one), without looking at any file.
    int IconIndexForKind(const std::string& kind);

    // The list view of the list shows these lists until TakeBackFrom.
    void LendTo(CFileListCtrl& list);
    void TakeBackFrom(CFileListCtrl& list);

    // How many different kinds of file have been looked up so far.
    std::size_t LookupCount() const { return m_indexByKind.size(); }

    SystemImageLists(const SystemImageLists&) = delete;
    SystemImageLists& operator=(const SystemImageLists&) = delete;

private:
    SystemImageLists() = default;
    // Whether the files of the kind each show an icon of their own.
    bool KindHasIconPerFile(const std::string& kind);

    std::map<std::string, int> m_indexByKind;
    std::map<std::string, bool> m_iconPerFile;  // by kind
    std::map<std::string, int> m_indexByPath;   // folders and per-file kinds
};

}  // namespace pw
