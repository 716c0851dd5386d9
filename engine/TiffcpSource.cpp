#include "engine/TiffcpSource.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/TempFiles.h"
#include "platform/UserFolders.h"

namespace pw {

TiffcpSource::TiffcpSource(const std::string& source) : path_(source)
{
    if (source.find(',') == std::string::npos)
        return;

    char real[PATH_MAX];
    if (::realpath(source.c_str(), real) == nullptr) {
        reason_ = std::string("source unreadable: ") + ::strerror(errno);
        return;
    }
    if (GetTempFolder().find(',') != std::string::npos) {
        reason_ = "a source name with ',' cannot be given to tiffcp";
        return;
    }
    const std::string folder = CreateTempFolder();
    if (folder.empty()) {
        reason_ = "a source name with ',' cannot be given to tiffcp";
        return;
    }
    folder_ = folder;
    const std::string link = folder_ + "/source.tif";
    if (::symlink(real, link.c_str()) != 0) {
        reason_ = "a source name with ',' cannot be given to tiffcp";
        return;
    }
    path_ = link;
}

TiffcpSource::~TiffcpSource()
{
    if (folder_.empty())
        return;
    ::unlink((folder_ + "/source.tif").c_str());
    ::rmdir(folder_.c_str());
    ForgetTemp(folder_);
}

}  // namespace pw
