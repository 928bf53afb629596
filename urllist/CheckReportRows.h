// The rows of a check report read back, in file order, ready to become the
// list's rows. A million rows cost their URL bytes and a few bytes each; the
// probe details are kept as the list view keeps them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "urllist/ProbeDetailTable.h"

class CheckReportRows {
public:
    int Count() const { return static_cast<int>(m_rows.size()); }
    int Line(int index) const { return m_rows[static_cast<std::size_t>(index)].line; }
    // In the program's code page, NUL-terminated.
    LPCSTR Url(int index) const;
    // One of the list's validity texts; a row that was running comes back
    // unchecked.
    const CString& Validity(int index) const;
    // FALSE when the row has no details.
    BOOL GetDetails(int index, ProbeDetails& details) const;

    // `validity` is one of the list's texts; `details` null when none.
    void Add(int line, std::string_view url, const CString& validity, const ProbeDetails* details);

private:
    struct Row {
        std::size_t urlAt; // in m_urls, each URL followed by a NUL
        int line;
        unsigned char validity; // index into ValidityTexts()
    };
    static const std::vector<const CString*>& ValidityTexts();

    std::vector<Row> m_rows;
    std::string m_urls;
    ProbeDetailTable m_details; // by row index + 1
};
