// CFile: a binary file over a POSIX descriptor.
//
// Writes are buffered (an export writes one short line at a time), so a
// failure may surface on a later Write, on Flush or on Close rather than on
// the call that handed over the bytes. Errors are sticky: after the first one
// every Write returns FALSE without writing, Failed() stays TRUE and
// GetLastErrorText() keeps the system's reason for that first error, ready to
// be shown to the user.
#pragma once

#include <string>

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/base/Types.h"

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000, // create, or truncate an existing file
        typeText = 0x4000, // no effect: text rules live in CStdioFile::ReadString
        typeBinary = 0x8000,
    };

    CFile() = default;
    // Closes the file; buffered bytes are written, a failure then goes unseen.
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // `path` is in the ANSI code page; one that names no file (bytes that
    // stand for no character) fails with EILSEQ. A directory is refused even
    // for reading.
    virtual BOOL Open(LPCSTR path, UINT openFlags);
    virtual void Close();

    // Reads up to `count` bytes; returns the number read, 0 at end of file or
    // on an error (then Failed() is TRUE).
    UINT Read(void* buffer, UINT count);
    // Takes all `count` bytes or reports failure; FALSE once Failed().
    BOOL Write(const void* data, UINT count);
    // Hands the buffered bytes to the system.
    BOOL Flush();
    // Goes back to the first byte, for reading; FALSE for a file that can't
    // (a pipe), which then Failed().
    BOOL SeekToBegin();

    BOOL IsOpen() const { return m_fd >= 0; }
    BOOL Failed() const { return m_error != 0; }
    // errno of the first failure, 0 if none.
    int GetErrorNumber() const { return m_error; }
    // The system's text for the first failure, empty if none.
    CString GetLastErrorText() const;

protected:
    // Opens the descriptor with open(2) flags and mode; records the failure.
    BOOL OpenDescriptor(const std::string& utf8Path, int flags, unsigned mode);
    int Descriptor() const { return m_fd; }
    void RecordError(int error);
    void ClearError() { m_error = 0; }
    // Closes without writing buffered bytes.
    void Discard();
    // Closes after writing buffered bytes; FALSE on a failure.
    BOOL CloseDescriptor();

private:
    BOOL WriteAll(const char* data, std::size_t count);

    int m_fd = -1;
    int m_error = 0;
    std::string m_writeBuffer;
};
