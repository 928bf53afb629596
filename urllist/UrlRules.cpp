#include "urllist/UrlRules.h"

#include "framework/base/CodePage.h"
#include "urllist/Validity.h"

void ReplaceFullWidthStops(CString& text)
{
    const std::string& bytes = text.Bytes();
    if (bytes.find("\xA1\xA3") == std::string::npos)
        return;
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (IsDbcsLeadByte(byte) && i + 1 < bytes.size()) {
            if (byte == 0xA1 && static_cast<unsigned char>(bytes[i + 1]) == 0xA3)
                out += '.';
            else
                out.append(bytes, i, 2);
            ++i;
        } else {
            out += bytes[i];
        }
    }
    text = CString(std::move(out));
}

bool IsUrlFormatOk(const CString& text)
{
    return text.Find('.') >= 0 && text.Find(' ') < 0;
}

std::vector<CString> NormalizeIgnoreList(CString& ignoreList)
{
    std::vector<CString> words;
    if (ignoreList.IsEmpty())
        return words;
    ignoreList.Replace("  ", " ");
    ignoreList.Replace("  ", " ");
    ignoreList.Replace(' ', ',');
    int start = 0;
    for (;;) {
        const int comma = ignoreList.Find(',', start);
        const CString word = comma < 0 ? ignoreList.Mid(start) : ignoreList.Mid(start, comma - start);
        if (word.IsEmpty())
            break;
        words.push_back(word);
        if (comma < 0)
            break;
        start = comma + 1;
    }
    return words;
}

bool IsUrlIgnored(const CString& text, const std::vector<CString>& words)
{
    for (const CString& word : words) {
        if (text.Find(word) >= 0)
            return true;
    }
    return false;
}

const CString& ImportLine(CString& line, const std::vector<CString>& ignoreWords)
{
    static const CString unchecked;
    line.Trim();
    ReplaceFullWidthStops(line);
    if (IsUrlIgnored(line, ignoreWords))
        return Validity::Ignored();
    return IsUrlFormatOk(line) ? unchecked : Validity::BadFormat();
}
