#include "platform/CommandLine.h"

namespace pw {
namespace {

// The command line as a run of characters, each marked whether the
// splitting rule may read it.
class PieceCursor {
public:
    explicit PieceCursor(const std::vector<CommandPiece>& pieces) : pieces_(pieces) { SkipEmpty(); }

    bool AtEnd() const { return piece_ == pieces_.size(); }
    char Char() const { return pieces_[piece_].text[offset_]; }
    bool Verbatim() const { return pieces_[piece_].verbatim; }
    // True when the current character is c and is not part of a verbatim piece.
    bool Is(char c) const { return !AtEnd() && !Verbatim() && Char() == c; }
    bool IsBlank() const { return Is(' ') || Is('\t'); }

    void Next()
    {
        ++offset_;
        SkipEmpty();
    }

private:
    void SkipEmpty()
    {
        while (piece_ < pieces_.size() && offset_ >= pieces_[piece_].text.size()) {
            ++piece_;
            offset_ = 0;
        }
    }

    const std::vector<CommandPiece>& pieces_;
    size_t piece_ = 0;
    size_t offset_ = 0;
};

}  // namespace

std::vector<std::string> SplitCommandPieces(const std::vector<CommandPiece>& pieces)
{
    std::vector<std::string> arguments;
    PieceCursor at(pieces);

    // The program: a quoted name is taken up to its closing quote, whatever
    // follows; an unquoted one up to the first blank.
    std::string program;
    if (at.Is('"')) {
        at.Next();
        while (!at.AtEnd() && !at.Is('"')) {
            program += at.Char();
            at.Next();
        }
        if (!at.AtEnd())
            at.Next();
    } else {
        while (!at.AtEnd() && !at.IsBlank()) {
            program += at.Char();
            at.Next();
        }
    }
    arguments.push_back(std::move(program));

    for (;;) {
        while (at.IsBlank())
            at.Next();
        if (at.AtEnd())
            break;
        std::string argument;
        bool quoted = false;
        while (!at.AtEnd() && (quoted || !at.IsBlank())) {
            if (at.Is('"'))
                quoted = !quoted;
            else
                argument += at.Char();
            at.Next();
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    return SplitCommandPieces({CommandPiece{commandLine, false}});
}

}  // namespace pw
