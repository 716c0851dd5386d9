#include "ui/XMessageBox.h"
#include "ui/XMessageBoxAnswers.h"
#include "ui/XMessageBoxCopyText.h"

#include "platform/ProgramFolder.h"
#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <wx/fileconf.h>

namespace pw {
namespace {

TEST(XMessageBoxAnswersTest, ValueNameOfAHandComputedKey) {
    // S=83 -> 19 'T'; t=116+5=121 -> 57 'v'; o=111+10=121 -> 57 'v';
    // p=112+15=127 -> 63 '8'; ?=63+20=83 -> 19 'T'.
    EXPECT_EQ(XmbAnswerValueName("Stop?", 12), "Tvv8T12");
    EXPECT_EQ(XmbAnswerValueName("Go", 7), "Hq7");
    // The last two letters of the alphabet: '>'=62 -> '9'; '?' at 1 is 68 -> 4 'E'; '?' at 0 -> '8'.
    EXPECT_EQ(XmbAnswerValueName(">?", 0), "9E0");
    EXPECT_EQ(XmbAnswerValueName("?", 0), "80");
}

TEST(XMessageBoxAnswersTest, BytesAbove127CountAsUnsigned) {
    // 0xC3=195 -> 3 'D'; 0xA9=169+5=174 -> 46 'k'.
    EXPECT_EQ(XmbAnswerValueName("\xC3\xA9", 0), "Dk0");
    // 0xFF=255 -> 63 '8'.
    EXPECT_EQ(XmbAnswerValueName("\xFF", -3), "8-3");
}

TEST(XMessageBoxAnswersTest, KeyIsCutTo490Bytes) {
    const std::string name = XmbAnswerValueName(std::string(600, 'A'), 5);
    EXPECT_EQ(name.size(), 491u);
    EXPECT_EQ(name.back(), '5');
    EXPECT_EQ(XmbAnswerValueName(std::string(490, 'A'), 5), name);
}

TEST(XMessageBoxAnswersTest, PathHasTheCompanyOnlyWhenGiven) {
    EXPECT_EQ(XmbAnswersPath("", "pagewright"), "/Software/pagewright/XMessageBox");
    EXPECT_EQ(XmbAnswersPath("Acme Imaging", "pagewright"), "/Software/Acme Imaging/pagewright/XMessageBox");
}

class StoredAnswersTest : public ::testing::Test {
protected:
    void SetUp() override {
        wxConfigBase::DontCreateOnDemand();
        delete wxConfigBase::Set(new wxFileConfig("t", "", wxString::FromUTF8(folder / "answers.ini"), "",
                                                  wxCONFIG_USE_LOCAL_FILE));
        SetExecutablePathForTesting(folder / "pagewright");
    }
    void TearDown() override {
        delete wxConfigBase::Set(nullptr);
        SetExecutablePathForTesting("");
    }
    test::TempFolder folder;
};

TEST_F(StoredAnswersTest, MissingAnswerReadsAsZero) {
    EXPECT_EQ(ReadXmbAnswer("", "never", 1), 0u);
}

TEST_F(StoredAnswersTest, AnswersRoundTripUnderTheProgramsPath) {
    WriteXmbAnswer("Acme", "Stop?", 12, IDYES | XMB_ASKAGAIN_BOX);
    WriteXmbAnswer("Acme", "Stop?", 13, IDOK | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(ReadXmbAnswer("Acme", "Stop?", 12), IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(ReadXmbAnswer("Acme", "Stop?", 13), IDOK | XMB_TELLAGAIN_BOX | XMB_RESULT_TIMEOUT);
    EXPECT_EQ(ReadXmbAnswer("", "Stop?", 12), 0u);  // another company, another path

    long raw = 0;
    EXPECT_TRUE(wxConfigBase::Get()->Read("/Software/Acme/pagewright/XMessageBox/Tvv8T12", &raw));
    EXPECT_EQ(raw, static_cast<long>(IDYES | XMB_ASKAGAIN_BOX));
}

TEST_F(StoredAnswersTest, WithoutAConfigurationNothingIsStoredOrRead) {
    delete wxConfigBase::Set(nullptr);
    WriteXmbAnswer("", "k", 1, IDYES | XMB_ASKAGAIN_BOX);
    EXPECT_EQ(ReadXmbAnswer("", "k", 1), 0u);
}

TEST(XMessageBoxCopyTextTest, YesNoBoxOfTheExample) {
    EXPECT_EQ(XmbCopyText("Q", std::string("Go?"), {"&Yes", "&No"}),
              "---------------------------\r\n"
              "Q\r\n"
              "---------------------------\r\n"
              "Go?\r\n"
              "---------------------------\r\n"
              "Yes   No   \r\n"
              "---------------------------\r\n");
}

TEST(XMessageBoxCopyTextTest, WithoutMessageControlTheMessageBlockIsLeftOut) {
    EXPECT_EQ(XmbCopyText("T", std::nullopt, {"OK"}),
              "---------------------------\r\nT\r\n---------------------------\r\n"
              "OK   \r\n---------------------------\r\n");
}

TEST(XMessageBoxCopyTextTest, EveryAmpersandGoesAndLongPartsAreCut) {
    const std::string text = XmbCopyText(std::string(1200, 't'), std::string(5000, 'm'), {"A&&B&", std::string(300, 'b')});
    EXPECT_NE(text.find("\r\n" + std::string(999, 't') + "\r\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(1000, 't')), std::string::npos);
    EXPECT_NE(text.find("\r\n" + std::string(3999, 'm') + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nAB   " + std::string(198, 'b') + "   \r\n"), std::string::npos);
}

TEST(XMessageBoxCopyTextTest, WholeTextIsAtMost8191Bytes) {
    std::vector<std::string> many(60, std::string(198, 'b'));
    const std::string text = XmbCopyText("T", std::string("m"), many);
    EXPECT_EQ(text.size(), 8191u);
}

}  // namespace
}  // namespace pw
