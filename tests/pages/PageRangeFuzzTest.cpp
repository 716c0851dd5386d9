// ParsePageRange on many thousands of generated texts, against a plain
// reading of its rules that scans the text again for every number and
// fills ranges page by page: slow, but easy to check by eye.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>

#include "pages/PageRange.h"

namespace pw {
namespace {

bool Space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool Digit(char c)
{
    return c >= '0' && c <= '9';
}

struct Read {
    long long value;
    size_t next;
    size_t end;
};

Read ReadAt(const std::string& t, size_t pos)
{
    size_t q = pos;
    while (q < t.size() && Space(t[q]))
        ++q;
    bool negative = false;
    if (q < t.size() && (t[q] == '+' || t[q] == '-')) {
        negative = t[q] == '-';
        ++q;
    }
    if (q >= t.size() || !Digit(t[q]))
        return {0, pos + 1, pos + 1};
    size_t end = q;
    long long value = 0;
    while (end < t.size() && Digit(t[end])) {
        value = std::min(value * 10 + (t[end] - '0'), 10000000000LL);
        ++end;
    }
    if (negative)
        value = std::max(-value, static_cast<long long>(INT_MIN));
    else
        value = std::min(value, static_cast<long long>(INT_MAX));
    size_t firstSignificant = q;
    while (firstSignificant < end && t[firstSignificant] == '0')
        ++firstSignificant;
    const size_t printed = std::to_string(value).size();
    size_t next = pos + printed;
    if (next > firstSignificant && next < end)
        next = end;
    return {value, next, end};
}

PageSelection Reference(std::string t, int count)
{
    if (t.empty() || count <= 0)
        return {};
    PageSelection s(static_cast<size_t>(count), 0);
    t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
    std::string lower = t;
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    if (lower == "even" || lower == "odd") {
        for (int i = lower == "even" ? 1 : 0; i < count; i += 2)
            s[static_cast<size_t>(i)] = 1;
        return s;
    }
    auto fill = [&](long long first, long long last) {
        for (long long p = std::max(first, 1LL); p <= std::min(last, static_cast<long long>(count)); ++p)
            s[static_cast<size_t>(p - 1)] = 1;
    };
    size_t pos = 0;
    if (!t.empty() && t[0] == '-') {
        while (pos < t.size() && t[pos] == '-')
            ++pos;
        long long n = ReadAt(t, pos).value;
        fill(1, n <= 0 ? count : n);
    }
    long long last = count;
    while (pos < t.size()) {
        const Read v = ReadAt(t, pos);
        if (v.value >= 1 && v.value <= count) {
            s[static_cast<size_t>(v.value - 1)] = 1;
            last = v.value;
            pos = v.next;
        } else if (v.value > count) {
            pos = v.next;
        } else if (t[pos] == '-' || t[pos] == '_') {
            ++pos;
            if (pos == t.size()) {
                fill(last + 1, count);
                break;
            }
            const Read w = ReadAt(t, pos);
            if (w.value >= 1 && w.value > last)
                fill(last + 1, w.value);
            pos = w.end;
        } else {
            ++pos;
        }
    }
    return s;
}

class TextMaker {
public:
    explicit TextMaker(uint32_t seed) : random_(seed) {}

    std::string Next()
    {
        switch (Pick(4)) {
        case 0:
            return RandomBytes();
        case 1:
            return FromAlphabet();
        default:
            return Mutated();
        }
    }

    int PageCount()
    {
        // The largest count now and then only: each costs a 99999-flag mask.
        if (Pick(50) == 0)
            return 99999;
        static const int kCounts[] = {-7, 0, 1, 2, 3, 5, 10, 37, 50, 1000};
        return kCounts[Pick(std::size(kCounts))];
    }

    size_t Pick(size_t n) { return random_() % n; }

private:
    std::string RandomBytes()
    {
        std::string text(Pick(40), '\0');
        for (char& c : text)
            c = static_cast<char>(random_());
        return text;
    }

    std::string FromAlphabet()
    {
        static const std::string kAlphabet = "0123456789012345678--__,,;+ \t\nevnodEVNODal\xff";
        std::string text(Pick(30), '\0');
        for (char& c : text)
            c = kAlphabet[Pick(kAlphabet.size())];
        return text;
    }

    std::string Mutated()
    {
        static const char* kSeeds[] = {
            "-5, 6-7, 10-20, 30-, even, odd", "1-5-8", "3,-5", "30-,40", "6_7", "-3-", "+4", "004", "5-123",
            "99999999999", "7-015", "even", "ODD", "1;3", "12-15", "0-5", "2147483648-", "---", "1-99999",
        };
        std::string text = kSeeds[Pick(std::size(kSeeds))];
        const size_t edits = 1 + Pick(4);
        for (size_t i = 0; i < edits; ++i) {
            const size_t at = text.empty() ? 0 : Pick(text.size() + 1);
            const char c = static_cast<char>(Pick(3) == 0 ? random_() : "0123456789-_, +\t"[Pick(16)]);
            switch (Pick(3)) {
            case 0:
                text.insert(text.begin() + static_cast<long>(at), c);
                break;
            case 1:
                if (at < text.size())
                    text.erase(at, 1);
                break;
            default:
                if (at < text.size())
                    text[at] = c;
                break;
            }
        }
        return text;
    }

    std::mt19937 random_;
};

TEST(ParsePageRangeFuzz, AgreesWithThePlainReadingOnGeneratedTexts)
{
    TextMaker maker(7051);
    for (int round = 0; round < 50000; ++round) {
        const std::string text = maker.Next();
        const int count = maker.PageCount();
        const PageSelection selection = ParsePageRange(text, count);

        const size_t expectedSize = text.empty() || count <= 0 ? 0 : static_cast<size_t>(count);
        ASSERT_EQ(selection.size(), expectedSize) << testing::PrintToString(text);
        for (int32_t flag : selection)
            ASSERT_TRUE(flag == 0 || flag == 1) << testing::PrintToString(text);
        ASSERT_EQ(selection, Reference(text, count)) << testing::PrintToString(text) << " of " << count;

        // Blanks anywhere in a text that is not empty change nothing.
        if (!text.empty() && count > 0) {
            std::string spaced = text;
            spaced.insert(maker.Pick(spaced.size() + 1), std::string(1 + maker.Pick(3), ' '));
            ASSERT_EQ(ParsePageRange(spaced, count), selection) << testing::PrintToString(spaced);
        }
    }
}

}  // namespace
}  // namespace pw
