#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/io/CAtomicFile.h"
#include "framework/io/CFile.h"
#include "framework/io/FileSystem.h"
#include "tests/framework/IoTestFiles.h"

using namespace std::string_literals;

namespace {

// Bytes no text layer may touch: NUL, CR, lone LF, high bytes.
std::string MixedRecord(int i)
{
    std::string record = "rec" + std::to_string(i) + "\r\n\0\xFF\xD6\xD0\n\0"s;
    record += std::string(static_cast<std::size_t>(i % 50), static_cast<char>('a' + i % 26));
    return record;
}

} // namespace

TEST(CFile, WritesExactlyTheBytesGivenWhateverTheirSize)
{
    ScratchFolder folder;
    const std::string path = folder / "out.bin";
    std::string expected;
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    for (int i = 0; i < 3000; ++i) {
        const std::string record = MixedRecord(i);
        ASSERT_TRUE(file.Write(record.data(), static_cast<UINT>(record.size())));
        expected += record;
        if (i == 1500) { // one write far larger than any buffer, between small ones
            const std::string block(3 * 1024 * 1024 + 7, '\x5A');
            ASSERT_TRUE(file.Write(block.data(), static_cast<UINT>(block.size())));
            expected += block;
        }
    }
    ASSERT_TRUE(file.Write("", 0));
    file.Close();
    EXPECT_FALSE(file.Failed());
    EXPECT_TRUE(file.GetLastErrorText().IsEmpty());
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(CFile, CreateTruncatesAndReadGivesTheBytesBack)
{
    ScratchFolder folder;
    const std::string path = folder / "data";
    WriteBytes(path, std::string(10000, 'o'));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        file.Write("new", 3);
    }
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    char buffer[64] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "new");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_FALSE(file.Failed());
}

