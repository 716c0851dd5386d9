// The answers in a configuration file beside Pagewright's other settings.

#include "ui/XMessageBoxAnswers.h"

#include "platform/UserFolders.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/stdpaths.h>

namespace pw {

namespace {

wxString Entry(const std::string& companyName, const std::string& key, int keyNumber) {
    return wxString::FromUTF8(XmbProgramAnswersPath(companyName) + "/" + XmbAnswerValueName(key, keyNumber));
}

}  // namespace

void UseDesktopConfigurationFile(const std::string& appName) {
    // The toolkit's own choice of file would be a dot folder in the home
    // folder; the file is named here, in Pagewright's settings folder,
    // which is made when missing (the file is written into it, not made).
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    const std::string folder = GetUserConfigFolder();
    CreateFolders(folder);
    delete wxConfigBase::Set(new wxFileConfig(wxString::FromUTF8(appName), wxString(),
                                              wxString::FromUTF8(folder + appName + ".conf"), wxString(),
                                              wxCONFIG_USE_LOCAL_FILE));
}

std::uint32_t ReadXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber) {
    wxConfigBase* config = wxConfigBase::Get();
    if (!config) return 0;
    long value = 0;
    if (!config->Read(Entry(companyName, key, keyNumber), &value)) return 0;
    return static_cast<std::uint32_t>(value);
}

void WriteXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber,
                    std::uint32_t answer) {
    wxConfigBase* config = wxConfigBase::Get();
    if (!config) return;
    // Stored as the signed 32-bit pattern so that the time-out bit survives a
    // round trip through a 32-bit long.
    config->Write(Entry(companyName, key, keyNumber), static_cast<long>(static_cast<std::int32_t>(answer)));
    config->Flush();
}

}  // namespace pw
