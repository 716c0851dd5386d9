#include "settings/IniFile.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <algorithm>

#include "platform/AsciiText.h"
#include "platform/Paths.h"

namespace pw {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}


bool IsQuoted(const std::string& value)
{
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// The form of a value in the file that reads back as the value itself.
std::string EncodeValue(const std::string& value)
{
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value)))
        return '"' + value + '"';
    return value;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool IniFile::ReadFile(const std::string& path, const std::function<void(const char*, size_t)>& take,
                       std::string* problem)
{
    std::string ignored;
    std::string& why = problem != nullptr ? *problem : ignored;
    why.clear();
    // Only a regular file is read: opening a FIFO or a device could wait
    // for ever, so the open does not block and anything else is refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            why = std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "it is not a regular file";
        ::close(fd);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            take(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = std::strerror(errno);
            ::close(fd);
            return false;
        }
        break;
    }
    ::close(fd);
    return true;
}

bool IniFile::Load(const std::string& path, std::string* problem)
{
    Parse(std::string());
    std::string text;
    if (!ReadFile(path, [&](const char* bytes, size_t size) { text.append(bytes, size); }, problem))
        return false;
    Parse(text);
    return true;
}

bool IniFile::ReadKeys(const std::string& path, const std::string& section, std::vector<Key>& keys,
                       std::string* problem)
{
    // The first section of the name counts, and in it the first entry of each key.
    bool seen = false;
    bool inside = false;
    std::string line;
    auto take = [&](const std::string& text) {
        std::string content = text;
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        const Line parsed = ParseLine(content);
        if (parsed.kind == Kind::Section) {
            inside = !seen && EqualsIgnoringAsciiCase(parsed.name, section);
            seen = seen || inside;
        } else if (parsed.kind == Kind::Entry && inside) {
            for (Key& key : keys) {
                if (!key.value && EqualsIgnoringAsciiCase(parsed.name, key.name))
                    key.value = parsed.value;
            }
        }
    };
    const bool read = ReadFile(path, [&](const char* bytes, size_t size) {
        for (const char* end = bytes + size; bytes < end;) {
            const char* lineEnd = static_cast<const char*>(std::memchr(bytes, '\n', static_cast<size_t>(end - bytes)));
            if (lineEnd == nullptr) {
                line.append(bytes, end);
                return;
            }
            line.append(bytes, lineEnd);
            take(line);
            line.clear();
            bytes = lineEnd + 1;
        }
    }, problem);
    if (read && !line.empty())
        take(line);
    return read;
}

void IniFile::Parse(const std::string& text)
{
    lines_.clear();
    lineEnd_.assign(1, '\n');  // not = "\n": GCC 12 warns falsely (-Wrestrict) on that form
    finalLineEnd_ = true;
    if (text.empty())
        return;
    const size_t firstBreak = text.find('\n');
    if (firstBreak != std::string::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        lineEnd_ = "\r\n";
    finalLineEnd_ = text.back() == '\n';

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines_.push_back(ParseLine(line));
        start = end + 1;
    }
}

IniFile::Line IniFile::ParseLine(const std::string& text)
{
    Line line;
    line.text = text;
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#')
        return line;
    if (trimmed[0] == '[') {
        const size_t close = trimmed.find(']');
        line.kind = Kind::Section;
        line.name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos)
        return line;
    line.name = Trim(trimmed.substr(0, equals));
    if (line.name.empty())
        return line;
    line.kind = Kind::Entry;
    // A value ends at a zero byte, as a text does for the profile functions:
    // nothing after it may reach a path.
    std::string value = trimmed.substr(equals + 1);
    value.resize(std::min(value.size(), value.find('\0')));
    line.value = Trim(value);
    if (IsQuoted(line.value))
        line.value = line.value.substr(1, line.value.size() - 2);
    return line;
}

std::string IniFile::ToText() const
{
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].text;
        if (i + 1 < lines_.size() || finalLineEnd_)
            text += lineEnd_;
    }
    return text;
}

bool IniFile::Save(const std::string& path) const
{
    // Replace the file a link points to, not the link.
    std::string target = path;
    struct stat st;
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            target = resolved;
    }
    struct stat targetStat;
    const bool targetExists = ::stat(target.c_str(), &targetStat) == 0;

    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        // 0666 so that the user's umask decides, as for any new file.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = WriteAll(fd, ToText());
    if (ok && targetExists)
        ok = ::fchmod(fd, targetStat.st_mode & 07777) == 0;
    if (ok)
        ok = ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const PathParts parts = SplitPath(target);
    const std::string folder = parts.dir.empty() ? std::string(".") : parts.dir;
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

size_t IniFile::FindSection(const std::string& section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && EqualsIgnoringAsciiCase(lines_[i].name, section))
            return i;
    }
    return std::string::npos;
}

size_t IniFile::SectionEnd(size_t sectionLine) const
{
    size_t i = sectionLine + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

bool IniFile::HasSection(const std::string& section) const
{
    return FindSection(section) != std::string::npos;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    const size_t header = FindSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Entry && EqualsIgnoringAsciiCase(lines_[i].name, key))
            return lines_[i].value;
    }
    return std::nullopt;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string stored = value.substr(0, value.find_first_of("\r\n"));
    const std::string encoded = EncodeValue(stored);

    size_t header = FindSection(section);
    if (header == std::string::npos) {
        Line sectionLine;
        sectionLine.kind = Kind::Section;
        sectionLine.name = section;
        sectionLine.text = "[" + section + "]";
        lines_.push_back(sectionLine);
        header = lines_.size() - 1;
        finalLineEnd_ = true;
    }
    const size_t end = SectionEnd(header);
    size_t insertAt = header + 1;
    for (size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Kind::Entry)
            continue;
        if (EqualsIgnoringAsciiCase(line.name, key)) {
            // Keep the indentation and the key's spelling of a hand-edited line.
            const size_t indent = line.text.find_first_not_of(" \t");
            line.text = line.text.substr(0, indent) + line.name + "=" + encoded;
            line.value = stored;
            return;
        }
        insertAt = i + 1;
    }
    Line entry;
    entry.kind = Kind::Entry;
    entry.name = key;
    entry.value = stored;
    entry.text = key + "=" + encoded;
    if (insertAt == lines_.size())
        finalLineEnd_ = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
}

}  // namespace pw
