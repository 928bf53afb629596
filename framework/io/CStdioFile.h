// CStdioFile: reads a text file line by line.
//
// A line ends at LF, and a CR right before that LF goes with it. Everything
// else stays as it is: a lone CR is part of the line (a file of CR-only line
// ends reads as one line), a byte order mark stays at the front of the first
// line, and the last line counts even without an LF. Lines have no length
// limit.
//
// A NUL byte ends its line's text: the bytes after it up to the LF are
// skipped. The program keeps lines in C strings, which would cut them there
// anyway; dropping the tail here keeps a NUL from gluing the rest of a line
// onto anything, while later lines stay where they are.
#pragma once

#include <memory>
#include <string>

#include "framework/io/CFile.h"

class CStdioFile : public CFile {
public:
    CStdioFile();
    ~CStdioFile() override;

    BOOL Open(LPCSTR path, UINT openFlags) override;
    void Close() override;

    // FALSE at the end of the file or on a read error (then Failed() is TRUE).
    // It reads ahead, so it does not mix with CFile::Read on the same file.
    BOOL ReadString(CString& line);

private:
    BOOL FillBuffer();

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0; // first unread byte of m_buffer
    std::size_t m_end = 0; // one past the last valid byte
    std::string m_pending; // a line that spans buffer refills
};
