// Running the current test again in a child process, for what one process
// can't show by itself: the program's real start-up from a folder of the
// test's choosing, or what a user other than root may not do.
//
//     TEST(Config, SomethingOnlyRootMayDo)
//     {
//         if (RanAsUnprivilegedChild())
//             return;
//         ... the checks, run as "nobody" when the test program is root ...
//     }
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildResult {
    int exitCode = -1; // -1: it did not exit by itself (killed, or never started)
    std::string output; // its standard output and error, together
};

// Runs `program` (this test program, or a link to it) with the current test
// as its only test and `arguments` after it, in this process's environment
// plus `environment` ("NAME=value" entries, replacing any of the same name);
// as the user "nobody" when `asNobody`. A child still running after `limit`
// is killed.
ChildResult RunCurrentTestIn(const std::string& program, const std::vector<std::string>& environment,
    bool asNobody, std::chrono::seconds limit = std::chrono::seconds(60),
    const std::vector<std::string>& arguments = {});

struct ProgramResult {
    int exitCode = -1; // -1: it did not exit by itself (killed, or never started)
    std::string out; // its standard output
    std::string err; // its standard error
};

// Runs `program` with `arguments`, in this process's environment with
// `environment` applied: "NAME=value" sets, a bare "NAME" removes. While it
// runs, `whileRunning` (when given) is called with its process id about
// every 10 ms. A child still running after `limit` is killed.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment, std::chrono::seconds limit,
    const std::function<void(pid_t)>& whileRunning = {});

// Expects the child to have run its one test, and passed.
void ExpectChildPassed(const ChildResult& child);

// True in a child started by RunCurrentTestIn.
bool IsTestChild();

// The file of this test program.
std::string TestProgramPath();

// This test program under `path`, by a hard link where the file system allows.
void PlaceTestProgram(const std::string& path);

// Where root would get past a permission the test is about: runs the
// current test again as "nobody", expects it to pass and returns true; the
// caller then has nothing left to do. False where the caller runs the
// checks itself (not root, or already the child).
bool RanAsUnprivilegedChild();
