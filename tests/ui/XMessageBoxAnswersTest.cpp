#include "ui/XMessageBox.h"
#include "ui/XMessageBoxAnswers.h"
#include "ui/XMessageBoxCopyText.h"

#include "platform/ProgramFolder.h"
#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <wx/fileconf.h>

namespace pw {
namespace {

TEST(XMessageBoxAnswersTest, ValueNamesOfHandComputedKeys) {
    // S=83 -> 19 'T'; t=116+5=121 -> 57 'v'; o=111+10 -> 57 'v'; p=112+15=127 -> 63 '8'; ?=63+20=83 -> 19 'T'.
    EXPECT_EQ(XmbAnswerValueName("Stop?", 12), "Tvv8T12");
    // '>'=62 -> '9'; '?' at 1: 68 -> 4 'E'.
    EXPECT_EQ(XmbAnswerValueName(">?", 0), "9E0");
    // Bytes above 127 count as unsigned: 0xC3=195 -> 3 'D'; 0xA9=169+5=174 -> 46 'k'.
    EXPECT_EQ(XmbAnswerValueName("\xC3\xA9", -3), "Dk-3");
    const std::string name = XmbAnswerValueName(std::string(600, 'A'), 5);
    EXPECT_EQ(name.size(), 491u);  // the key is cut to 490 bytes
    EXPECT_EQ(XmbAnswerValueName(std::string(490, 'A'), 5), name);
    EXPECT_EQ(XmbAnswersPath("", "pagewright"), "/Software/pagewright/XMessageBox");
    EXPECT_EQ(XmbAnswersPath("Acme Imaging", "pagewright"), "/Software/Acme Imaging/pagewright/XMessageBox");
}

TEST(XMessageBoxAnswersTest, AnswersRoundTripUnderTheProgramsPath) {
    test::TempFolder folder;
    wxConfigBase::DontCreateOnDemand();
    delete wxConfigBase::Set(
        new wxFileConfig("t", "", wxString::FromUTF8(folder / "answers.ini"), "", wxCONFIG_USE_LOCAL_FILE));
    SetExecutablePathForTesting(folder / "pagewright");

    EXPECT_EQ(ReadXmbAnswer("Acme", "Stop?", 12), 0u);
    WriteXmbAnswer("Acme", "Stop?", 12, IDYES | XMB_ASKAGAIN_BOX);
    WriteXmbAnswer("Acme", "Stop?", 13, IDOK | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(ReadXmbAnswer("Acme", "Stop?", 12), IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(ReadXmbAnswer("Acme", "Stop?", 13), IDOK | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(ReadXmbAnswer("", "Stop?", 12), 0u);
    long raw = 0;
    EXPECT_TRUE(wxConfigBase::Get()->Read("/Software/Acme/pagewright/XMessageBox/Tvv8T12", &raw));
    EXPECT_EQ(raw, static_cast<long>(IDYES | XMB_ASKAGAIN_BOX));

    delete wxConfigBase::Set(nullptr);  // without a configuration nothing is kept
    WriteXmbAnswer("", "k", 1, IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(ReadXmbAnswer("", "k", 1), 0u);
    SetExecutablePathForTesting("");
}

TEST(XMessageBoxCopyTextTest, TextFormOfTheBox) {
    const std::string n = kXmbCopyLineEnd;
    const std::string dashes = "---------------------------" + n;
    EXPECT_EQ(XmbCopyText("Q", std::string("Go?"), {"&Yes", "&No"}),
              dashes + "Q" + n + dashes + "Go?" + n + dashes + "Yes   No   " + n + dashes);
    EXPECT_EQ(XmbCopyText("T", std::nullopt, {"A&&B&"}), dashes + "T" + n + dashes + "AB   " + n + dashes);
#ifndef _WIN32
    EXPECT_EQ(XmbCopyText("T", std::nullopt, {}).find('\r'), std::string::npos);
#endif
}

TEST(XMessageBoxCopyTextTest, LongPartsAreCut) {
    const std::string n = kXmbCopyLineEnd;
    const std::string text = XmbCopyText(std::string(1200, 't'), std::string(5000, 'm'), {std::string(300, 'b')});
    EXPECT_NE(text.find(n + std::string(999, 't') + n), std::string::npos);
    EXPECT_NE(text.find(n + std::string(3999, 'm') + n), std::string::npos);
    EXPECT_NE(text.find(n + std::string(198, 'b') + "   " + n), std::string::npos);
    EXPECT_EQ(XmbCopyText("T", std::string("m"), std::vector<std::string>(60, std::string(198, 'b'))).size(), 8191u);
}

}  // namespace
}  // namespace pw
