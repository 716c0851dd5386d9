#include "pages/TiffDiagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace pw {

TIFF* TiffDiagnostics::Open(const std::string& path, const char* mode)
{
    return OpenWith([&](TIFFOpenOptions* options) { return TIFFOpenExt(path.c_str(), mode, options); });
}

TIFF* TiffDiagnostics::OpenDescriptor(int fd, const std::string& path, const char* mode)
{
    return OpenWith([&](TIFFOpenOptions* options) { return TIFFFdOpenExt(fd, path.c_str(), mode, options); });
}

TIFF* TiffDiagnostics::OpenWith(const std::function<TIFF*(TIFFOpenOptions*)>& opener)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        lastError_ = "Out of memory";
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffDiagnostics::OnError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffDiagnostics::OnWarning, this);
    TIFF* tif = opener(options);
    TIFFOpenOptionsFree(options);
    return tif;
}

int TiffDiagnostics::OnError(TIFF*, void* self, const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    auto* diagnostics = static_cast<TiffDiagnostics*>(self);
    if (module != nullptr && *module != '\0')
        diagnostics->lastError_ = std::string(module) + ": " + text;
    else
        diagnostics->lastError_ = text;
    return 1;  // handled: the process-wide handlers would print it
}

int TiffDiagnostics::OnWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

}  // namespace pw
