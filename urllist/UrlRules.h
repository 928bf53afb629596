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

// The import's reading of one line: trims it, makes its full-width stops
// dots and gives the validity text its row starts with: "用户忽略！" when an
// ignore word occurs in it, else "格式不正确！" when it fails the format
// test, else an empty text (the row is to be checked).
const CString& ImportLine(CString& line, const std::vector<CString>& ignoreWords);
