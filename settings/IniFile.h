#pragma once
// A settings file in the initialisation-file format: "[Section]" lines, then
// "key=value" lines. Everything the program does not change - comments,
// blank lines, unknown lines, other sections and keys, the order of lines and
// the file's line ends - is written back as it was read.
//
// Values are stored as they are, without escaping, so folder paths, blanks
// and "=" inside a value survive. Only a value that would not read back
// unchanged (blanks at either end, or a double quote at both ends) is written
// inside one pair of double quotes, which a read strips again - the same rule
// the system's profile functions apply to hand-edited files.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pw {

class IniFile {
public:
    // Reads the file; a missing or unreadable file gives an empty IniFile and
    // false. *problem, when given, then says why a file that is there could
    // not be read ("" for a missing one).
    bool Load(const std::string& path, std::string* problem = nullptr);
    void Parse(const std::string& text);

    // Reads the values of a few keys of one section, as Get gives them,
    // without keeping the file (which may be large) in memory. Keys not found
    // keep no value; false, with *problem as for Load, when the file cannot
    // be read.
    struct Key {
        std::string name;
        std::optional<std::string> value;
    };
    static bool ReadKeys(const std::string& path, const std::string& section, std::vector<Key>& keys,
                         std::string* problem);

    // The text Save writes.
    std::string ToText() const;

    // Writes the file atomically: the text goes into a temporary file in the
    // same folder, which then replaces the file, so a crash leaves either the
    // old or the new file, never a part of one. Keeps an existing file's
    // permissions. False when the folder cannot be written.
    bool Save(const std::string& path) const;

    // Section and key names are compared without regard to ASCII case; the
    // first section and the first key of a name count.
    bool HasSection(const std::string& section) const;
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;

    // Sets the key, adding the section (at the end) and the key (after the
    // section's last entry) when missing. A value is cut at its first line
    // break, which the format cannot hold.
    void Set(const std::string& section, const std::string& key, const std::string& value);

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        Kind kind = Kind::Other;
        std::string text;   // the line as read (or as built), without its line end
        std::string name;   // section or key name, trimmed
        std::string value;  // entry value as a read returns it
    };

    static Line ParseLine(const std::string& text);
    // Hands the bytes of the regular file at path to take, chunk by chunk.
    static bool ReadFile(const std::string& path, const std::function<void(const char*, size_t)>& take,
                         std::string* problem);
    size_t FindSection(const std::string& section) const;  // npos when missing
    size_t SectionEnd(size_t sectionLine) const;           // index after its last line

    std::vector<Line> lines_;
    std::string lineEnd_ = "\n";
    bool finalLineEnd_ = true;
};

}  // namespace pw
