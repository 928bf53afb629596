// The import's rules for one line: clean-up, the format test and the ignore
// test.
#pragma once

#include <vector>

#include "framework/base/CString.h"

// Replaces every full-width full stop "。" by ".". The text is walked
// character by character, so the bytes A1 A3 that straddle two double-byte
// characters are left alone.
void ReplaceFullWidthStops(CString& text);

// At least one "." and no space.
bool IsUrlFormatOk(const CString& text);

// Normalises the ignore list in place (double spaces to single spaces, twice,
// then spaces to commas) and returns its words in order, up to the first
// empty word. An empty list gives no words and stays as it is.
std::vector<CString> NormalizeIgnoreList(CString& ignoreList);

// True when one of the words occurs in the text, compared exactly.
bool IsUrlIgnored(const CString& text, const std::vector<CString>& words);
