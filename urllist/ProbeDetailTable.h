// The probe details of the list's rows, found by the row's tag (its item
// data), so they follow the row wherever clean-ups move it. A million rows
// with details cost a fixed record each, in tag order; the rare texts (an
// address redirects led to, the HTTP client's words) live in a table beside
// them, and reason phrases, which repeat, are kept once each.
#pragma once

#include <deque>
#include <unordered_map>
#include <vector>

#include "check/ProbeDetails.h"

class ProbeDetailTable {
public:
    void Keep(DWORD_PTR tag, const ProbeDetails& details);
    // False when the row with this tag has no details.
    bool Find(DWORD_PTR tag, ProbeDetails& details) const;
    void Forget(DWORD_PTR tag);
    // Forgets every row's details; the tags handed out from now on begin at
    // `firstTag`.
    void Clear(DWORD_PTR firstTag);

private:
    struct Record {
        DWORD elapsedMs;
        DWORD bytesRead;
        WORD status;
        ProbeOutcome outcome; // 0: no details
        BYTE phrase; // 0: none; 1..kPhraseInTexts - 1: m_phrases[phrase - 1]
    };
    struct Texts {
        CString statusText; // a reason phrase that did not fit among the kept ones
        CString finalUrl;
        CString errorText;
    };
    static constexpr BYTE kPhraseInTexts = 255;

    const Record* RecordOf(DWORD_PTR tag) const;
    BYTE PhraseIndex(const CString& phrase);

    std::deque<Record> m_records; // m_records[tag - m_firstTag]
    DWORD_PTR m_firstTag = 1;
    std::unordered_map<DWORD_PTR, Texts> m_texts;
    // Whether m_texts has an entry for the tag, by the same index: most
    // rows have none, and the table need not be asked.
    std::vector<bool> m_withTexts;
    std::vector<CString> m_phrases;
};
