#include "settings/CompressionMethod.h"

#include <mutex>

#include "settings/ProgramSettings.h"

namespace pw {
namespace {

std::mutex g_methodMutex;
std::string g_currentMethod;

}  // namespace

const std::array<CompressionMethod, 6> kCompressionMethods = {{
    {0, "None", "\"-c\" \"none\"", "none"},
    {1, "lzw", "\"-c\" \"lzw\"", "lzw"},
    {2, "zip", "\"-c\" \"zip\"", "zip"},
    {3, "packbits", "\"-c\" \"packbits\"", "packbits"},
    {4, "g3", "\"-c\" \"g3\"", "g3"},
    {5, "g4", "\"-c\" \"g4\"", "g4"},
}};

const CompressionMethod* FindCompressionMethod(const std::string& name)
{
    for (const CompressionMethod& method : kCompressionMethods) {
        if (name == method.name)
            return &method;
    }
    return nullptr;
}

std::string CompressionArgumentsFor(const std::string& storedValue, std::string* methodName)
{
    for (const CompressionMethod& method : kCompressionMethods) {
        if (storedValue == std::to_string(method.index)) {
            if (methodName != nullptr)
                *methodName = method.name;
            return method.arguments;
        }
    }
    if (methodName != nullptr)
        *methodName = "none";
    return std::string();
}

std::string ReadCompressionArguments()
{
    return CompressionArgumentsOf(ReadProgramSettings());
}

std::string CompressionArgumentsOf(const ProgramSettingsValues& values)
{
    if (!values.fileExists)
        return std::string();
    std::string methodName;
    const std::string arguments = CompressionArgumentsFor(values.compressMethod, &methodName);
    SetCurrentCompressionMethod(methodName);
    return arguments;
}

std::string GetCurrentCompressionMethod()
{
    std::lock_guard<std::mutex> lock(g_methodMutex);
    return g_currentMethod;
}

void SetCurrentCompressionMethod(const std::string& name)
{
    std::lock_guard<std::mutex> lock(g_methodMutex);
    g_currentMethod = name;
}

}  // namespace pw
