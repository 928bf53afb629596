#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>

#include "framework/io/PrivateProfile.h"
#include "tests/framework/IoTestFiles.h"

using namespace std::string_literals;

namespace {

std::string Get(const std::string& file, LPCSTR section, LPCSTR key, LPCSTR defaultValue = "<default>")
{
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(n, std::strlen(buffer)) << "return value and terminator disagree";
    return buffer;
}

bool Put(const std::string& file, LPCSTR section, LPCSTR key, LPCSTR value)
{
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

} // namespace

TEST(PrivateProfile, MissingFileSectionOrKeyReadsAsTheDefault)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    EXPECT_EQ(Get(ini, "Check", "Threads"), "<default>");
    WriteBytes(ini, "[Check]\r\nThreads=8\r\n[Other]\r\nTimeout=5\r\n");
    EXPECT_EQ(Get(ini, "Check", "Threads"), "8");
    EXPECT_EQ(Get(ini, "Check", "Timeout"), "<default>"); // lives in another section
    EXPECT_EQ(Get(ini, "Nowhere", "Threads"), "<default>");
    EXPECT_EQ(Get(ini, "Check", "Threads", nullptr), "8");
    EXPECT_EQ(Get(ini, "Check", "Absent", nullptr), "");
    EXPECT_EQ(Get(ini, nullptr, "Threads"), "<default>");
}

TEST(PrivateProfile, ValuesAreCutToTheBufferLessOneByte)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    std::string value;
    for (int i = 0; i < 150; ++i)
        value += static_cast<char>('a' + i % 26);
    WriteBytes(ini, "[S]\nK=" + value + "\n");

    char buffer[100];
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, 100, ini.c_str()), 99u);
    EXPECT_EQ(std::string(buffer), value.substr(0, 99));

    EXPECT_EQ(GetPrivateProfileStringA("S", "none", value.c_str(), buffer, 100, ini.c_str()), 99u);
    EXPECT_EQ(std::string(buffer), value.substr(0, 99)); // the default too

    buffer[0] = 'x';
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, 1, ini.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, 0, ini.c_str()), 0u);
}

TEST(PrivateProfile, NamesIgnoreAsciiCaseAndBlanksSurroundNothing)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    WriteBytes(ini,
        "  [ Net Settings ]  \r\n\t TimeOut \t=  30 s \t\r\nEmpty=\nSpaced = a = b\n"
        "[\xD6\xD0]\nK=936\n[\x81\x41]\nK=upper trail\n");
    EXPECT_EQ(Get(ini, "NET settings", "timeout"), "30 s");
    EXPECT_EQ(Get(ini, "net settings", "EMPTY"), "");
    EXPECT_EQ(Get(ini, "Net Settings", "spaced"), "a = b");
    EXPECT_EQ(Get(ini, "\xD6\xD0", "k"), "936");
    // 81 41 and 81 61 are two different characters, not two cases of one.
    EXPECT_EQ(Get(ini, "\x81\x41", "K"), "upper trail");
    EXPECT_EQ(Get(ini, "\x81\x61", "K"), "<default>");
}

TEST(PrivateProfile, WritingCreatesFileSectionAndKey)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    ASSERT_TRUE(Put(ini, "Check", "Threads", "8"));
    EXPECT_EQ(ReadBytes(ini), "[Check]\r\nThreads=8\r\n");
    ASSERT_TRUE(Put(ini, "Export", "Folder", "/home/user"));
    ASSERT_TRUE(Put(ini, "check", "Timeout", "30")); // joins the existing section
    ASSERT_TRUE(Put(ini, "CHECK", "threads", "16")); // replaces in place
    EXPECT_EQ(ReadBytes(ini), "[Check]\r\nthreads=16\r\nTimeout=30\r\n[Export]\r\nFolder=/home/user\r\n");
    EXPECT_EQ(Get(ini, "Check", "Threads"), "16");
    EXPECT_EQ(Get(ini, "Export", "Folder"), "/home/user");
    EXPECT_EQ(Get(ini, "Check", "Timeout"), "30");
}

