#pragma once
// Which operations carry out a batch's merge and split: the builtin engine,
// which copies the pages as stored without a tool, or the tools (tiffcp and
// tiffsplit). Compress runs tiffcp either way.

#include <memory>
#include <string>

#include "engine/BatchOperations.h"

namespace pw {

enum class BatchEngine { Builtin, Tools };

// The "Engine" setting or an --engine value as an engine: only exactly
// "tools" is the tools; unset ("ERROR", empty) or anything else is builtin.
BatchEngine BatchEngineFromText(const std::string& text);
const char* BatchEngineName(BatchEngine engine);

// The operations of one batch on the engine. A batch's worker keeps them
// (BatchSession::Start): the builtin engine holds the merge output open
// from one entry to the next, so two batches never share one.
std::shared_ptr<BatchOperations> MakeBatchOperations(BatchEngine engine);

}  // namespace pw
