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
// and leave the target as it was. A replaced file keeps its permission bits;
// a symbolic link at the path is replaced by the new file, not followed.
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
    void RemoveTemporary();

    std::string m_targetPath; // UTF-8
    std::string m_temporaryPath; // UTF-8, empty when none is open
};
