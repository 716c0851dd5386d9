#include "ui/XMessageBoxAnswers.h"

#include "platform/ProgramFolder.h"
#include "platform/UserFolders.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/stdpaths.h>

#include <algorithm>

namespace pw {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz98";
constexpr std::size_t kMaxKeyBytes = 490;

std::string ProgramFileName() {
    const std::string path = GetExecutablePath();
    const auto slash = path.find_last_of("/\\");  // either separator on Windows
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

wxString ToWx(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

std::string XmbAnswersPath(const std::string& companyName, const std::string& programFileName) {
    std::string path = "/Software/";
    if (!companyName.empty()) path += companyName + "/";
    return path + programFileName + "/XMessageBox";
}

std::string XmbAnswerValueName(const std::string& key, int keyNumber) {
    std::string name;
    const std::size_t length = std::min(key.size(), kMaxKeyBytes);
    for (std::size_t i = 0; i < length; ++i) {
        // Bytes count as unsigned: a byte above 127 must not give a negative index.
        const unsigned byte = static_cast<unsigned char>(key[i]);
        name += kAlphabet[(byte + 5 * i) % 64];
    }
    return name + std::to_string(keyNumber);
}

std::uint32_t ReadXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber) {
    wxConfigBase* config = wxConfigBase::Get();
    if (!config) return 0;
    const wxString entry =
        ToWx(XmbAnswersPath(companyName, ProgramFileName()) + "/" + XmbAnswerValueName(key, keyNumber));
    long value = 0;
    if (!config->Read(entry, &value)) return 0;
    return static_cast<std::uint32_t>(value);
}

void UseDesktopConfigurationFile(const std::string& appName) {
#ifdef __WXMSW__
    // Windows keeps them in the registry: the toolkit's own configuration
    // there roots every path at HKEY_CURRENT_USER\Software\<program>.
    (void)appName;
    return;
#endif
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

void WriteXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber,
                    std::uint32_t answer) {
    wxConfigBase* config = wxConfigBase::Get();
    if (!config) return;
    const wxString entry =
        ToWx(XmbAnswersPath(companyName, ProgramFileName()) + "/" + XmbAnswerValueName(key, keyNumber));
    // Stored as the signed 32-bit pattern so that the time-out bit survives a
    // round trip through a 32-bit long.
    config->Write(entry, static_cast<long>(static_cast<std::int32_t>(answer)));
    config->Flush();
}

}  // namespace pw
