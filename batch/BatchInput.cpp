#include "batch/BatchInput.h"

#include <filesystem>
#include <vector>

#include "batch/BatchList.h"
#include "framework/io/CStdioFile.h"
#include "urllist/CheckReportReader.h"
#include "urllist/UrlRules.h"

namespace {

bool ReadUrlLines(
    const CString& path, const std::vector<CString>& ignoreWords, BatchList& list, std::string& problem)
{
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        problem = file.GetLastErrorText().ToUtf8();
        return false;
    }
    CString line;
    while (file.ReadString(line)) {
        if (file.StartedOver())
            list.Clear();
        const CString& validity = ImportLine(line, ignoreWords);
        list.Add(list.Count() + 1, line.View(), VerdictOfValidity(validity.View()));
    }
    if (file.Failed()) {
        problem = file.GetLastErrorText().ToUtf8();
        return false;
    }
    return true;
}

} // namespace

bool ReadBatchList(
    const std::string& path, const std::string& ignoreWords, BatchList& list, std::string& problem)
{
    const CString ansiPath = CString::FromUtf8(path);
    CString ignoreList = CString::FromUtf8(ignoreWords);
    const std::vector<CString> words = NormalizeIgnoreList(ignoreList);
    list.Clear();
    std::error_code unknownSize;
    const auto bytes = std::filesystem::file_size(path, unknownSize);
    if (!unknownSize)
        list.Reserve(bytes);

    CheckReportProblem reportProblem;
    const BOOL isReport = ReadCheckReport(
        ansiPath,
        [&list, &words](const CheckReportRow& row) {
            RowVerdict verdict = VerdictOfValidity(row.validity.View());
            if (verdict == RowVerdict::Unchecked && IsUrlIgnored(CString(row.url), words))
                verdict = RowVerdict::Ignored;
            list.Add(row.line, row.url, verdict);
            if (row.details)
                list.SetVerdict(list.Count() - 1, verdict, row.details);
        },
        reportProblem);
    if (isReport)
        return true;
    if (reportProblem.line == 0) {
        problem = reportProblem.text.ToUtf8();
        return false;
    }
    // Its first line is no report's header: a list of addresses.
    if (reportProblem.line == 1)
        return ReadUrlLines(ansiPath, words, list, problem);
    problem = "a check report, but line " + std::to_string(reportProblem.line)
        + " is not one of its rows: " + reportProblem.text.ToUtf8();
    return false;
}
