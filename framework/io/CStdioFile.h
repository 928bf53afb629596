// CStdioFile: reads a text file line by line, in the program's code page.
//
// Opened for reading, it first decides the file's encoding (GetEncoding):
// 1. a UTF-8 byte-order mark means UTF-8, and UTF-16's marks UTF-16; the
//    mark is not text;
// 2. without a mark, a file that is UTF-8 throughout and holds at least one
//    multi-byte character is UTF-8;
// 3. anything else is in the program's code page (936, GB18030 beyond it),
//    and its bytes come back as they are.
// That reads a file without a mark twice (the second time from the system's
// cache), so a pipe can't be read.
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

    // Opened for reading, FALSE also when the file can't be read to its end
    // to decide its encoding.
    BOOL Open(LPCSTR path, UINT openFlags) override;
    void Close() override;

    // FALSE at the end of the file or on a read error (then Failed() is TRUE).
    // It reads ahead, so it does not mix with CFile::Read on the same file.
    BOOL ReadString(CString& line);

    TextEncoding GetEncoding() const { return m_encoding; }

private:
    bool DetectEncoding();
    // Makes the next bytes of text available; FALSE at the end or on a
    // read error.
    BOOL FillBuffer();
    void ResetReading();

    TextEncoding m_encoding = TextEncoding::CodePage;
    std::unique_ptr<char[]> m_buffer; // raw bytes, with room for a cut character in front
    std::size_t m_markLeft = 0; // bytes of the byte-order mark not skipped yet
    std::string m_utf16Carry; // a unit or surrogate pair cut off by the last read
    std::string m_decoded; // UTF-16 read so far, as UTF-8
    const char* m_text = nullptr; // the bytes lines are taken from: raw, or m_decoded
    std::size_t m_begin = 0; // first unread byte of m_text
    std::size_t m_end = 0; // one past the last valid byte
    std::string m_pending; // a line that spans buffer refills
};
