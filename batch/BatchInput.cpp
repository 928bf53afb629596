#include "batch/BatchInput.h"

#include <vector>

#include "batch/BatchRowSink.h"
#include "framework/io/CStdioFile.h"
#include "urllist/CheckReportReader.h"
#include "urllist/UrlRules.h"

namespace {

bool ReadUrlLines(
    const CString& path, const std::vector<CString>& ignoreWords, BatchRowSink& rows, std::string& problem)
{
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        problem = file.GetLastErrorText().ToUtf8();
        return false;
    }
    CString line;
    int lineNumber = 0;
    while (file.ReadString(line)) {
        if (file.StartedOver()) {
            rows.StartOver();
            lineNumber = 0;
        }
        const CString& validity = ImportLine(line, ignoreWords);
        rows.Add(++lineNumber, line.View(), VerdictOfValidity(validity.View()), nullptr);
    }
    if (file.Failed()) {
        problem = file.GetLastErrorText().ToUtf8();
        return false;
    }
    return true;
}

} // namespace

bool ReadBatchList(
    const std::string& path, const std::string& ignoreWords, BatchRowSink& rows, std::string& problem)
{
    const CString ansiPath = CString::FromUtf8(path);
    CString ignoreList = CString::FromUtf8(ignoreWords);
    const std::vector<CString> words = NormalizeIgnoreList(ignoreList);

    CheckReportProblem reportProblem;
    const BOOL isReport = ReadCheckReport(
        ansiPath,
        [&rows, &words](const CheckReportRow& row) {
            RowVerdict verdict = VerdictOfValidity(row.validity.View());
            if (verdict == RowVerdict::Unchecked && IsUrlIgnored(CString(row.url), words))
                verdict = RowVerdict::Ignored;
            rows.Add(row.line, row.url, verdict, row.details);
        },
        reportProblem);
    if (isReport)
        return true;
    if (reportProblem.line == 0) {
        problem = reportProblem.text.ToUtf8();
        return false;
    }
    // Its first line is no report's header (and no row went out): a list
    // of addresses.
    if (reportProblem.line == 1)
        return ReadUrlLines(ansiPath, words, rows, problem);
    problem = "a check report, but line " + std::to_string(reportProblem.line)
        + " is not one of its rows: " + reportProblem.text.ToUtf8();
    return false;
}
