// What a screen reader says for the main window's controls that carry no
// text of their own.

#include "mainwnd/CMainDlg.h"
#include "res/ResourceIds.h"
#include "ui/AccessibleName.h"

namespace pw {

void CMainDlg::NameControlsForScreenReaders() {
    static const struct {
        int id;
        const char* name;
    } kNames[] = {
        {IDC_PREVIEW, "Preview"},
        {IDC_SPLITTER, "Splitter between the preview and the file list"},
        {IDC_FILELIST, "TIFF files"},
        {IDC_PROGRESS, "Progress"},
    };
    for (const auto& entry : kNames)
        SetAccessibleName(FindWindow(entry.id), entry.name);
}

}  // namespace pw
