// CStdioFile: reads a text file line by line, in the program's code page.
//
// The file's encoding (GetEncoding) is decided as it is read:
// 1. a UTF-8 byte-order mark means UTF-8, and UTF-16's marks UTF-16; the
//    mark is not text;
// 2. without a mark, a file that is UTF-8 throughout and holds at least one
//    multi-byte character is UTF-8;
// 3. anything else is in the program's code page (936, GB18030 beyond it),
//    and its bytes come back as they are.
// ASCII reads the same in all of them. Each read is taken for UTF-8 while
// every byte so far is; the first that is not decides for the code page.
// Should lines already have gone out converted from UTF-8 by then, reading
// starts over from the first line (see StartedOver). The decision is final
// once the last line is read.
//
// A line ends at LF, and a CR right before that LF goes with it. Everything
// else stays as it is: a lone CR is part of the line (a file of CR-only line
// ends reads as one line), and the last line counts even without an LF.
// Lines have no length limit.
//
// A NUL character ends its line's text: what follows it up to the LF is
// skipped. The program keeps lines in C strings, which would cut them there
// anyway; dropping the tail here keeps a NUL from gluing the rest of a line
// onto anything, while later lines stay where they are.
#pragma once

#include <memory>
#include <string>

#include "framework/io/CFile.h"
#include "framework/io/TextEncoding.h"

class CStdioFile : public CFile {
public:
    CStdioFile();
    ~CStdioFile() override;

    BOOL Open(LPCSTR path, UINT openFlags) override;
    void Close() override;

    // FALSE at the end of the file or on a read error (then Failed() is TRUE).
    // It reads ahead, so it does not mix with CFile::Read on the same file.
    BOOL ReadString(CString& line);
    // TRUE when the last ReadString found the file was not UTF-8 after all:
    // its line is the file's first line again, now in the code page, and the
    // lines read before it count no more.
    BOOL StartedOver() const { return m_startedOver; }

    TextEncoding GetEncoding() const { return m_encoding; }

private:
    // Makes the next bytes of text available, in the code page; FALSE at
    // the end, on a read error, or when reading starts over.
    BOOL FillBuffer();
    // The file's first bytes: a byte-order mark decides the encoding.
    std::string_view TakeByteOrderMark(std::string_view bytes);
    // UTF-16 read so far, as UTF-8; a unit cut off by the read waits.
    std::string_view DecodeUtf16(std::string_view bytes, bool atEnd);
    // UTF-8 into the code page; FALSE when it decides the file is not UTF-8
    // after lines went out converted, and reading starts over.
    bool TakeUtf8(std::string_view bytes, bool atEnd);
    void ResetReading();

    TextEncoding m_encoding = TextEncoding::CodePage;
    bool m_decided = false; // by a mark, by bytes that are not UTF-8, or by the end
    bool m_atStart = true; // nothing read yet
    bool m_startedOver = false;
    // Raw bytes as read, with room in front for a cut character, then the
    // read in the code page when it needed converting.
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_carried = 0; // bytes of a character the last read cut off, in that room
    std::string m_utf16Carry; // a unit or surrogate pair cut off by the last read
    std::string m_decoded; // UTF-16 as UTF-8
    const char* m_text = nullptr; // the bytes lines are taken from, raw or converted
    std::size_t m_begin = 0; // first unread byte of m_text
    std::size_t m_end = 0; // one past the last valid byte
    std::string m_pending; // a line that spans buffer refills
};
