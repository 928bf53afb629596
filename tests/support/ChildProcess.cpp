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
    out.insert(out.end(), added.begin(), added.end());
    out.emplace_back(kChildMark);
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

} // namespace

ChildResult RunCurrentTestIn(const std::string& program, const std::vector<std::string>& environment,
    bool asNobody, std::chrono::seconds limit, const std::vector<std::string>& arguments)
{
    ChildResult result;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::vector<std::string> args { program,
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name() };
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = ChildEnvironment(environment);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    uid_t uid = 0;
    gid_t gid = 0;
    if (asNobody) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) {
            result.output = "no user \"nobody\" on this system";
            return result;
        }
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.output = "pipe failed";
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        // Only system calls between fork and exec: the parent has threads.
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        if (asNobody
            && (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0))
            _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        result.output = "fork failed";
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool killed = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        pollfd fd { pipeFds[0], POLLIN, 0 };
        const int ready = poll(&fd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            break;
        if (n > 0)
            result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (killed)
        result.output += "\n[killed after " + std::to_string(limit.count()) + " s]";
    else if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
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
