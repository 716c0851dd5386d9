#include "mainwnd/FileListRules.h"

#include <algorithm>

#include "platform/AsciiText.h"
#include "platform/Paths.h"
#include "res/ResourceIds.h"

#include <sys/stat.h>

#include <charconv>

namespace pw {

bool IsTiffPath(const char* path) {
    if (!path || !*path)
        return false;
    const std::string ext = AsciiLowercase(SplitPath(path).ext);
    return kTiffFilterBlock.find(ext) != std::string_view::npos;
}

std::string FormatKilobytes(uint64_t bytes) {
    const double kb = static_cast<double>(bytes) * 0.001;
    char number[64];
    const auto result = std::to_chars(number, number + sizeof number, kb, std::chars_format::fixed, 2);
    std::string text(number, result.ptr);
    if (text.size() < 8)
        text.insert(0, 8 - text.size(), ' ');
    return text + " KB";
}

std::string FormatFileSize(const std::string& path) {
    struct stat st;
    uint64_t size = 0;
    if (!path.empty() && ::stat(path.c_str(), &st) == 0 && st.st_size > 0)
        size = static_cast<uint64_t>(st.st_size);
    return FormatKilobytes(size);
}

std::array<std::pair<int, bool>, 6> FileListButtonStates(int count, int selected) {
    const bool any = count > 0;
    const bool anySelected = any && selected > 0;
    return {{
        {IDC_REMOVE, anySelected},
        {IDC_EXTRACT, anySelected},
        {IDC_REMOVEALL, any},
        {IDC_MERGEALL, any},
        {IDC_COMPRESS, any},
        {IDC_SPLITALL, any},
    }};
}

std::vector<long> MovedRowsOrder(std::vector<long> rows, long before, long count) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty() || rows.front() < 0 || rows.back() >= count || before < 0 || before > count)
        return {};
    std::vector<bool> moving(static_cast<std::size_t>(count), false);
    for (long row : rows)
        moving[static_cast<std::size_t>(row)] = true;
    std::vector<long> order;
    for (long i = 0; i <= count; ++i) {
        if (i == before)
            order.insert(order.end(), rows.begin(), rows.end());
        if (i < count && !moving[static_cast<std::size_t>(i)])
            order.push_back(i);
    }
    return order;
}

}  // namespace pw
