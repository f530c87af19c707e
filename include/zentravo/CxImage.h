#pragma once

// Public header of libzentravo: the class CxImage.
#include "gif/CxImage.h"
