// The validity texts of the list's column 2 and how a row is classified by
// them. Comparisons are exact byte comparisons in code page 936.
#pragma once

#include "framework/base/CString.h"

// Column indexes of the URL list.
constexpr int COL_LINE = 0;
constexpr int COL_URL = 1;
constexpr int COL_VALIDITY = 2;

namespace Validity {

const CString& Running(); // "执行中"
const CString& Valid(); // "OK"
const CString& Invalid(); // "无效!"
const CString& TimedOut(); // "超时!"
const CString& BadFormat(); // "格式不正确！"
const CString& Ignored(); // "用户忽略！"

inline bool IsUnchecked(const CString& text)
{
    return text.IsEmpty();
}
inline bool IsValid(const CString& text)
{
    return text == "OK";
}
inline bool IsRunning(const CString& text)
{
    return text == Running();
}
// A probe's verdict or a mark of the import: nothing more happens to the row
// unless the user asks for it to be checked again.
inline bool IsFinal(const CString& text)
{
    return !IsUnchecked(text) && !IsRunning(text);
}
// Every non-empty text other than "OK", "执行中" included.
inline bool IsInvalid(const CString& text)
{
    return !text.IsEmpty() && !IsValid(text);
}

} // namespace Validity
