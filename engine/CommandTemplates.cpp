#include "engine/CommandTemplates.h"

namespace pw {
namespace {

TemplateValue File(const std::string& path)
{
    return TemplateValue{TemplateValue::Kind::FileName, path};
}

TemplateValue Text(const std::string& text)
{
    return TemplateValue{TemplateValue::Kind::CommandText, text};
}

}  // namespace

std::string ToolFileArgument(const std::string& path)
{
    if (!path.empty() && path.front() == '-')
        return "./" + path;
    return path;
}

CommandLine FormatCommandTemplate(std::string_view tmpl, const std::vector<TemplateValue>& values)
{
    CommandLine line;
    std::vector<CommandPiece> pieces;
    auto add = [&](const std::string& text, bool verbatim) {
        line.text += text;
        if (!pieces.empty() && pieces.back().verbatim == verbatim)
            pieces.back().text += text;
        else
            pieces.push_back(CommandPiece{text, verbatim});
    };

    size_t next = 0;
    for (size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == '%' && i + 1 < tmpl.size() && tmpl[i + 1] == 's' && next < values.size()) {
            const TemplateValue& value = values[next++];
            if (value.kind == TemplateValue::Kind::FileName)
                add(ToolFileArgument(value.text), true);
            else
                add(value.text, false);
            ++i;
        } else {
            add(std::string(1, tmpl[i]), false);
        }
    }
    line.arguments = SplitCommandPieces(pieces);
    return line;
}

CommandLine ReportCommandLine(const std::string& tool, const std::string& source)
{
    return FormatCommandTemplate(kReportTemplate, {File(tool), File(source)});
}

CommandLine RecompressCommandLine(const std::string& tool, const std::string& compressionArguments,
                                  const std::string& source, const std::string& destination)
{
    return FormatCommandTemplate(kRecompressTemplate,
                                 {File(tool), Text(compressionArguments), File(source), File(destination)});
}

CommandLine RecompressPackbitsCommandLine(const std::string& tool, const std::string& source,
                                          const std::string& destination)
{
    return FormatCommandTemplate(kRecompressPackbitsTemplate, {File(tool), File(source), File(destination)});
}

CommandLine AppendCommandLine(const std::string& tool, const std::string& source, const std::string& output)
{
    return FormatCommandTemplate(kAppendTemplate, {File(tool), File(source), File(output)});
}

CommandLine AppendCompressedCommandLine(const std::string& tool, const std::string& compressionArguments,
                                        const std::string& source, const std::string& output)
{
    return FormatCommandTemplate(kAppendCompressedTemplate,
                                 {File(tool), Text(compressionArguments), File(source), File(output)});
}

CommandLine SplitPagesCommandLine(const std::string& tool, const std::string& source, const std::string& prefix)
{
    return FormatCommandTemplate(kSplitTemplate, {File(tool), File(source), File(prefix)});
}

}  // namespace pw
