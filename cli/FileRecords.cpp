#include "cli/FileRecords.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"
#include "platform/Paths.h"

namespace pw::cli {
namespace {

// The page files a split wrote for output: the files of its folder whose
// names begin with its base name, in name order (the order of the pages).
std::vector<std::string> SplitPageFiles(const std::string& output)
{
    const PathParts parts = SplitPath(output);
    const std::string folder = parts.drive + parts.dir;
    std::vector<std::string> files;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && name.compare(0, parts.fname.size(), parts.fname) == 0)
            files.push_back(folder + name);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int CountPages(const std::string& path)
{
    TiffDiagnostics diagnostics;
    return TiffSource(path, diagnostics, TiffSource::Chain::Whole).pageCount();
}

FileRecord BatchFileRecord(const std::string& operation, const BatchJob& job, int index, const std::string& status,
                           const std::string& reason, double seconds)
{
    FileRecord record;
    const size_t i = static_cast<size_t>(index);
    record.file = i < job.sources.size() ? job.sources[i] : std::string();
    record.status = status;
    record.reason = reason;
    record.seconds = seconds;
    if (i >= job.outputs.size() || status != "Success")
        return record;
    if (operation == kOperationSplit) {
        record.outputs = SplitPageFiles(job.outputs[i]);
        record.pages = static_cast<int>(record.outputs.size());
    } else if (operation == kOperationMerge) {
        record.outputs = {job.outputs[0]};
        record.pages = CountPages(record.file);
    } else {
        record.outputs = {job.outputs[i]};
        record.pages = CountPages(job.outputs[i]);
    }
    return record;
}


}  // namespace pw::cli
