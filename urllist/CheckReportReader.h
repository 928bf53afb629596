// Reading a check report back: the one reader for every place that takes a
// report in (opening one from the File menu, restoring the recovery copy).
// It takes what CheckReportLines writes, also after a spreadsheet program
// saved it again: with or without the byte-order mark, CR LF or LF, any
// field quoted or not.
#pragma once

#include <functional>

#include "check/ProbeDetails.h"
#include "framework/base/CString.h"

// One row of a report, valid during the call it is handed to.
struct CheckReportRow {
    int line; // 序号
    LPCSTR url; // in the program's code page
    // One of the list's validity texts; a row that was running comes back
    // unchecked.
    const CString& validity;
    // Null when the row has none; an unchecked row has none. The report
    // does not keep the bytes read: they are kBytesReadUnknown.
    const ProbeDetails* details;
};

struct CheckReportProblem {
    // The first line that does not fit, counting from 1 (the header); 0
    // when the file could not be read.
    int line = 0;
    // The beginning of that line, or the system's reason for the failed read.
    CString text;
};

// Reads the report at `path`, handing its rows to `takeRow` in file order.
// FALSE, with `problem` filled, when the file cannot be read or a line is
// no row of such a report; the rows before it have been handed over then.
BOOL ReadCheckReport(
    LPCSTR path, const std::function<void(const CheckReportRow&)>& takeRow, CheckReportProblem& problem);
