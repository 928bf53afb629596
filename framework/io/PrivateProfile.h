// Settings files in the classic INI shape:
//
//     [Section]
//     Key=Value
//
// Section and key names match without regard to the case of ASCII letters;
// blanks (space, tab) around names and values are not part of them. Lines
// may end in LF or CR LF; lines that are neither a section header nor a
// key=value pair are carried along untouched. File names are in the ANSI code page;
// a relative one is taken from the working folder.
//
// A file is in the ANSI code page, unless it begins with the UTF-8
// byte-order mark that editors on other systems write: then it is UTF-8,
// names and values are converted both ways, and the mark stays in place.
#pragma once

#include "framework/base/Types.h"

// Copies the value of `key` in `section` of `fileName` into `buffer`, or
// `defaultValue` (NULL reads as "") when the file, the section or the key is
// missing or the file can't be read. At most `size` - 1 bytes are copied and
// the copy is always NUL-terminated; returns the number of bytes copied.
// A NULL section or key reads as the default: listing names is not supported.
DWORD GetPrivateProfileStringA(
    LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size, LPCSTR fileName);

// Sets `key` in `section` to `value`, creating the file, the section (at the
// end of the file) and the key (after the last line of its section) as
// needed. Only the key's own line changes, written as "key=value" CR LF; all
// other lines keep their bytes, except that a last line without a line end
// gets a CR LF when something is added after it. The file is written as
// CAtomicFile writes: through a symbolic link, in one step where its folder
// allows (a failed write then leaves it as it was), in place where only the
// file may be written. FALSE when the file can't be read or written, or when
// an argument is NULL; GetLastError() then gives the reason.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
