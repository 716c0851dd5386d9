#pragma once
// The command lines of tiffinfo, tiffcp and tiffsplit, kept as text with
// one %s per value, and the functions that fill them in.

#include <string>
#include <string_view>
#include <vector>

#include "platform/CommandLine.h"

namespace pw {

inline constexpr std::string_view kReportTemplate = R"("%s" "%s")";
inline constexpr std::string_view kRecompressTemplate = R"("%s" %s "%s" "%s")";
inline constexpr std::string_view kRecompressPackbitsTemplate = R"("%s" "-c" "packbits" "%s" "%s")";
inline constexpr std::string_view kAppendTemplate = R"("%s" "-a" "%s" "%s")";
inline constexpr std::string_view kAppendCompressedTemplate = R"("%s" "-a" %s "%s" "%s")";
// No blank after the tool: the program ends at its closing quote.
inline constexpr std::string_view kSplitTemplate = R"("%s""%s" "%s")";

// A value for one %s of a template.
struct TemplateValue {
    enum class Kind {
        // A path: it becomes (part of) exactly one argument whatever its
        // characters, and is never read as an option.
        FileName,
        // Text of the settings, such as the compression arguments
        // "-c" "lzw": split like the template's own characters.
        CommandText,
    };
    Kind kind;
    std::string text;
};

// The path as a tool gets it: a relative path that begins with '-' gets
// "./" in front, so the tool sees a file, not an option. Other paths are
// returned unchanged.
std::string ToolFileArgument(const std::string& path);

// The template with each %s replaced, in order, by a value (file names
// through ToolFileArgument, no other change), and the arguments the tool
// receives. For values without double quotes, arguments equals
// SplitCommandLine(text).
CommandLine FormatCommandTemplate(std::string_view tmpl, const std::vector<TemplateValue>& values);

CommandLine ReportCommandLine(const std::string& tool, const std::string& source);
CommandLine RecompressCommandLine(const std::string& tool, const std::string& compressionArguments,
                                  const std::string& source, const std::string& destination);
CommandLine RecompressPackbitsCommandLine(const std::string& tool, const std::string& source,
                                          const std::string& destination);
CommandLine AppendCommandLine(const std::string& tool, const std::string& source, const std::string& output);
CommandLine AppendCompressedCommandLine(const std::string& tool, const std::string& compressionArguments,
                                        const std::string& source, const std::string& output);
CommandLine SplitPagesCommandLine(const std::string& tool, const std::string& source, const std::string& prefix);

}  // namespace pw
