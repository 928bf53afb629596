// Where the rows of a batch run's file go as they are read, so that probing
// can begin with the first of them.
#pragma once

#include <string_view>

#include "batch/BatchList.h"

class BatchRowSink {
public:
    virtual ~BatchRowSink() = default;
    // `details` null when the row has none (every unchecked row).
    virtual void Add(int line, std::string_view url, RowVerdict verdict, const ProbeDetails* details) = 0;
    // The rows handed over so far were read in the wrong encoding and come
    // again (see CStdioFile::StartedOver): they are all taken back.
    virtual void StartOver() = 0;
};
