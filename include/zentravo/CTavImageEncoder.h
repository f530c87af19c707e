#pragma once

// Public header of libzentravo: the class CTavImageEncoder.
#include "import/CTavImageEncoder.h"
