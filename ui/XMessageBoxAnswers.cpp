#include "ui/XMessageBoxAnswers.h"

#include "platform/ProgramFolder.h"

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

}  // namespace

std::string XmbAnswersPath(const std::string& companyName, const std::string& programFileName) {
    std::string path = "/Software/";
    if (!companyName.empty()) path += companyName + "/";
    return path + programFileName + "/XMessageBox";
}

std::string XmbProgramAnswersPath(const std::string& companyName) {
    return XmbAnswersPath(companyName, ProgramFileName());
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

}  // namespace pw
