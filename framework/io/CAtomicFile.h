// CAtomicFile: writes a file by replacing it whole.
//
//     CAtomicFile file;
//     if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) ...
//     file.Write(...); ...
//     if (!file.Commit()) show file.GetLastErrorText();
//
// Open creates a new temporary file in the target's folder; the writes go
// there, and Commit renames it over the target in one step. Until Commit
// succeeds the target keeps its old contents: a failed write, a failed
// Commit, Close without Commit and destruction all remove the temporary file
// and leave the target as it was. A replaced file keeps its permission bits.
//
// The target is the file the user means:
// - a symbolic link is followed, and the file it leads to is written (or
//   created, for a link that leads nowhere yet); the link stays;
// - an existing file this process may not write is not replaced: Open fails
//   as writing it would;
// - where the folder takes no new file but the file itself may be written
//   (an installed program's folder), the file is rewritten in place: Commit
//   then cuts it to the new length and syncs it. The old contents are lost
//   once the writes reach it, which buffering puts off until Commit for
//   anything shorter than the write buffer;
// - a device or a pipe (/dev/null, a terminal) is written as it is, and
//   Commit only writes out what is buffered.
#pragma once

#include "framework/io/CFile.h"

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile() override;

    // `openFlags` must include modeWrite; the new contents always start empty.
    BOOL Open(LPCSTR path, UINT openFlags) override;
    // Abandons the new contents.
    void Close() override;
    // Writes out, syncs and renames over the target; FALSE on any failure,
    // with the reason in GetLastErrorText(). The file is closed afterwards.
    BOOL Commit();

private:
    BOOL OpenInPlace();
    BOOL CommitInPlace();
    void RemoveTemporary();

    std::string m_targetPath; // UTF-8, links followed
    std::string m_temporaryPath; // UTF-8, empty when none is open
    bool m_inPlace = false;
    bool m_stream = false; // a device or a pipe, written directly
};
