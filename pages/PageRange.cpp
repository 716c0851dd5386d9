#include "pages/PageRange.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/AsciiText.h"

namespace pw {
namespace {

// The C locale's white space, spelled out so that no byte of the text goes
// through a <cctype> call (a negative char there is undefined).
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}


// Number of characters "%d" prints for value.
size_t PrintedLength(int32_t value)
{
    int64_t magnitude = value;
    size_t length = 1;
    if (magnitude < 0) {
        magnitude = -magnitude;
        ++length;
    }
    while (magnitude >= 10) {
        magnitude /= 10;
        ++length;
    }
    return length;
}

// Reads the number at any position of the text in constant time. The scan
// re-reads the tail of a number when a sign, leading zeros or white space
// preceded it; with a plain left-to-right read a long run of zeros or white
// space would cost time quadratic in its length.
class NumberReader {
public:
    struct Number {
        int32_t value;
        size_t next;  // where the scan continues when it moves past the number
        size_t end;   // just after the last character read
    };

    explicit NumberReader(const std::string& text)
        : text_(text), nonSpace_(text.size() + 1), digitsEnd_(text.size() + 1), nonZero_(text.size() + 1)
    {
        const size_t n = text.size();
        nonSpace_[n] = digitsEnd_[n] = nonZero_[n] = n;
        for (size_t i = n; i-- > 0;) {
            nonSpace_[i] = IsSpace(text[i]) ? nonSpace_[i + 1] : i;
            digitsEnd_[i] = IsDigit(text[i]) ? digitsEnd_[i + 1] : i;
            nonZero_[i] = text[i] == '0' ? nonZero_[i + 1] : i;
        }
    }

    // White space, an optional sign, then the digits that follow; 0 when no
    // digit follows. The scan then moves on by the printed length of the
    // value, so that a sign, leading zeros or white space are read again,
    // which gives the same value once more. It never stops inside the
    // significant digits, where a read would give another number ("+12"
    // would otherwise also name page 2); numbers beyond int32 saturate and
    // are therefore stepped over whole.
    Number Read(size_t pos) const
    {
        const size_t n = text_.size();
        size_t q = nonSpace_[std::min(pos, n)];
        bool negative = false;
        if (q < n && (text_[q] == '+' || text_[q] == '-')) {
            negative = text_[q] == '-';
            ++q;
        }
        if (q >= n || !IsDigit(text_[q]))
            return {0, std::min(pos + 1, n), std::min(pos + 1, n)};

        const size_t end = digitsEnd_[q];
        const size_t firstSignificant = std::min(nonZero_[q], end);
        const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                       : std::numeric_limits<int32_t>::max();
        int64_t magnitude = 0;
        for (size_t i = firstSignificant; i < end && magnitude <= limit; ++i)
            magnitude = magnitude * 10 + (text_[i] - '0');
        magnitude = std::min(magnitude, limit);
        const int32_t value = static_cast<int32_t>(negative ? -magnitude : magnitude);

        size_t next = std::min(pos + PrintedLength(value), n);
        if (next > firstSignificant && next < end)
            next = end;
        return {value, next, end};
    }

private:
    const std::string& text_;
    std::vector<size_t> nonSpace_;   // first position at or after i that is not white space
    std::vector<size_t> digitsEnd_;  // first position at or after i that is not a digit
    std::vector<size_t> nonZero_;    // first position at or after i that is not '0'
};

// Sets flags of the selection; ranges skip pages already set, so that a
// text repeating long ranges costs no more than the page count in all.
class Marker {
public:
    explicit Marker(PageSelection& selection) : selection_(selection) {}

    void Select(int64_t page) { Set(page - 1); }

    // Pages first to last, both counted from 1, cut to the selection.
    void SelectRange(int64_t first, int64_t last)
    {
        const int64_t count = static_cast<int64_t>(selection_.size());
        first = std::max<int64_t>(first, 1);
        last = std::min(last, count);
        if (first > last)
            return;
        if (next_.empty()) {
            next_.resize(selection_.size() + 1);
            for (size_t i = 0; i < next_.size(); ++i)
                next_[i] = static_cast<int32_t>(i);
        }
        for (int64_t i = Unset(first - 1); i <= last - 1; i = Unset(i + 1))
            Set(i);
    }

private:
    void Set(int64_t index)
    {
        selection_[static_cast<size_t>(index)] = 1;
        if (!next_.empty())
            next_[static_cast<size_t>(index)] = static_cast<int32_t>(index + 1);
    }

    // The first index at or after i whose flag is not set yet.
    int64_t Unset(int64_t i)
    {
        while (next_[static_cast<size_t>(i)] != i) {
            const int32_t skip = next_[static_cast<size_t>(next_[static_cast<size_t>(i)])];
            next_[static_cast<size_t>(i)] = skip;
            i = skip;
        }
        return i;
    }

    PageSelection& selection_;
    std::vector<int32_t> next_;
};

}  // namespace

PageSelection ParsePageRange(std::string text, int pageCount)
{
    if (text.empty() || pageCount <= 0)
        return {};
    PageSelection selection(static_cast<size_t>(pageCount), 0);

    // Blanks go before anything is looked at: "1 3" is page 13.
    std::erase(text, ' ');

    const bool even = EqualsIgnoringAsciiCase(text, "even");
    if (even || EqualsIgnoringAsciiCase(text, "odd")) {
        for (int i = even ? 1 : 0; i < pageCount; i += 2)
            selection[static_cast<size_t>(i)] = 1;
        return selection;
    }

    Marker marker(selection);
    const NumberReader reader(text);
    size_t pos = 0;

    // A leading "-n" selects pages 1 to n; without a positive n, every page.
    // The scan resumes at n, so n also becomes the last single page.
    if (!text.empty() && text[0] == '-') {
        while (pos < text.size() && text[pos] == '-')
            ++pos;
        int32_t n = reader.Read(pos).value;
        if (n <= 0)
            n = pageCount;
        marker.SelectRange(1, n);
    }

    // A range attaches to the last single page read; until one is read it
    // is the page count, so that a range without a start selects nothing.
    int64_t lastPage = pageCount;
    while (pos < text.size()) {
        const NumberReader::Number v = reader.Read(pos);
        if (v.value >= 1 && v.value <= pageCount) {
            marker.Select(v.value);
            lastPage = v.value;
            pos = v.next;
        } else if (v.value > pageCount) {
            pos = v.next;
        } else if (text[pos] == '-' || text[pos] == '_') {
            ++pos;
            if (pos == text.size()) {
                marker.SelectRange(lastPage + 1, pageCount);
                break;
            }
            // The range's end is stepped over whole: read again after its
            // sign or leading zeros it would also name a single page,
            // which "7-05" must not select.
            const NumberReader::Number w = reader.Read(pos);
            if (w.value >= 1 && w.value > lastPage)
                marker.SelectRange(lastPage + 1, w.value);
            pos = w.end;
        } else {
            ++pos;
        }
    }
    return selection;
}

}  // namespace pw
