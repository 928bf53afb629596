#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kChildMark = "BRISQUEL_TEST_CHILD=1";

std::string NameOf(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

// This process's environment with `added` applied: "NAME=value" sets, a
// bare "NAME" removes; never the mark of a test child.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& added)
{
    std::vector<std::string> out;
    for (char** entry = environ; *entry; ++entry) {
        const std::string name = NameOf(*entry);
        bool replaced = name == NameOf(kChildMark);
        for (const std::string& mine : added)
            replaced = replaced || NameOf(mine) == name;
        if (!replaced)
            out.emplace_back(*entry);
    }
    for (const std::string& mine : added)
        if (mine.find('=') != std::string::npos)
            out.push_back(mine);
    return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

struct ChildRun {
    std::vector<std::string> args; // the program first
    std::vector<std::string> env;
    bool asNobody = false;
    bool mergeErrors = false; // standard error into standard output
    std::chrono::seconds limit;
    std::function<void(pid_t)> whileRunning;
};

ProgramResult RunChild(const ChildRun& run)
{
    ProgramResult result;
    std::vector<std::string> args = run.args;
    std::vector<std::string> env = run.env;
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    uid_t uid = 0;
    gid_t gid = 0;
    if (run.asNobody) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) {
            result.out = "no user \"nobody\" on this system";
            return result;
        }
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }

    int outFds[2];
    int errFds[2];
    if (pipe2(outFds, O_CLOEXEC) != 0 || pipe2(errFds, O_CLOEXEC) != 0) {
        result.out = "pipe failed";
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        // Only system calls between fork and exec: the parent has threads.
        dup2(outFds[1], STDOUT_FILENO);
        dup2(run.mergeErrors ? outFds[1] : errFds[1], STDERR_FILENO);
        if (run.asNobody
            && (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0))
            _exit(126);
        execve(args[0].c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(outFds[1]);
    close(errFds[1]);
    if (pid < 0) {
        close(outFds[0]);
        close(errFds[0]);
        result.out = "fork failed";
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + run.limit;
    bool killed = false;
    pollfd fds[2] = { { outFds[0], POLLIN, 0 }, { errFds[0], POLLIN, 0 } };
    std::string* texts[2] = { &result.out, &result.err };
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        if (run.whileRunning)
            run.whileRunning(pid);
        const int ready = poll(fds, 2, 10);
        if (ready < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2 && ready > 0; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (killed)
        result.out += "\n[killed after " + std::to_string(run.limit.count()) + " s]";
    else if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

} // namespace

ChildResult RunCurrentTestIn(const std::string& program, const std::vector<std::string>& environment,
    bool asNobody, std::chrono::seconds limit, const std::vector<std::string>& arguments)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    ChildRun run { { program, std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name() },
        ChildEnvironment(environment), asNobody, true, limit, {} };
    run.env.emplace_back(kChildMark);
    run.args.insert(run.args.end(), arguments.begin(), arguments.end());
    const ProgramResult result = RunChild(run);
    return { result.exitCode, result.out };
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment, std::chrono::seconds limit,
    const std::function<void(pid_t)>& whileRunning)
{
    ChildRun run { { program }, ChildEnvironment(environment), false, false, limit, whileRunning };
    run.args.insert(run.args.end(), arguments.begin(), arguments.end());
    return RunChild(run);
}

void ExpectChildPassed(const ChildResult& child)
{
    // A filter that matched nothing would pass as well.
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test."), std::string::npos) << child.output;
    if (std::getenv("BRISQUEL_SHOW_CHILD_OUTPUT"))
        std::fputs(child.output.c_str(), stderr);
}

bool IsTestChild()
{
    const char* mark = std::getenv(NameOf(kChildMark).c_str());
    return mark && *mark;
}

std::string TestProgramPath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

void PlaceTestProgram(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_hard_link(TestProgramPath(), path, error);
    if (error)
        std::filesystem::copy_file(TestProgramPath(), path);
}

bool RanAsUnprivilegedChild()
{
    if (IsTestChild() || geteuid() != 0)
        return false;
    ExpectChildPassed(RunCurrentTestIn(TestProgramPath(), {}, true));
    return true;
}
