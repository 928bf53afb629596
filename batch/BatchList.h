// The rows of a batch run: what the window's list holds for each (line
// number, URL, validity, probe details), packed for lists of millions of
// rows: the URLs end to end in one block, a byte for the verdict and the
// details in the list view's own compact table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/ProbeDetails.h"
#include "urllist/ProbeDetailTable.h"

// The validity column's texts, as the rows' states.
enum class RowVerdict : std::uint8_t {
    Unchecked,
    Valid, // "OK"
    Invalid, // "无效!"
    TimedOut, // "超时!"
    BadFormat, // "格式不正确！"
    Ignored, // "用户忽略！"
};
constexpr int kRowVerdicts = 6;

// The validity text of `verdict`, and the way back ("执行中" is unchecked).
const CString& ValidityText(RowVerdict verdict);
RowVerdict VerdictOfValidity(std::string_view validity);

class BatchList {
public:
    // Room for the URLs of a file of this size: a block that grew by copying
    // would need twice the memory at each step.
    void Reserve(std::size_t fileBytes);
    void Clear();
    void Add(int line, std::string_view url, RowVerdict verdict);

    int Count() const { return static_cast<int>(m_verdicts.size()); }
    int Line(int row) const { return m_lines[static_cast<std::size_t>(row)]; }
    std::string_view Url(int row) const;
    RowVerdict Verdict(int row) const { return m_verdicts[static_cast<std::size_t>(row)]; }

    // `details` null when the verdict comes without.
    void SetVerdict(int row, RowVerdict verdict, const ProbeDetails* details);
    // False when the row has none.
    bool Details(int row, ProbeDetails& details) const;

private:
    std::string m_urls;
    std::vector<std::size_t> m_urlEnds;
    std::vector<int> m_lines;
    std::vector<RowVerdict> m_verdicts;
    ProbeDetailTable m_details; // by row + 1
};
