#pragma once

// Public header of libzentravo: the class CxIOFile.
#include "gif/CxIOFile.h"
