// The lines of the check report: every row of the list with its verdict and
// what its probe found out, as CSV that spreadsheet programs open as it is
// (UTF-8 with a byte-order mark, CR LF, fields quoted where they need it).
// The export writes them, and so does the recovery copy; the report reader
// takes them apart again. An object writes the lines of one report: it
// keeps texts it made for the rows before.
//
// A spreadsheet runs a cell that begins with =, +, -, @, a tab or a CR as a
// formula, and URL lists come from anywhere: such a field is written with an
// apostrophe in front, the usual way of saying "text". So that every text
// reads back as it was, a field that already begins with apostrophes before
// one of those characters gets one more.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class CListCtrl;
struct ProbeDetails;

class CheckReportLines {
public:
    // The byte-order mark and the header line, CR LF included.
    static std::string_view Head();
    // The header line alone, without its line end.
    static std::string_view HeaderFields();
    static constexpr int kColumns = 7;

    // Appends row `row` of `list` as one line, CR LF included; `details`
    // null when the row has none.
    void Append(std::string& out, const CListCtrl& list, int row, const ProbeDetails* details);
    // The same from a row's three texts, in the program's code page.
    void Append(std::string& out, std::string_view line, std::string_view url, std::string_view validity,
        const ProbeDetails* details);

    // A field's text as it was before it was written: the apostrophe that
    // neutralised it taken off.
    static std::string_view WithoutNeutraliser(std::string_view field);

private:
    // A verdict in UTF-8, converted once.
    const std::string& ValidityInUtf8(std::string_view ansi);
    // The outcome's text in UTF-8, made once for each outcome, status,
    // reason phrase and error text: rows repeat them.
    const std::string& OutcomeInUtf8(const ProbeDetails& details);

    std::unordered_map<std::string, std::string> m_validities;
    std::unordered_map<std::string, std::string> m_outcomes;
    std::string m_key; // reused to look outcomes up
};
