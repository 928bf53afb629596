// atoi as the program's settings were written for: leading white space, an
// optional sign, the digits up to the first other character, 0 without
// digits, and a number too large for an int saturating at INT_MAX or
// INT_MIN. (glibc's atoi truncates instead, so a long run of digits could
// come out as -1.)
#pragma once

#include <algorithm>
#include <climits>
#include <cstdlib>

inline int SaturatingAtoi(const char* text)
{
    return static_cast<int>(std::clamp<long long>(std::strtoll(text, nullptr, 10), INT_MIN, INT_MAX));
}
