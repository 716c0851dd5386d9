#pragma once
// Path helpers shared by the engine, the settings and the pages.

#include <filesystem>
#include <string>

namespace pw {

// The platform's path separator, used wherever a path is built.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// What the system's executables end in: the tools beside the program are
// "tiffcp" here and "tiffcp.exe" on Windows.
#ifdef _WIN32
inline constexpr char kExecutableSuffix[] = ".exe";
#else
inline constexpr char kExecutableSuffix[] = "";
#endif

// A path cut into its four parts the way the C run-time's path splitter does:
// drive ("" on POSIX), folder (with its trailing separator, "" when the path
// names no folder), base name, and extension (with its leading dot, "" when
// the file name has no dot). drive + dir + fname + ext gives the path back.
struct PathParts {
    std::string drive;
    std::string dir;
    std::string fname;
    std::string ext;
};

PathParts SplitPath(const std::string& path);

// Fills parts.fname and parts.ext from a file name (no folder in it): the
// extension starts at the last dot.
void SplitFileName(const std::string& name, PathParts& parts);

// Fills parts.dir, parts.fname and parts.ext from a path without its drive:
// the folder ends at the last of the given separators.
void SplitFolderAndName(const std::string& path, const char* separators, PathParts& parts);

// True when anything (file, folder, device) exists at the path.
bool PathExists(const std::string& path);

// True when the path names a folder (links are followed).
bool IsFolder(const std::string& path);

// The program's paths are UTF-8 text on every system. These two cross into
// std::filesystem and back without the system's narrow code page (which on
// Windows cannot hold every file name).
inline std::filesystem::path FileSystemPath(const std::string& path)
{
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

inline std::string PathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The path made absolute against the current folder, or as given when the
// current folder cannot be read.
std::string AbsolutePath(const std::string& path);

// AbsolutePath with the links of its existing part resolved and "." and
// ".." taken out (lexically where it cannot be resolved).
std::string NormalPath(const std::string& path);

// The path in a form the system takes. One as long as the system's limit
// or longer (a relative path full of "./" or "../" parts, say) becomes the
// absolute path it leads to, when that fits, found one step at a time the
// way the system would follow it; any other path stays as it is.
std::string UsablePath(const std::string& path);

// The path with a separator appended unless it already ends in one.
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace pw
