// The encodings a text file may come in. The import tells them apart (see
// CStdioFile) and the exports write the one the list came from, so a file
// goes out as it came in.
#pragma once

#include <string>
#include <string_view>

#include "framework/base/Types.h"

enum class TextEncoding : BYTE {
    CodePage, // the program's code page: 936, GB18030 beyond it (and plain ASCII)
    Utf8,
    Utf8WithMark, // UTF-8 behind a byte-order mark
    Utf16LE, // UTF-16 always comes behind its byte-order mark
    Utf16BE,
};

// The byte-order mark a file in `encoding` starts with; empty for none.
std::string_view ByteOrderMark(TextEncoding encoding);

// Appends text in the program's code page to `out`, in `encoding` (without
// a mark).
void AppendEncodedText(std::string& out, std::string_view text, TextEncoding encoding);
