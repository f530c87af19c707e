#pragma once

// Public header of libzentravo: the class CTavImage.
#include "import/CTavImage.h"
