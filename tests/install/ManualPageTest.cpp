// The manual page of the window program against its command line: every
// switch the scan knows is documented, and every documented switch does
// what the page says it does.

#include "mainwnd/CommandLine.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace pw {
namespace {

std::string ReadManual() {
    std::ifstream in(PAGEWRIGHT_MANUAL);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The switches of the OPTIONS section: the tags of its ".TP" entries, as
// ".B \-copyright" or ".BI \-add " FILE"".
std::set<std::string> DocumentedSwitches(const std::string& manual) {
    const size_t start = manual.find("\n.SH OPTIONS\n");
    const size_t end = manual.find("\n.SH ", start + 1);
    std::set<std::string> switches;
    if (start == std::string::npos)
        return switches;
    const std::string section = manual.substr(start, end - start);
    const std::regex tag(R"(\n\.TP\n\.BI? \\-([A-Za-z]+))");
    for (std::sregex_iterator it(section.begin(), section.end(), tag), last; it != last; ++it)
        switches.insert("-" + (*it)[1].str());
    return switches;
}

TEST(ManualPage, ListsExactlyTheSwitchesOfTheCommandLine) {
    const std::string manual = ReadManual();
    ASSERT_FALSE(manual.empty()) << "cannot read " << PAGEWRIGHT_MANUAL;
    std::set<std::string> known;
    for (const CommandLineSwitch& s : GetCommandLineSwitches())
        known.insert(s.name);
    EXPECT_EQ(DocumentedSwitches(manual), known);
    // The synopsis shows each of them too.
    const std::string synopsis = manual.substr(manual.find(".SH SYNOPSIS"), manual.find(".SH DESCRIPTION") - manual.find(".SH SYNOPSIS"));
    for (const std::string& name : known)
        EXPECT_NE(synopsis.find("\\" + name), std::string::npos) << name << " missing from the synopsis";
}

TEST(ManualPage, DocumentedSwitchesDoWhatThePageSays) {
    for (const std::string& name : DocumentedSwitches(ReadManual())) {
        std::vector<std::string> added;
        bool copyright = false;
        const CommandLineHandlers handlers{[&](const std::string& path) { added.push_back(path); },
                                           [&] { copyright = true; }};
        // In upper case, as the page says letter case does not matter.
        std::string upper = name;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ScanCommandLine({"pagewright", upper, "scan.tif"}, handlers);
        if (name == "-copyright") {
            EXPECT_TRUE(copyright);
            EXPECT_TRUE(added.empty());
        } else {
            // -add and -open: the next argument is a file for the list.
            EXPECT_EQ(added, std::vector<std::string>{"scan.tif"}) << name;
            EXPECT_FALSE(copyright) << name;
        }
    }
}

}  // namespace
}  // namespace pw
