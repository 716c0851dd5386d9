// The builtin engine's page copier on any input: a split into page files
// (each page's directory copied as it is, or through the page copier) and
// a merge of the file twice into one output. No tool lies beside the
// fuzzer, so a file that would go through the tools simply fails.

#include "engine/BuiltinBatchOperations.h"
#include "fuzz/FuzzFiles.h"
#include "pages/TiffPages.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using pw::fuzz::Expect;
    const std::string& path = pw::fuzz::WriteInput(data, size);
    const std::string& folder = pw::fuzz::ScratchFolder();
    const int count = pw::GetTiffPageCount(path);
    {
        pw::BuiltinBatchOperations operations;
        pw::ToolOutcome outcome;
        if (operations.Split(path, folder + "/page.tif", nullptr, &outcome)) {
            int files = 0;
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                if (entry.path().filename().string().rfind("page", 0) != 0)
                    continue;
                ++files;
                Expect(pw::GetTiffPageCount(entry.path().string()) == 1, "a page file is not one page");
            }
            Expect(files == count, "the split did not write every page");
        }
    }
    {
        pw::BuiltinBatchOperations operations;
        const std::string output = folder + "/merged.tif";
        pw::ToolOutcome outcome;
        const bool first = operations.Merge(path, output, "", "FALSE", "none", nullptr, &outcome);
        const bool second = first && operations.Merge(path, output, "", "FALSE", "none", nullptr, &outcome);
        operations.CloseOutputs();
        if (second)
            Expect(pw::GetTiffPageCount(output) == 2 * count, "the merged file lacks pages");
    }
    pw::fuzz::ClearOutputs();
    return 0;
}