TEST(PrivateProfile, WritingKeepsEveryOtherLineByteForByte)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    const std::string head = "; written by hand\n"
                             "stray=before any section\r\n"
                             "[Check]\n"
                             "  Threads =  4   \n"
                             "not a key line\r\n"
                             "\xD6\xD0\xCE\xC4=\xFF\x01\r\n";
    const std::string tail = "\t\n"
                             "\n"
                             "[Export]\r\n"
                             "Timeout=1\n"
                             "[Check]\n" // a repeat of the section is not where new keys go
                             "Late=1";
    WriteBytes(ini, head + tail);

    ASSERT_TRUE(Put(ini, "Check", "Timeout", "30"));
    EXPECT_EQ(ReadBytes(ini), head + "Timeout=30\r\n" + tail);

    ASSERT_TRUE(Put(ini, "check", "THREADS", "12"));
    std::string edited = head;
    edited.replace(edited.find("  Threads =  4   \n"), 18, "THREADS=12\r\n");
    EXPECT_EQ(ReadBytes(ini), edited + "Timeout=30\r\n" + tail);

    // The last line had no end: it gets one before the new section follows.
    ASSERT_TRUE(Put(ini, "New", "Key", "v"));
    EXPECT_EQ(ReadBytes(ini), edited + "Timeout=30\r\n" + tail + "\r\n[New]\r\nKey=v\r\n");
    EXPECT_EQ(Get(ini, "Check", "Late"), "1");
    EXPECT_EQ(Get(ini, "Check", "Timeout"), "30");
}

TEST(PrivateProfile, ReadingSurvivesWhateverTheFileHolds)
{
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";

    std::mt19937 random(7);
    std::string garbage(256 * 1024, '\0');
    for (char& byte : garbage)
        byte = static_cast<char>(random());
    WriteBytes(ini, garbage + "\n[S]\nK=found\n" + garbage);
    EXPECT_EQ(Get(ini, "S", "K"), "found");
    EXPECT_EQ(Get(ini, "\xFF\xFE", "\x01"), "<default>");

    const std::string megabyte(1024 * 1024, 'v');
    WriteBytes(ini, "[S]\nLong=" + megabyte + "\nK=after\n");
    EXPECT_EQ(Get(ini, "S", "Long"), megabyte.substr(0, 255));
    EXPECT_EQ(Get(ini, "S", "K"), "after");

    WriteBytes(ini, "[S]\nK=ab\0cd\n"s);
    EXPECT_EQ(Get(ini, "S", "K"), "ab");

    // A folder where the file should be: unreadable, so every key is missing,
    // and writing must not destroy it.
    const std::string taken = folder / "taken.ini";
    std::filesystem::create_directory(taken);
    EXPECT_EQ(Get(taken, "S", "K"), "<default>");
    EXPECT_FALSE(Put(taken, "S", "K", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(taken));
}

TEST(PrivateProfile, UnreadableFileReadsAsDefaultAndIsNotOverwritten)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "root reads files whatever their permissions";
    ScratchFolder folder;
    const std::string ini = folder / "app.ini";
    WriteBytes(ini, "[S]\nK=secret\n");
    ASSERT_EQ(chmod(ini.c_str(), 0), 0);
    EXPECT_EQ(Get(ini, "S", "K"), "<default>");
    EXPECT_FALSE(Put(ini, "S", "K", "v"));
    chmod(ini.c_str(), 0600);
    EXPECT_EQ(ReadBytes(ini), "[S]\nK=secret\n");
}

TEST(PrivateProfile, FailedWriteReturnsFalseAndKeepsTheFile)
{
    ScratchFolder folder;
    EXPECT_FALSE(Put(folder / "no/such/folder/app.ini", "S", "K", "v"));
    WriteBytes(folder / "plain", "x");
    EXPECT_FALSE(Put(folder / "plain/app.ini", "S", "K", "v"));
    EXPECT_FALSE(Put(folder / "app.ini", "S", "K", nullptr));

    const std::string ini = folder / "app.ini";
    const std::string old = "[S]\r\nK=" + std::string(3000, 'o') + "\r\n";
    WriteBytes(ini, old);
    {
        FileSizeLimit limit(1000); // the disk fills up during the write
        EXPECT_FALSE(Put(ini, "S", "K2", "v"));
    }
    EXPECT_EQ(ReadBytes(ini), old);
    EXPECT_EQ(folder.Names(), (std::vector<std::string> { "app.ini", "plain" }));
}
