// The batch mode's FILE, read as the window takes files in.
#pragma once

#include <string>

class BatchRowSink;

// Reads the file at `path` into `rows`: a check report as "打开检查报告"
// opens it (verdicts and details kept), anything else as the import reads a
// URL file. `ignoreWords` are taken as the side panel's field takes them;
// they also mark the still unchecked rows of a report. False, with the
// reason in `problem`, when the file cannot be read or is a report with a
// line that does not fit; the rows before it were handed over. Paths and
// texts are UTF-8.
bool ReadBatchList(
    const std::string& path, const std::string& ignoreWords, BatchRowSink& rows, std::string& problem);
