#include "cli/JsonReport.h"

#include <cstdio>

namespace pw::cli {
namespace {

// Length of the valid UTF-8 sequence at text[at], or 0.
size_t Utf8Length(const std::string& text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < minimum || value > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::string JsonString(const std::string& bytes)
{
    std::string json = "\"";
    char escape[8];
    for (size_t at = 0; at < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[at]);
        const size_t length = Utf8Length(bytes, at);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\udc%02x", c);
            json += escape;
            ++at;
            continue;
        }
        if (length > 1) {
            json.append(bytes, at, length);
        } else if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\t') {
            json += "\\t";
        } else if (c == '\r') {
            json += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
        at += length;
    }
    json += '"';
    return json;
}

std::string JsonLine(const FileRecord& record)
{
    std::string line = "{\"file\":" + JsonString(record.file);
    line += ",\"status\":" + JsonString(record.status);
    line += ",\"reason\":" + JsonString(record.reason);
    line += ",\"outputs\":[";
    for (size_t i = 0; i < record.outputs.size(); ++i) {
        if (i > 0)
            line += ',';
        line += JsonString(record.outputs[i]);
    }
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "],\"pages\":%d,\"seconds\":%.6f}", record.pages,
                  record.seconds < 0 ? 0.0 : record.seconds);
    return line + numbers;
}

std::string JsonFormatText()
{
    return "\nWith --json, standard output holds one JSON object per file, one per line, in\n"
           "the order the files were given:\n"
           "  {\"file\":\"a.tif\",\"status\":\"Success\",\"reason\":\"\",\n"
           "   \"outputs\":[\"out/a.tif\"],\"pages\":3,\"seconds\":0.041}\n"
           "  file     the FILE as given\n"
           "  status   \"Success\" or \"Failed\"\n"
           "  reason   why it failed, in a few words; \"\" on success\n"
           "  outputs  the files written for it: compress and extract their file, merge the\n"
           "           output file, split its page files in order; [] for count and on failure\n"
           "  pages    pages written (merge: appended; split: page files; count: the pages\n"
           "           counted); 0 on failure\n"
           "  seconds  the time spent on the file\n"
           "Texts are UTF-8; a byte of a path that is not UTF-8 is written as \\udcXX.\n";
}

}  // namespace pw::cli
