// The validity texts of the list's column 2 and how a row is classified by
// them. Comparisons are exact byte comparisons in code page 936.
#pragma once

#include <string_view>

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

inline bool IsUnchecked(std::string_view text)
{
    return text.empty();
}
inline bool IsValid(std::string_view text)
{
    return text == "OK";
}
inline bool IsRunning(std::string_view text)
{
    return text == Running().View();
}
// A probe's verdict or a mark of the import: nothing more happens to the row
// unless the user asks for it to be checked again.
inline bool IsFinal(std::string_view text)
{
    return !IsUnchecked(text) && !IsRunning(text);
}
// A probe's verdict that the page is not there: "无效!" or "超时!".
inline bool IsFailed(std::string_view text)
{
    return text == Invalid().View() || text == TimedOut().View();
}
// Every non-empty text other than "OK", "执行中" included.
inline bool IsInvalid(std::string_view text)
{
    return !text.empty() && !IsValid(text);
}

} // namespace Validity
