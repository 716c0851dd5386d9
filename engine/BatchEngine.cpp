#include "engine/BatchEngine.h"

#include "engine/BuiltinBatchOperations.h"
#include "settings/ProgramSettings.h"

namespace pw {

BatchEngine BatchEngineFromText(const std::string& text)
{
    return IsBuiltinEngine(text) ? BatchEngine::Builtin : BatchEngine::Tools;
}

const char* BatchEngineName(BatchEngine engine)
{
    return engine == BatchEngine::Builtin ? kEngineBuiltin : kEngineTools;
}

std::shared_ptr<BatchOperations> MakeBatchOperations(BatchEngine engine)
{
    if (engine == BatchEngine::Builtin)
        return std::make_shared<BuiltinBatchOperations>();
    // The tool operations keep nothing between calls: one for the process.
    return std::shared_ptr<BatchOperations>(&ToolBatchOperations(), [](BatchOperations*) {});
}

}  // namespace pw
