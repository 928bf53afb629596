// Conversion between the program's ANSI code page and Unicode.
//
// The ANSI code page is 936, extended to every Unicode character: a
// character code page 936 has keeps its exact code page 936 bytes (glibc's
// CP936 table, 0x80 for the euro sign included), and only a character it
// lacks takes its GB18030 bytes (four bytes, lead 81-FE and second byte
// 30-39, or one of the few double-byte codes GB18030 adds). Texts stored by
// older versions, file names and typed texts in any script thus round-trip,
// and the double-byte walks step over a four-byte character as two pairs
// without splitting it.
#pragma once

#include <string>
#include <string_view>

// UTF-8 to the ANSI code page. A sequence that is not UTF-8 (or one of the
// few private-use characters neither table holds) becomes '?', and then
// `complete`, when given, is set to false.
std::string Utf8ToAnsi(std::string_view utf8, bool* complete = nullptr);

// As Utf8ToAnsi, into `out`, which has room for twice the length of
// `utf8`; returns the length written, and how the text fared in `outcome`.
struct Utf8ToAnsiOutcome {
    bool utf8 = true; // every byte belonged to a UTF-8 character
    bool multiByte = false; // some character took more than one byte
    bool complete = true; // every byte was UTF-8 and every character had code page bytes
};
std::size_t Utf8ToAnsiInto(std::string_view utf8, char* out, Utf8ToAnsiOutcome& outcome);

// The length of `text` less a UTF-8 character cut off at its end: the bytes
// that may be converted before more of the text has come.
std::size_t Utf8WholeLength(std::string_view text);

// True when every byte is below 0x80: the same text in UTF-8, in the ANSI
// code page and in ASCII.
bool IsAscii(std::string_view text);

// The ANSI code page to UTF-8. A byte that starts no character becomes
// U+FFFD and the conversion goes on with the next byte; then `complete`,
// when given, is set to false.
std::string AnsiToUtf8(std::string_view ansi, bool* complete = nullptr);

// The length of the longest start of `text` made of whole UTF-8 characters
// (no overlong forms, surrogates or code points past U+10FFFF). When given,
// `multiByte` tells whether that start holds a character of more than one
// byte.
std::size_t Utf8PrefixLength(std::string_view text, bool* multiByte = nullptr);

// UTF-16 without a byte-order mark to UTF-8 and back. A lone surrogate, or
// an odd byte at the end, becomes U+FFFD; so does a sequence that is not
// UTF-8 on the way back.
std::string Utf16ToUtf8(std::string_view utf16, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// True for a byte that begins a multi-byte character: a double-byte
// character, or each half of a four-byte one.
constexpr bool IsDbcsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}
