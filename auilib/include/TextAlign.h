// Horizontal text alignment of the label and the single-line edit: defined
// once, with the library's other small enumerations.
#pragma once

#include "AUILibEnums.h"