TEST(CFile, OpenFailuresCarryTheSystemsReason)
{
    ScratchFolder folder;
    CFile missing;
    EXPECT_FALSE(missing.Open((folder / "absent").c_str(), CFile::modeWrite)); // no modeCreate
    EXPECT_EQ(missing.GetErrorNumber(), ENOENT);
    EXPECT_EQ(missing.GetLastErrorText(), std::strerror(ENOENT));
    EXPECT_FALSE(missing.IsOpen());

    CFile noFolder;
    EXPECT_FALSE(noFolder.Open((folder / "no/such/dir/x.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(noFolder.GetErrorNumber(), ENOENT);

    CFile directory;
    EXPECT_FALSE(directory.Open((folder / "").c_str(), CFile::modeRead));
    EXPECT_EQ(directory.GetErrorNumber(), EISDIR);

    // A failed open does not stick to the object's next open.
    ASSERT_TRUE(directory.Open((folder / "fresh").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(directory.Failed());
}

TEST(CFile, WriteFailureIsReportedAndSticks)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "/dev/full is missing here";
    CFile file;
    ASSERT_TRUE(file.Open("/dev/full", CFile::modeWrite));
    file.Write("line\r\n", 6);
    EXPECT_FALSE(file.Flush());
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(file.GetErrorNumber(), ENOSPC);
    EXPECT_EQ(file.GetLastErrorText(), std::strerror(ENOSPC));
    EXPECT_FALSE(file.Write("more", 4));
    file.Close();
    EXPECT_EQ(file.GetErrorNumber(), ENOSPC); // the first reason is kept

    CFile big; // a write too large to be buffered fails on the call itself
    ASSERT_TRUE(big.Open("/dev/full", CFile::modeWrite));
    const std::string block(1 << 20, 'x');
    EXPECT_FALSE(big.Write(block.data(), static_cast<UINT>(block.size())));
    EXPECT_EQ(big.GetErrorNumber(), ENOSPC);
}

TEST(CFile, FileNamesReachTheSystemAsUtf8)
{
    ScratchFolder folder;
    const std::vector<std::string> names
        = { "中文.txt", "bäck.txt", "señal.txt", "한국.txt", "\xF0\x9F\x98\x80.txt" };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const CString path = CString::FromUtf8(folder / name);
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Close();
        EXPECT_TRUE(FileExists(path));
        CAtomicFile replaced;
        ASSERT_TRUE(replaced.Open(path, CFile::modeCreate | CFile::modeWrite));
        replaced.Write("x", 1);
        EXPECT_TRUE(replaced.Commit());
        EXPECT_EQ(ReadBytes(folder / name), "x");
    }
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(folder.Names(), sorted);

    // Bytes that stand for no character name no file: nothing is opened or
    // made under a name made up from them.
    const CString unnamed = CString::FromUtf8(folder / "") + "bad\xFF.txt";
    CFile file;
    EXPECT_FALSE(file.Open(unnamed, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetErrorNumber(), EILSEQ);
    CAtomicFile replaced;
    EXPECT_FALSE(replaced.Open(unnamed, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(replaced.GetErrorNumber(), EILSEQ);
    EXPECT_FALSE(FileExists(unnamed));
    EXPECT_EQ(folder.Names(), sorted);
}

TEST(CAtomicFile, CommitReplacesTheTargetAndKeepsItsPermissions)
{
    ScratchFolder folder;
    const std::string path = folder / "export.txt";
    WriteBytes(path, "old contents that are longer than the new\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    CAtomicFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    file.Write("new\r\n", 5);
    EXPECT_EQ(ReadBytes(path), "old contents that are longer than the new\n"); // untouched until Commit
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    struct stat st { };
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "export.txt" });

    CAtomicFile fresh;
    ASSERT_TRUE(fresh.Open((folder / "new.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(fresh.Commit());
    EXPECT_EQ(ReadBytes(folder / "new.txt"), "");
}

TEST(CAtomicFile, EveryWayOfNotCommittingLeavesTheOldFileAlone)
{
    ScratchFolder folder;
    const std::string path = folder / "list.txt";
    const std::string old(5000, 'k');
    WriteBytes(path, old);

    { // dropped without Commit
        CAtomicFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        file.Write("x", 1);
    }
    { // closed without Commit
        CAtomicFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        file.Write("x", 1);
        file.Close();
        EXPECT_FALSE(file.Commit());
    }
    { // the disk fills up half-way
        FileSizeLimit limit(1000);
        CAtomicFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        for (int i = 0; i < 100; ++i)
            file.Write("0123456789abcdefghij\r\n", 22);
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(file.GetErrorNumber(), EFBIG);
        EXPECT_FALSE(file.GetLastErrorText().IsEmpty());
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "list.txt" });
}

TEST(CAtomicFile, FailsCleanlyWhereTheTargetCannotBeReplaced)
{
    ScratchFolder folder;
    const std::string directory = folder / "taken";
    std::filesystem::create_directory(directory);
    WriteBytes(directory + "/inside", "keep");

    CAtomicFile overDirectory;
    ASSERT_TRUE(overDirectory.Open(directory.c_str(), CFile::modeCreate | CFile::modeWrite));
    overDirectory.Write("x", 1);
    EXPECT_FALSE(overDirectory.Commit());
    EXPECT_NE(overDirectory.GetErrorNumber(), 0);
    EXPECT_EQ(ReadBytes(directory + "/inside"), "keep");
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "taken" });

    CAtomicFile noFolder;
    EXPECT_FALSE(noFolder.Open((folder / "gone/x.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(noFolder.GetErrorNumber(), ENOENT);
}

TEST(CAtomicFile, DevicesAndPipesAreWrittenNotReplaced)
{
    // A named pipe stands for a device such as /dev/null: a fault puts a
    // plain file in its place, here in a scratch folder. A process's link to
    // an unnamed pipe (a shell's process substitution) leads to no path.
    ScratchFolder folder;
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int fifoReader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fifoReader, 0);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    for (const std::string& path : { fifo, "/proc/self/fd/" + std::to_string(pipeFds[1]) }) {
        CAtomicFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) << path;
        file.Write("report", 6);
        EXPECT_TRUE(file.Commit()) << path;
    }
    char bytes[16];
    EXPECT_EQ(read(fifoReader, bytes, sizeof bytes), 6);
    EXPECT_EQ(read(pipeFds[0], bytes, sizeof bytes), 6);
    struct stat st { };
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // Nobody reads this one: the open fails at once instead of waiting.
    ASSERT_EQ(mkfifo((folder / "unread").c_str(), 0600), 0);
    CAtomicFile unread;
    EXPECT_FALSE(unread.Open((folder / "unread").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(unread.GetErrorNumber(), ENXIO);
    EXPECT_EQ(folder.Names(), (std::vector<std::string> { "fifo", "unread" }));
    for (const int fd : { fifoReader, pipeFds[0], pipeFds[1] })
        close(fd);
}
