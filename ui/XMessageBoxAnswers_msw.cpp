// The answers in the registry: a DWORD value each under
// HKEY_CURRENT_USER\Software\[<company>\]<program file>\XMessageBox.

#include "ui/XMessageBoxAnswers.h"

#include <wx/log.h>
#include <wx/msw/registry.h>

#include <algorithm>

namespace pw {

namespace {

// The key below HKEY_CURRENT_USER: the answers' path with the registry's
// separator and without the leading one.
wxString KeyName(const std::string& companyName) {
    std::string path = XmbProgramAnswersPath(companyName).substr(1);
    std::replace(path.begin(), path.end(), '/', '\\');
    return wxString::FromUTF8(path);
}

}  // namespace

void UseDesktopConfigurationFile(const std::string&) {}

std::uint32_t ReadXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber) {
    wxLogNull quiet;  // a missing key or value is no stored answer, not an error
    wxRegKey registry(wxRegKey::HKCU, KeyName(companyName));
    const wxString name = wxString::FromUTF8(XmbAnswerValueName(key, keyNumber));
    long value = 0;
    if (!registry.Exists() || !registry.HasValue(name) || !registry.QueryValue(name, &value)) return 0;
    return static_cast<std::uint32_t>(value);
}

void WriteXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber,
                    std::uint32_t answer) {
    wxLogNull quiet;  // a failed write is not reported
    wxRegKey registry(wxRegKey::HKCU, KeyName(companyName));
    if (!registry.Create()) return;  // opens it when it is there
    registry.SetValue(wxString::FromUTF8(XmbAnswerValueName(key, keyNumber)),
                      static_cast<long>(static_cast<std::int32_t>(answer)));
}

}  // namespace pw
