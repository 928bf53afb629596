#include "urllist/BrowserAddress.h"

#include "check/ProbeDetails.h"
#include "check/RequestAddress.h"
#include "framework/inet/AfxParseURL.h"

namespace {

bool StartsWithNoCase(const CString& text, const char* prefix)
{
    CString head = text.Left(static_cast<int>(std::char_traits<char>::length(prefix)));
    return head.MakeLower() == prefix;
}

// A scheme is letters, digits, '+', '-', '.' before a ':' that comes before
// any '/'; "example.test:8080/x" reads as a host with a port, not a scheme.
bool HasScheme(const CString& text)
{
    const int colon = text.Find(':');
    if (colon <= 0)
        return false;
    for (int i = 0; i < colon; ++i) {
        const char ch = text.GetAt(i);
        const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
        if (!letter && !(i > 0 && ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.')))
            return false;
    }
    // host:port — digits straight after the colon.
    const int after = colon + 1;
    if (after < text.GetLength() && text.GetAt(after) >= '0' && text.GetAt(after) <= '9')
        return false;
    return true;
}

} // namespace

CString BrowserAddress(const CString& text, CString& why)
{
    const bool web = StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://");
    if (text.IsEmpty() || (!web && HasScheme(text))) {
        why = CString::FromUtf8("只能在浏览器中打开 http:// 或 https:// 网址");
        return CString();
    }
    CString address;
    WebUrlFault fault = WebUrlFault::None;
    if (!AfxCanonicalizeUrl(AddressWithScheme(text), address, &fault))
        why = CString::FromUtf8("网址格式无法识别（") + DescribeUrlFault(fault) + CString::FromUtf8("）");
    return address;
}
