#include "platform/ProcessRunner.h"
