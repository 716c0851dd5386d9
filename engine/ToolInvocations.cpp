#include "engine/ToolInvocations.h"
