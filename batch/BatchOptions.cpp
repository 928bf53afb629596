#include "batch/BatchOptions.h"

#include <charconv>
#include <string_view>

namespace {

// The options that take a value, and the one that takes none.
constexpr std::string_view kValueOptions[] = { "--check", "--report", "--jobs", "--ignore" };

bool IsHelp(std::string_view arg)
{
    return arg == "--help" || arg == "-h";
}

// The option `arg` names, "--name" of "--name=value" included; empty when it
// names none of the batch mode's.
std::string_view BatchOptionIn(std::string_view arg)
{
    if (IsHelp(arg))
        return arg;
    for (const std::string_view option : kValueOptions) {
        if (arg == option
            || (arg.starts_with(option) && arg.size() > option.size() && arg[option.size()] == '='))
            return option;
    }
    return {};
}

bool ReadJobs(std::string_view text, int& jobs)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > kMostBatchJobs)
        return false;
    jobs = value;
    return true;
}

} // namespace

bool IsBatchCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            return false;
        if (!BatchOptionIn(arg).empty())
            return true;
    }
    return false;
}

bool ParseBatchOptions(int argc, char** argv, BatchOptions& options, std::string& problem)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (IsHelp(arg)) {
            options.help = true;
            continue;
        }
        const std::string_view option = BatchOptionIn(arg);
        if (option.empty()) {
            problem = "unexpected argument '" + std::string(arg) + "'";
            return false;
        }
        std::string_view value;
        if (arg.size() > option.size()) {
            value = arg.substr(option.size() + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            problem = "option " + std::string(option) + " needs a value";
            return false;
        }
        if (option == "--check") {
            options.file = value;
        } else if (option == "--report") {
            options.report = value;
        } else if (option == "--ignore") {
            options.ignore = value;
        } else if (!ReadJobs(value, options.jobs)) {
            problem = "--jobs takes a whole number from 1 to " + std::to_string(kMostBatchJobs) + ", not '"
                + std::string(value) + "'";
            return false;
        }
    }
    if (options.help)
        return true;
    if (options.file.empty()) {
        problem = "--check FILE is missing";
        return false;
    }
    return true;
}

const char* BatchUsage()
{
    return "Usage: brisquel [FILE]\n"
           "       brisquel --check FILE [--report OUT.csv] [--jobs N] [--ignore WORDS]\n"
           "\n"
           "Without options, opens the window (and imports FILE when one is named).\n"
           "\n"
           "--check FILE      check every address of FILE without a window: one address a\n"
           "                  line (UTF-8, UTF-16 with its mark, or GB18030), or a check\n"
           "                  report, whose verdicts are kept and whose unchecked rows are\n"
           "                  checked\n"
           "--report OUT.csv  write the check report there (\"-\": standard output)\n"
           "--jobs N          check up to N addresses at once, 1 to 256 (default 32)\n"
           "--ignore WORDS    mark rows holding one of these words \"用户忽略！\" and leave\n"
           "                  them unchecked (words separated by spaces or commas)\n"
           "--help            print this text\n"
           "\n"
           "Progress goes to standard error, and a summary line at the end.\n"
           "Ctrl+C stops starting checks, writes the report of what is known and exits\n"
           "with 130; --check of that report goes on from there.\n"
           "\n"
           "Exit status: 0 every row OK (rows ignored by --ignore aside), 1 some row not,\n"
           "2 bad usage, an unreadable FILE or an unwritable report, 130 interrupted.\n";
}
