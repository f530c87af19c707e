#pragma once

// Public header of libzentravo: the class CxFile.
#include "gif/CxFile.h"
