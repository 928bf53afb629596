// Where a batch run's check report goes: byte for byte the window's
// "导出检查报告", every row in list order with its probe details, into a
// file that is replaced whole once the report is complete, or to standard
// output.
#pragma once

#include <memory>
#include <string>

class BatchList;
class CAtomicFile;

class BatchReport {
public:
    BatchReport();
    ~BatchReport();
    BatchReport(const BatchReport&) = delete;
    BatchReport& operator=(const BatchReport&) = delete;

    // `path`: a file, "-" for standard output, or empty for no report. False,
    // with the reason, when the file cannot be made; nothing is written yet.
    bool Open(const std::string& path, std::string& problem);
    // False, with the reason, when the report could not be written whole.
    bool Write(const BatchList& list, std::string& problem);

private:
    bool m_toStdout = false;
    std::unique_ptr<CAtomicFile> m_file;
};
