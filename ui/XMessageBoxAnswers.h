#pragma once
// The remembered answers of boxes whose "don't ask again" check box was
// ticked: in the application's configuration file (wxConfigBase::Get()) on
// Linux, in the registry under HKEY_CURRENT_USER on Windows.

#include <cstdint>
#include <string>

namespace pw {

// The configuration path of the answers: "Software", the company name (when
// not empty), the program's file name and "XMessageBox", as absolute path.
std::string XmbAnswersPath(const std::string& companyName, const std::string& programFileName);

// The same path for this program's file name.
std::string XmbProgramAnswersPath(const std::string& companyName);

// The value name of a key and key number: every byte of the key (cut to 490
// bytes) becomes a letter of a 64-character alphabet chosen by the byte and
// its position, then the number follows in decimal.
std::string XmbAnswerValueName(const std::string& key, int keyNumber);

// The stored answer, or 0 when there is none (or no configuration).
std::uint32_t ReadXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber);

// Makes the application's configuration a file beside Pagewright's other
// settings, in the desktop's layout ($XDG_CONFIG_HOME/pagewright/<appName>.conf),
// rather than a dot file in the home folder; on Windows the answers stay in
// the registry. Call once at start, before the first answer is read.
void UseDesktopConfigurationFile(const std::string& appName);

// Stores the answer; a failure is not reported.
void WriteXmbAnswer(const std::string& companyName, const std::string& key, int keyNumber,
                    std::uint32_t answer);

}  // namespace pw
