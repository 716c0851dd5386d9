#include "ui/PathText.h"

#include <wx/strconv.h>

namespace pw {

namespace {

const wxMBConv& PathConv() {
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

}  // namespace

wxString PathToWx(const std::string& path) { return wxString(path.data(), PathConv(), path.size()); }

std::string PathFromWx(const wxString& text) {
    const wxScopedCharBuffer bytes = text.mb_str(PathConv());
    return std::string(bytes.data(), bytes.length());
}

}  // namespace pw
