#pragma once
// The output plan of a batch: for every entry, in list order, its output
// path, compression arguments and the batch's use-compression text and
// method name, with the settings read once for the batch; the split
// folders are prepared here, before any worker starts.

#include <optional>
#include <string>
#include <vector>

#include "engine/BatchEngine.h"
#include "engine/BatchJob.h"

namespace pw {

// Values that replace a setting for one run without touching the file.
struct BatchSettingsOverrides {
    std::optional<std::string> namingRule;  // instead of "Name"
    std::optional<int> compressMethod;      // a table index, instead of "CompressMethod"
    std::optional<bool> useCompression;     // instead of "UseCompressMethod"
    std::optional<BatchEngine> engine;      // instead of "Engine"
};

struct BatchPlan {
    bool ok = false;
    std::string error;  // why nothing may be started, when !ok
    // The refusal came from a split folder that could not be created (the
    // folders of earlier entries are already made).
    bool splitFolderNotCreated = false;
    // What merges and splits the job: "Engine", read with the other keys,
    // or the override.
    BatchEngine engine = BatchEngine::Builtin;
    // Something the user should know that did not stop the plan (a settings
    // file that cannot be read); also written to the debug trace.
    std::string warning;
    BatchJob job;
};

// Builds the job of the operation ("Compress", "Merge", "Split") for the
// sources. outputPlace is the chosen folder (Compress, Split) or file
// (Merge). Refused, with nothing deleted or created, when the output folder
// does not exist, when the merge output is a folder or one of the sources (also through
// another path to the same file), when an entry's output is another entry's
// source or two entries have the same output, when a split folder that is
// about to be emptied holds one of the sources, is or holds a mount point,
// or holds a file another batch is writing, or when another batch is
// writing the merge output (the job then holds the lock on it until it is
// released). Temporaries that killed runs left in the output folder are
// removed. For Split, each entry's folder is removed with its contents and
// created anew, in list order, when the builtin engine splits or tiffsplit
// is at hand; when one cannot be created the plan stops there (earlier
// folders stay).
BatchPlan PlanBatch(const std::string& operation, const std::vector<std::string>& sources,
                    const std::string& outputPlace,
                    const BatchSettingsOverrides& overrides = BatchSettingsOverrides());

// The name of the split folder of entry index (from 0), "%s_%d" of the
// naming rule and index + 1. An unset rule ("ERROR" or empty) gives way to
// the entry's base name. A rule is never used as a path: its separators and
// every ".." become "_" characters, so the folder always is a direct child of
// the chosen folder, and never the chosen folder itself.
std::string SplitFolderName(const std::string& namingRule, const std::string& baseName, size_t index);

}  // namespace pw
