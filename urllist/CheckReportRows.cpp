#include "urllist/CheckReportRows.h"

#include <algorithm>

#include "urllist/Validity.h"

const std::vector<const CString*>& CheckReportRows::ValidityTexts()
{
    static const CString unchecked;
    static const std::vector<const CString*> texts { &unchecked, &Validity::Valid(), &Validity::Invalid(),
        &Validity::TimedOut(), &Validity::BadFormat(), &Validity::Ignored() };
    return texts;
}

LPCSTR CheckReportRows::Url(int index) const
{
    return m_urls.data() + m_rows[static_cast<std::size_t>(index)].urlAt;
}

const CString& CheckReportRows::Validity(int index) const
{
    return *ValidityTexts()[m_rows[static_cast<std::size_t>(index)].validity];
}

BOOL CheckReportRows::GetDetails(int index, ProbeDetails& details) const
{
    return m_details.Find(static_cast<DWORD_PTR>(index) + 1, details);
}

void CheckReportRows::Add(
    int line, std::string_view url, const CString& validity, const ProbeDetails* details)
{
    const auto& texts = ValidityTexts();
    const auto found = std::find_if(
        texts.begin(), texts.end(), [&validity](const CString* text) { return *text == validity; });
    const auto index = static_cast<unsigned char>(found == texts.end() ? 0 : found - texts.begin());
    m_rows.push_back({ m_urls.size(), line, index });
    m_urls += url;
    m_urls += '\0';
    if (details && index != 0)
        m_details.Keep(m_rows.size(), *details);
}
