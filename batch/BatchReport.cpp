#include "batch/BatchReport.h"

#include <charconv>
#include <string>

#include "batch/BatchList.h"
#include "urllist/CheckReportLines.h"

bool WriteBatchReport(const BatchList& list, const std::function<bool(std::string_view)>& write)
{
    constexpr std::size_t kPiece = 1u << 20;
    std::string out(CheckReportLines::Head());
    out.reserve(kPiece + 4096);
    CheckReportLines lines;
    ProbeDetails details;
    for (int row = 0, rows = list.Count(); row < rows; ++row) {
        char number[16];
        const auto end = std::to_chars(number, number + sizeof number, list.Line(row)).ptr;
        const bool detailed = list.Details(row, details);
        lines.Append(out, std::string_view(number, static_cast<std::size_t>(end - number)), list.Url(row),
            ValidityText(list.Verdict(row)).View(), detailed ? &details : nullptr);
        if (out.size() >= kPiece) {
            if (!write(out))
                return false;
            out.clear();
        }
    }
    return write(out);
}
