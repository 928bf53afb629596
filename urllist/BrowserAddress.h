// Which address a row's URL text may be opened as in the user's browser.
#pragma once

#include "framework/base/CString.h"

// The text itself when it starts with http:// or https:// (any letter case),
// "http://" + text when it names no scheme at all, and empty (refused) for
// any other scheme or for empty text.
CString BrowserAddress(const CString& text);
