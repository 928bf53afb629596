#include "check/RequestAddress.h"

#include <cstring>

namespace {

bool StartsWithNoCase(const CString& text, const char* prefix)
{
    CString head = text.Left(static_cast<int>(std::strlen(prefix)));
    return head.MakeLower() == prefix;
}

} // namespace

CString AddressWithScheme(const CString& text)
{
    if (text.IsEmpty())
        return CString();
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://") || text.Find("http:") >= 0)
        return text;
    return "http://" + text;
}
