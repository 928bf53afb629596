#include "urllist/ProbeDetailTable.h"

#include <algorithm>

static_assert(sizeof(ProbeOutcome) == 1);

const ProbeDetailTable::Record* ProbeDetailTable::RecordOf(DWORD_PTR tag) const
{
    if (tag < m_firstTag || tag - m_firstTag >= m_records.size())
        return nullptr;
    const Record& record = m_records[tag - m_firstTag];
    return record.outcome == ProbeOutcome {} ? nullptr : &record;
}

BYTE ProbeDetailTable::PhraseIndex(const CString& phrase)
{
    if (phrase.IsEmpty())
        return 0;
    const auto found = std::find(m_phrases.begin(), m_phrases.end(), phrase);
    if (found != m_phrases.end())
        return static_cast<BYTE>(found - m_phrases.begin() + 1);
    if (m_phrases.size() + 1 >= kPhraseInTexts)
        return kPhraseInTexts;
    m_phrases.push_back(phrase);
    return static_cast<BYTE>(m_phrases.size());
}

void ProbeDetailTable::Keep(DWORD_PTR tag, const ProbeDetails& details)
{
    if (tag < m_firstTag)
        return;
    const std::size_t index = tag - m_firstTag;
    if (index >= m_records.size()) {
        m_records.resize(index + 1, Record {});
        m_withTexts.resize(index + 1, false);
    }
    Record& record = m_records[index];
    record.elapsedMs = details.dwElapsedMs;
    record.bytesRead = details.dwBytesRead;
    record.status = static_cast<WORD>(std::min<DWORD>(details.dwStatus, 0xFFFF));
    record.outcome = details.outcome;
    record.phrase = PhraseIndex(details.strStatusText);
    Texts texts;
    if (record.phrase == kPhraseInTexts)
        texts.statusText = details.strStatusText;
    texts.finalUrl = details.strFinalUrl;
    texts.errorText = details.strErrorText;
    const bool withTexts
        = !texts.statusText.IsEmpty() || !texts.finalUrl.IsEmpty() || !texts.errorText.IsEmpty();
    if (withTexts)
        m_texts[tag] = std::move(texts);
    else if (m_withTexts[index])
        m_texts.erase(tag);
    m_withTexts[index] = withTexts;
}

bool ProbeDetailTable::Find(DWORD_PTR tag, ProbeDetails& details) const
{
    const Record* record = RecordOf(tag);
    if (!record)
        return false;
    details = ProbeDetails {};
    details.outcome = record->outcome;
    details.dwStatus = record->status;
    details.dwElapsedMs = record->elapsedMs;
    details.dwBytesRead = record->bytesRead;
    if (record->phrase != 0 && record->phrase != kPhraseInTexts)
        details.strStatusText = m_phrases[record->phrase - 1u];
    if (!m_withTexts[tag - m_firstTag])
        return true;
    if (const auto texts = m_texts.find(tag); texts != m_texts.end()) {
        if (record->phrase == kPhraseInTexts)
            details.strStatusText = texts->second.statusText;
        details.strFinalUrl = texts->second.finalUrl;
        details.strErrorText = texts->second.errorText;
    }
    return true;
}

void ProbeDetailTable::Forget(DWORD_PTR tag)
{
    if (tag < m_firstTag || tag - m_firstTag >= m_records.size())
        return;
    m_records[tag - m_firstTag] = Record {};
    if (m_withTexts[tag - m_firstTag])
        m_texts.erase(tag);
    m_withTexts[tag - m_firstTag] = false;
}

void ProbeDetailTable::Clear(DWORD_PTR firstTag)
{
    m_records = {};
    m_texts = {};
    m_withTexts = {};
    m_phrases.clear();
    m_firstTag = firstTag;
}
