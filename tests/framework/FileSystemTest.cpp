#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "framework/io/FileSystem.h"
#include "tests/framework/IoTestFiles.h"

TEST(FileExists, OnlyReadableRegularFilesCount)
{
    ScratchFolder folder;
    WriteBytes(folder / "list.txt", "http://example.test/\n");
    WriteBytes(folder / "empty.txt", "");
    WriteBytes(folder / "\xE4\xB8\xAD.txt", "x"); // 中.txt on disk
    std::filesystem::create_directory(folder / "dir");
    std::filesystem::create_symlink(folder / "list.txt", folder / "link");
    std::filesystem::create_symlink(folder / "absent", folder / "dangling");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);

    EXPECT_TRUE(FileExists((folder / "list.txt").c_str()));
    EXPECT_TRUE(FileExists((folder / "empty.txt").c_str()));
    EXPECT_TRUE(FileExists((folder / "\xD6\xD0.txt").c_str())); // the name in code page 936
    EXPECT_TRUE(FileExists((folder / "link").c_str()));

    EXPECT_FALSE(FileExists((folder / "absent").c_str()));
    EXPECT_FALSE(FileExists((folder / "dangling").c_str()));
    EXPECT_FALSE(FileExists((folder / "dir").c_str()));
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));

    // A FIFO without a writer would block a plain open for good.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(FileExists((folder / "fifo").c_str()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(FileExists, UnreadableFileDoesNotCount)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "root reads files whatever their permissions";
    ScratchFolder folder;
    WriteBytes(folder / "secret", "x");
    ASSERT_EQ(chmod((folder / "secret").c_str(), 0), 0);
    EXPECT_FALSE(FileExists((folder / "secret").c_str()));
}

TEST(AfxGetModuleFileName, NamesThisTestProgram)
{
    const CString path = AfxGetModuleFileName();
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_EQ(path.GetAt(0), '/');
    EXPECT_EQ(path.Mid(path.ReverseFind('/') + 1), "tests_framework");
    EXPECT_TRUE(FileExists(path));
}
