// Reading a check report back: the one reader for every place that takes a
// report in (opening one from the File menu, restoring the recovery copy).
// It takes what CheckReportLines writes, also after a spreadsheet program
// saved it again: with or without the byte-order mark, CR LF or LF, any
// field quoted or not.
#pragma once

#include "framework/base/CString.h"
#include "urllist/CheckReportRows.h"

struct CheckReportProblem {
    // The first line that does not fit, counting from 1 (the header); 0
    // when the file could not be read.
    int line = 0;
    // The beginning of that line, or the system's reason for the failed read.
    CString text;
};

// Reads the report at `path` into `rows`. FALSE, with `problem` filled and
// `rows` to be dropped, when the file cannot be read or is no such report.
BOOL ReadCheckReport(LPCSTR path, CheckReportRows& rows, CheckReportProblem& problem);
