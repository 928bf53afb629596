#include "check/ProbeDetails.h"

#include "framework/inet/InternetBounds.h"

namespace {

CString T(const char* utf8)
{
    return CString::FromUtf8(utf8);
}

CString WithText(const char* utf8Label, const CString& text)
{
    return text.IsEmpty() ? T(utf8Label) : T(utf8Label) + T("：") + text;
}

} // namespace

CString DescribeProbeOutcome(const ProbeDetails& details)
{
    CString text;
    switch (details.outcome) {
    case ProbeOutcome::PageValid:
        return T("页面正常");
    case ProbeOutcome::DomainErrorPage:
        return T("域名纠错页面");
    case ProbeOutcome::HttpStatus:
        text.Format("HTTP %u", static_cast<unsigned>(details.dwStatus));
        if (!details.strStatusText.IsEmpty())
            text += " " + details.strStatusText;
        return text;
    case ProbeOutcome::EmptyPage:
        return T("页面为空");
    case ProbeOutcome::NameNotResolved:
        return T("域名无法解析");
    case ProbeOutcome::ConnectionRefused:
        return T("连接被拒绝");
    case ProbeOutcome::ConnectTimeout:
        return T("连接超时");
    case ProbeOutcome::TlsFailure:
        return WithText("TLS/证书错误", details.strErrorText);
    case ProbeOutcome::TooManyRedirects:
        return T("重定向次数过多");
    case ProbeOutcome::Stalled:
        text.Format(T("%ld 秒内没有收到数据"), AfxGetInternetBounds().stallSeconds);
        return text;
    case ProbeOutcome::TotalTimeout:
        text.Format(T("总耗时超过 %ld 秒"), AfxGetInternetBounds().totalSeconds);
        return text;
    case ProbeOutcome::BadUrl:
        return WithText("网址格式无法识别", details.strErrorText);
    case ProbeOutcome::ClientError:
        break;
    }
    return WithText("其他错误", details.strErrorText);
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
    line.Format(T("\n耗时：%u 毫秒，读取 %u 字节"), static_cast<unsigned>(details.dwElapsedMs),
        static_cast<unsigned>(details.dwBytesRead));
    return text + line;
}
