// Questions about the file system the program asks by path. Paths are in
// code page 936.
#pragma once

#include "framework/base/CString.h"
#include "framework/base/Types.h"

// TRUE when `path` names a regular file this process can open for reading;
// FALSE for a missing path, a directory, a device or an unreadable file.
BOOL FileExists(LPCSTR path);

// Full path of the running executable; empty if the system won't tell.
CString AfxGetModuleFileName();

// The folder part of `path`: everything before its last '/' ("/" for a file
// at the root); empty when the path names no folder.
CString FolderOfPath(const CString& path);
