// Names of global atoms read as UTF-8 and refused whole when they do not
// fit the buffer, at the byte where they stop fitting.

#include "platform/GlobalAtom_win32.h"
#include "platform/WideText_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace pw {
namespace {

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

std::optional<std::string> ReadBack(const std::string& name, std::size_t buffer) {
    const ATOM atom = ::GlobalAddAtomW(Widen(name).c_str());
    EXPECT_NE(atom, 0) << name;
    auto read = ReadGlobalAtomName(atom, buffer);
    ::GlobalDeleteAtom(atom);
    return read;
}

TEST(GlobalAtomTest, ANameThatFitsComesWholeAndOneThatDoesNotIsRefused) {
    const std::string fits = Repeat("文", 166) + "a";  // 499 bytes in UTF-8, 167 characters
    EXPECT_EQ(ReadBack(fits, 500), fits);
    EXPECT_EQ(ReadBack(fits + "b", 500), std::nullopt);
    EXPECT_EQ(ReadBack("Größe.tif", 10), std::nullopt);  // 11 bytes
    EXPECT_EQ(ReadBack("Größe.tif", 12), "Größe.tif");
}

TEST(GlobalAtomTest, NoAtomOrOneThatIsGoneReadsAsNothing) {
    EXPECT_EQ(ReadGlobalAtomName(0, 500), std::nullopt);
    const ATOM atom = ::GlobalAddAtomW(L"Z:\\tmp\\gone.tif");
    ASSERT_NE(atom, 0);
    ::GlobalDeleteAtom(atom);
    EXPECT_EQ(ReadGlobalAtomName(atom, 500), std::nullopt);
}

}  // namespace
}  // namespace pw
