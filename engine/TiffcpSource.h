#pragma once
// tiffcp reads an input argument "name,1,3" as pages 1 and 3 of the file
// "name": it cuts every input at its first comma. A source whose name holds
// a comma is therefore handed to tiffcp through a link without one, in a
// private folder under the temporary folder; other sources go as they are.

#include <string>

namespace pw {

class TiffcpSource {
public:
    explicit TiffcpSource(const std::string& source);
    // Removes the link and its folder.
    ~TiffcpSource();
    TiffcpSource(const TiffcpSource&) = delete;
    TiffcpSource& operator=(const TiffcpSource&) = delete;

    bool ok() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }

    // The name to give tiffcp for the source.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string folder_;
    std::string reason_;
};

}  // namespace pw
