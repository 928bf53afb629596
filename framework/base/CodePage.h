// Conversion between the program's ANSI code page (936) and Unicode. The
// conversion follows the Windows code page 936 table (glibc's CP936).
#pragma once

#include <string>
#include <string_view>

// UTF-8 to code page 936; a character the code page lacks becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// Code page 936 to UTF-8; a byte sequence that is not code page 936 becomes
// U+FFFD, and the conversion goes on with the next byte.
std::string AnsiToUtf8(std::string_view ansi);

// True for a byte that begins a double-byte character of code page 936.
constexpr bool IsDbcsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}
