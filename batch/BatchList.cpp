#include "batch/BatchList.h"

#include "urllist/Validity.h"

const CString& ValidityText(RowVerdict verdict)
{
    static const CString unchecked;
    switch (verdict) {
    case RowVerdict::Valid:
        return Validity::Valid();
    case RowVerdict::Invalid:
        return Validity::Invalid();
    case RowVerdict::TimedOut:
        return Validity::TimedOut();
    case RowVerdict::BadFormat:
        return Validity::BadFormat();
    case RowVerdict::Ignored:
        return Validity::Ignored();
    case RowVerdict::Unchecked:
        break;
    }
    return unchecked;
}

RowVerdict VerdictOfValidity(std::string_view validity)
{
    for (int i = 1; i < kRowVerdicts; ++i) {
        const auto verdict = static_cast<RowVerdict>(i);
        if (validity == ValidityText(verdict).View())
            return verdict;
    }
    return RowVerdict::Unchecked;
}

void BatchList::Reserve(std::size_t fileBytes)
{
    m_urls.reserve(fileBytes);
}

void BatchList::Clear()
{
    m_urls.clear();
    m_urlEnds.clear();
    m_lines.clear();
    m_verdicts.clear();
    m_details.Clear(1);
}

void BatchList::Add(int line, std::string_view url, RowVerdict verdict)
{
    m_urls.append(url);
    m_urlEnds.push_back(m_urls.size());
    m_lines.push_back(line);
    m_verdicts.push_back(verdict);
}

std::string_view BatchList::Url(int row) const
{
    const auto index = static_cast<std::size_t>(row);
    const std::size_t begin = index == 0 ? 0 : m_urlEnds[index - 1];
    return std::string_view(m_urls).substr(begin, m_urlEnds[index] - begin);
}

void BatchList::SetVerdict(int row, RowVerdict verdict, const ProbeDetails* details)
{
    m_verdicts[static_cast<std::size_t>(row)] = verdict;
    const auto tag = static_cast<DWORD_PTR>(row) + 1;
    if (details)
        m_details.Keep(tag, *details);
    else
        m_details.Forget(tag);
}

bool BatchList::Details(int row, ProbeDetails& details) const
{
    return m_details.Find(static_cast<DWORD_PTR>(row) + 1, details);
}
