// Questions about the file system the program asks by path. Paths are in
// the program's ANSI code page.
#pragma once

#include <optional>
#include <string>

#include "framework/base/CString.h"
#include "framework/base/Types.h"

// The name the system knows `path` by (UTF-8); nothing when `path` holds
// bytes that stand for no character, since any name made from it would be
// another file's.
std::optional<std::string> SystemPath(LPCSTR path);

// TRUE when `path` names a regular file this process can open for reading;
// FALSE for a missing path, a directory, a device or an unreadable file.
BOOL FileExists(LPCSTR path);

// Full path of the running executable; empty if the system won't tell, or
// when the path holds bytes that are not UTF-8 (the program could not name
// that folder back to the system).
CString AfxGetModuleFileName();

// The folder part of `path`: everything before its last '/' ("/" for a file
// at the root); empty when the path names no folder.
CString FolderOfPath(const CString& path);
