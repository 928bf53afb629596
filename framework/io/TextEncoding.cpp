#include "framework/io/TextEncoding.h"

#include "framework/base/CodePage.h"

std::string_view ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::CodePage:
    case TextEncoding::Utf8:
        break;
    case TextEncoding::Utf8WithMark:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LE:
        return "\xFF\xFE";
    case TextEncoding::Utf16BE:
        return "\xFE\xFF";
    }
    return {};
}

void AppendEncodedText(std::string& out, std::string_view text, TextEncoding encoding)
{
    const bool ascii = IsAscii(text);
    switch (encoding) {
    case TextEncoding::CodePage:
        out += text;
        return;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithMark:
        if (ascii)
            out += text;
        else
            out += AnsiToUtf8(text);
        return;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        out += Utf8ToUtf16(ascii ? std::string(text) : AnsiToUtf8(text), encoding == TextEncoding::Utf16BE);
        return;
    }
}
