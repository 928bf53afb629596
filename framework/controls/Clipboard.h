// Putting text on the desktop's clipboard.
#pragma once

#include "framework/base/CString.h"

// Replaces the clipboard's content by `text` (code page 936). FALSE when
// there is no clipboard to write to.
BOOL AfxSetClipboardText(const CString& text);
