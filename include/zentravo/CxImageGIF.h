#pragma once

// Public header of libzentravo: the class CxImageGIF.
#include "gif/CxImageGIF.h"
