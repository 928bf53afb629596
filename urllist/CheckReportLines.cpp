#include "urllist/CheckReportLines.h"

#include <algorithm>

#include "check/ProbeDetails.h"
#include "framework/base/CodePage.h"
#include "framework/controls/CListCtrl.h"
#include "urllist/Validity.h"

namespace {

constexpr std::string_view kHead = "\xEF\xBB\xBF"
                                   "序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n";
constexpr std::string_view kFormulaStarts = "=+-@\t\r";
// Outcome texts kept; past this many the kept ones are dropped.
constexpr std::size_t kMostRepeatedTexts = 1024;

// True when `field` begins with apostrophes (any number, none included)
// followed by a character that starts a formula.
bool StartsLikeAFormula(std::string_view field, std::size_t leadingApostrophes)
{
    const std::size_t at = field.find_first_not_of('\'');
    return at != std::string_view::npos && at >= leadingApostrophes
        && kFormulaStarts.find(field[at]) != std::string_view::npos;
}

// A field holding a comma, a quote or a line break is quoted, its quotes
// doubled.
void AppendField(std::string& line, std::string_view field)
{
    const bool neutralise = StartsLikeAFormula(field, 0);
    const bool plain = std::none_of(
        field.begin(), field.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (plain) {
        if (neutralise)
            line += '\'';
        line += field;
        return;
    }
    line += '"';
    if (neutralise)
        line += '\'';
    for (const char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void AppendAnsiField(std::string& line, std::string_view ansi)
{
    // ASCII, as most fields are, is the same in UTF-8.
    if (std::all_of(ansi.begin(), ansi.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        AppendField(line, ansi);
    else
        AppendField(line, AnsiToUtf8(ansi));
}

} // namespace

std::string_view CheckReportLines::Head()
{
    return kHead;
}

std::string_view CheckReportLines::HeaderFields()
{
    return kHead.substr(3, kHead.size() - 5);
}

std::string_view CheckReportLines::WithoutNeutraliser(std::string_view field)
{
    return StartsLikeAFormula(field, 1) ? field.substr(1) : field;
}

const std::string& CheckReportLines::ValidityInUtf8(std::string_view ansi)
{
    const std::string key(ansi);
    if (const auto found = m_validities.find(key); found != m_validities.end())
        return found->second;
    return m_validities.emplace(key, AnsiToUtf8(ansi)).first->second;
}

const std::string& CheckReportLines::OutcomeInUtf8(const ProbeDetails& details)
{
    m_key.assign(1, static_cast<char>(details.outcome));
    m_key.append(std::to_string(details.dwStatus));
    m_key.append(1, '\0').append(details.strStatusText.View());
    m_key.append(1, '\0').append(details.strErrorText.View());
    if (const auto found = m_outcomes.find(m_key); found != m_outcomes.end())
        return found->second;
    if (m_outcomes.size() >= kMostRepeatedTexts)
        m_outcomes.clear();
    return m_outcomes.emplace(m_key, AnsiToUtf8(DescribeProbeOutcome(details).View())).first->second;
}

void CheckReportLines::Append(std::string& out, const CListCtrl& list, int row, const ProbeDetails* details)
{
    Append(out, list.GetItemTextView(row, COL_LINE), list.GetItemTextView(row, COL_URL),
        list.GetItemTextView(row, COL_VALIDITY), details);
}

void CheckReportLines::Append(std::string& out, std::string_view line, std::string_view url,
    std::string_view validity, const ProbeDetails* details)
{
    AppendAnsiField(out, line);
    out += ',';
    AppendAnsiField(out, url);
    out += ',';
    AppendField(out, ValidityInUtf8(validity));
    out += ',';
    if (details) {
        if (details->dwStatus != 0)
            out += std::to_string(details->dwStatus);
        out += ',';
        AppendAnsiField(out, details->strFinalUrl.View());
        out += ',';
        AppendField(out, OutcomeInUtf8(*details));
        out += ',';
        out += std::to_string(details->dwElapsedMs);
    } else {
        out += ",,,";
    }
    out += "\r\n";
}
