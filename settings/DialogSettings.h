#pragma once
// What the dialogs remember between runs: the Extract dialog's page range
// and the last folder picked (application profile), and the Open dialog's
// folder (the WIN.INI stand-in).

#include <string>

namespace pw {

struct PageRangeSettings {
    int splitOption = 0;         // 0 = From/To range, 1 = free page list
    std::string anyPageRange;    // the free page list as typed
    int pageFrom = 1;
    int pageTo = 99999;
};

// Reads section "PageRangeDlg"; a missing key keeps the value of defaults.
PageRangeSettings ReadPageRangeSettings(const PageRangeSettings& defaults = PageRangeSettings());
// Writes "SplitOption", "strAnyPageRange", "nPageFrom" and "nPageTo", in
// that order, in one update of the file. False when they could not be
// written (none of them is then).
bool WritePageRangeSettings(const PageRangeSettings& settings);

// "OpenFolder"/"Folder": the folder last confirmed in the folder chooser;
// empty when missing.
std::string ReadOpenFolder();
bool WriteOpenFolder(const std::string& folder);

// "Parameter"/"InputDir": the folder of the files last picked in the Open
// dialog (read into 260 characters); empty when missing.
std::string ReadInputDir();
bool WriteInputDir(const std::string& folder);

}  // namespace pw
