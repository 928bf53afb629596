// Atomic increments and decrements of a shared counter; each returns the
// counter's new value. The counter wraps around like a two's complement
// integer.
#pragma once

#include "framework/base/Types.h"

LONG InterlockedIncrement(LONG volatile* addend);
LONG InterlockedDecrement(LONG volatile* addend);
