#include "fuzz/FuzzFiles.h"

#include <sanitizer/allocator_interface.h>
#include <tiffio.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pw::fuzz {
namespace {

namespace fs = std::filesystem;

std::atomic<int64_t> inUse{0};
std::atomic<int64_t> baseline{0};
std::atomic<int64_t> peak{0};

void OnMalloc(const volatile void*, size_t size)
{
    const int64_t now = inUse.fetch_add(static_cast<int64_t>(size)) + static_cast<int64_t>(size);
    int64_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

void OnFree(const volatile void* p)
{
    inUse.fetch_sub(static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(p))));
}

struct Scratch {
    std::string folder;
    std::string input;
    Scratch()
    {
        // libtiff's process-wide handlers would print every complaint.
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
        std::string pattern = (fs::temp_directory_path() / "pagewright-fuzz.XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        folder = pattern;
        input = folder + "/input.tif";
    }
    ~Scratch()
    {
        std::error_code error;
        fs::remove_all(folder, error);
    }
};

Scratch& TheScratch()
{
    static Scratch scratch;
    return scratch;
}

}  // namespace

const std::string& ScratchFolder() { return TheScratch().folder; }

const std::string& WriteInput(const uint8_t* data, size_t size)
{
    const Scratch& scratch = TheScratch();
    std::ofstream out(scratch.input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    Expect(!out.fail(), "the input could not be written");
    return scratch.input;
}

void ClearOutputs()
{
    const Scratch& scratch = TheScratch();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch.folder, error))
        if (entry.path() != scratch.input)
            fs::remove_all(entry.path(), error);
}

void Expect(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz expectation failed: %s\n", what);
    std::abort();
}

void ResetPeak()
{
    baseline = inUse.load();
    peak = baseline.load();
}

uint64_t PeakSinceReset()
{
    return static_cast<uint64_t>(std::max<int64_t>(0, peak.load() - baseline.load()));
}

}  // namespace pw::fuzz
