// The check report of a batch run, byte for byte the window's
// "导出检查报告": every row in list order, with its probe details.
#pragma once

#include <functional>
#include <string_view>

class BatchList;

// Hands the report to `write` in pieces of about a megabyte; false as soon
// as `write` returns false.
bool WriteBatchReport(const BatchList& list, const std::function<bool(std::string_view)>& write);
