// The application icon's PNG images, compiled in from packaging/icons.
#pragma once

#include <vector>

#include "framework/controls/Resources.h"

std::vector<IconImage> ApplicationIconImages();
