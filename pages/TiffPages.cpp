#include "pages/TiffPages.h"
