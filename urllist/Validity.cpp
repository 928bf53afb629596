#include "urllist/Validity.h"

namespace Validity {

const CString& Running()
{
    static const CString text = CString::FromUtf8("执行中");
    return text;
}

const CString& Valid()
{
    static const CString text("OK");
    return text;
}

const CString& Invalid()
{
    static const CString text = CString::FromUtf8("无效!");
    return text;
}

const CString& TimedOut()
{
    static const CString text = CString::FromUtf8("超时!");
    return text;
}

const CString& BadFormat()
{
    static const CString text = CString::FromUtf8("格式不正确！");
    return text;
}

const CString& Ignored()
{
    static const CString text = CString::FromUtf8("用户忽略！");
    return text;
}

} // namespace Validity
