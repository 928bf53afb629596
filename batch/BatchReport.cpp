#include "batch/BatchReport.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <string_view>

#include "batch/BatchList.h"
#include "framework/io/CAtomicFile.h"
#include "urllist/CheckReportLines.h"

namespace {

// Hands the report to `write` in pieces of about a megabyte; false as soon
// as `write` returns false.
bool WriteLines(const BatchList& list, const std::function<bool(std::string_view)>& write)
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

} // namespace

BatchReport::BatchReport() = default;

// Without a Write, the file's new contents are abandoned and it stays as it was.
BatchReport::~BatchReport() = default;

bool BatchReport::Open(const std::string& path, std::string& problem)
{
    m_toStdout = path == "-";
    if (m_toStdout || path.empty())
        return true;
    m_file = std::make_unique<CAtomicFile>();
    if (!m_file->Open(CString::FromUtf8(path), CFile::modeCreate | CFile::modeWrite)) {
        problem = m_file->GetLastErrorText().ToUtf8();
        return false;
    }
    return true;
}

bool BatchReport::Write(const BatchList& list, std::string& problem)
{
    if (m_toStdout) {
        const bool written = WriteLines(list, [](std::string_view bytes) {
            return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
        });
        if (!written || std::fflush(stdout) != 0) {
            problem = "cannot write to standard output";
            return false;
        }
        return true;
    }
    if (!m_file)
        return true;
    // A failed write is sticky: Commit then fails with its reason.
    WriteLines(list, [this](std::string_view bytes) {
        return m_file->Write(bytes.data(), static_cast<UINT>(bytes.size())) != FALSE;
    });
    if (!m_file->Commit()) {
        problem = m_file->GetLastErrorText().ToUtf8();
        return false;
    }
    return true;
}
