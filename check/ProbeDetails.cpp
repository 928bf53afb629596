#include "check/ProbeDetails.h"

#include <charconv>
#include <vector>

#include "framework/inet/InternetBounds.h"

namespace {

CString T(const char* utf8)
{
    return CString::FromUtf8(utf8);
}

// The outcomes told by a fixed text.
struct FixedText {
    ProbeOutcome outcome;
    const char* utf8;
};
constexpr FixedText kFixedUtf8[] = {
    { ProbeOutcome::PageValid, "页面正常" },
    { ProbeOutcome::DomainErrorPage, "域名纠错页面" },
    { ProbeOutcome::EmptyPage, "页面为空" },
    { ProbeOutcome::NameNotResolved, "域名无法解析" },
    { ProbeOutcome::ConnectionRefused, "连接被拒绝" },
    { ProbeOutcome::ConnectTimeout, "连接超时" },
    { ProbeOutcome::TooManyRedirects, "重定向次数过多" },
};
// The fixed texts in the program's code page, converted once: a check
// report describes every row.
struct FixedAnsiText {
    ProbeOutcome outcome;
    CString text;
};
const std::vector<FixedAnsiText>& FixedTexts()
{
    static const std::vector<FixedAnsiText> texts = [] {
        std::vector<FixedAnsiText> converted;
        for (const FixedText& fixed : kFixedUtf8)
            converted.push_back({ fixed.outcome, T(fixed.utf8) });
        return converted;
    }();
    return texts;
}

constexpr const char* kTlsLabel = "TLS/证书错误";
constexpr const char* kBadUrlLabel = "网址格式无法识别";
constexpr const char* kOtherLabel = "其他错误";
constexpr const char* kLabelSeparator = "：";

CString WithText(const char* utf8Label, const CString& text)
{
    return text.IsEmpty() ? T(utf8Label) : T(utf8Label) + T(kLabelSeparator) + text;
}

// Takes `utf8` off the front of `rest`; false when it is not there.
bool TakeText(std::string_view& rest, const char* utf8)
{
    const CString text = T(utf8);
    if (!rest.starts_with(text.View()))
        return false;
    rest.remove_prefix(text.View().size());
    return true;
}

// Takes a decimal number off the front of `rest`.
bool TakeNumber(std::string_view& rest, unsigned long& value)
{
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc())
        return false;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    return true;
}

// "label" or "label：text"; the text goes to `text`.
bool TakeLabelled(std::string_view rest, const char* utf8Label, CString& text)
{
    if (!TakeText(rest, utf8Label))
        return false;
    if (!rest.empty() && !TakeText(rest, kLabelSeparator))
        return false;
    text = CString(rest);
    return true;
}

} // namespace

CString DescribeProbeOutcome(const ProbeDetails& details)
{
    for (const FixedAnsiText& fixed : FixedTexts()) {
        if (fixed.outcome == details.outcome)
            return fixed.text;
    }
    CString text;
    switch (details.outcome) {
    case ProbeOutcome::HttpStatus:
        text.Format("HTTP %u", static_cast<unsigned>(details.dwStatus));
        if (!details.strStatusText.IsEmpty())
            text += " " + details.strStatusText;
        return text;
    case ProbeOutcome::TlsFailure:
        return WithText(kTlsLabel, details.strErrorText);
    case ProbeOutcome::Stalled:
        text.Format(T("%ld 秒内没有收到数据"), AfxGetInternetBounds().stallSeconds);
        return text;
    case ProbeOutcome::TotalTimeout:
        text.Format(T("总耗时超过 %ld 秒"), AfxGetInternetBounds().totalSeconds);
        return text;
    case ProbeOutcome::BadUrl:
        return WithText(kBadUrlLabel, details.strErrorText);
    default:
        break;
    }
    return WithText(kOtherLabel, details.strErrorText);
}

BOOL ReadProbeOutcome(const CString& text, ProbeDetails& details)
{
    for (const FixedAnsiText& fixed : FixedTexts()) {
        if (text == fixed.text) {
            details.outcome = fixed.outcome;
            return TRUE;
        }
    }
    if (TakeLabelled(text.View(), kTlsLabel, details.strErrorText)) {
        details.outcome = ProbeOutcome::TlsFailure;
        return TRUE;
    }
    if (TakeLabelled(text.View(), kBadUrlLabel, details.strErrorText)) {
        details.outcome = ProbeOutcome::BadUrl;
        return TRUE;
    }
    if (TakeLabelled(text.View(), kOtherLabel, details.strErrorText)) {
        details.outcome = ProbeOutcome::ClientError;
        return TRUE;
    }
    std::string_view rest = text.View();
    unsigned long number = 0;
    if (rest.starts_with("HTTP ")) {
        rest.remove_prefix(5);
        if (!TakeNumber(rest, number) || number == 0 || number > 0xFFFF || !(rest.empty() || rest[0] == ' '))
            return FALSE;
        details.outcome = ProbeOutcome::HttpStatus;
        details.dwStatus = static_cast<DWORD>(number);
        details.strStatusText = CString(rest.substr(rest.empty() ? 0 : 1));
        return TRUE;
    }
    // The limits in these two texts are those of the run that wrote them;
    // the text shown again gives today's.
    if (TakeNumber(rest, number) && TakeText(rest, " 秒内没有收到数据") && rest.empty()) {
        details.outcome = ProbeOutcome::Stalled;
        return TRUE;
    }
    rest = text.View();
    if (TakeText(rest, "总耗时超过 ") && TakeNumber(rest, number) && TakeText(rest, " 秒") && rest.empty()) {
        details.outcome = ProbeOutcome::TotalTimeout;
        return TRUE;
    }
    return FALSE;
}

CString DescribeUrlFault(WebUrlFault fault)
{
    switch (fault) {
    case WebUrlFault::None:
        break;
    case WebUrlFault::Scheme:
        return T("不是 http 或 https 网址");
    case WebUrlFault::Host:
        return T("主机名为空或含有不允许的字符");
    case WebUrlFault::DomainName:
        return T("国际化域名无法转换");
    case WebUrlFault::Ipv4Address:
        return T("IPv4 地址不正确");
    case WebUrlFault::Ipv6Address:
        return T("IPv6 地址不正确");
    case WebUrlFault::Port:
        return T("端口不正确");
    }
    return CString();
}

CString DescribeProbeDetails(const ProbeDetails& details)
{
    CString text = DescribeProbeOutcome(details);
    CString line;
    if (details.dwStatus != 0 && details.outcome != ProbeOutcome::HttpStatus) {
        line.Format(T("\nHTTP 状态：%u"), static_cast<unsigned>(details.dwStatus));
        text += line;
    }
    if (!details.strFinalUrl.IsEmpty())
        text += T("\n最终网址：") + details.strFinalUrl;
    if (details.dwBytesRead == kBytesReadUnknown) {
        line.Format(T("\n耗时：%u 毫秒"), static_cast<unsigned>(details.dwElapsedMs));
    } else {
        line.Format(T("\n耗时：%u 毫秒，读取 %u 字节"), static_cast<unsigned>(details.dwElapsedMs),
            static_cast<unsigned>(details.dwBytesRead));
    }
    return text + line;
}
