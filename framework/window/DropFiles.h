// Files dropped on a window from the desktop's file manager. A window that
// accepts them (CWnd::DragAcceptFiles) is sent WM_DROPFILES with a drop
// handle naming the dropped local files; the handle is valid while the
// message is handled.
#pragma once

#include "framework/base/Types.h"

struct DropFiles;
using HDROP = const DropFiles*;

// With iFile 0xFFFFFFFF: the number of files dropped. Otherwise copies the
// full path of file iFile (code page 936) into lpszFile, cut to fit cch bytes
// with its terminating null, and returns its length without the null; with
// no buffer, returns the length alone. 0 for a file that is not there.
UINT DragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
