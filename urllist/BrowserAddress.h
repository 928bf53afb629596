// Which address a row's URL text may be opened as in the user's browser.
#pragma once

#include "framework/base/CString.h"

// The address the probe requests for `text`, as the web's URL standard
// serialises it (fragment included). Empty, with the reason for the user in
// `why`, for text that names a scheme other than http and https (a local
// path or another scheme could start programs), for empty text and for text
// the standard refuses.
CString BrowserAddress(const CString& text, CString& why);
