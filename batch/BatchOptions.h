// The batch mode's command line:
//
//     brisquel --check FILE [--report OUT.csv] [--jobs N] [--ignore WORDS]
//     brisquel --help
//
// Texts stay as the shell passed them (UTF-8).
#pragma once

#include <string>

struct BatchOptions {
    std::string file; // the list or check report to check
    std::string report; // where the report goes; empty: nowhere, "-": standard output
    int jobs = 32; // probes at once
    std::string ignore; // as the side panel's ignore field takes them
    bool help = false;
};

constexpr int kMostBatchJobs = 256;

// True when the command line is the batch mode's: one of its options comes
// before any "--". Anything else starts the window.
bool IsBatchCommandLine(int argc, char** argv);

// False, with what is wrong in `problem`, for a command line the batch mode
// cannot run.
bool ParseBatchOptions(int argc, char** argv, BatchOptions& options, std::string& problem);

// What --help prints.
const char* BatchUsage();
