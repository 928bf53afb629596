// The configuration file: its first-start content, values that survive a
// load and save, damaged files, the fallback to the user's configuration
// folder when the preferred place can't hold the file, and saves that go
// where the user's file really is or say why they can't.
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "app/ConfigLocation.h"
#include "framework/base/LastError.h"
#include "framework/io/PrivateProfile.h"
#include "tests/app/AppHarness.h"
#include "tests/support/ChildProcess.h"

namespace {

const char kDefaultContent[] = "[user]\r\nfileurls=\r\nthreadcount=5\r\n";

// Sets XDG_CONFIG_HOME for one test and puts back what was there.
class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const std::string& value)
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            m_old = old;
        setenv("XDG_CONFIG_HOME", value.c_str(), 1);
    }
    ~ScopedConfigHome()
    {
        if (m_old)
            setenv("XDG_CONFIG_HOME", m_old->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

private:
    std::optional<std::string> m_old;
};

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        ASSERT_FALSE(folder.Path().empty());
        AfxSetMessageBoxHook([this](HWND, const CString& text, const CString&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxHook({});
        ResetGlobals();
    }

    // What InitInstance reads from the file.
    void Load(CVelmoraApp& app, const std::string& path)
    {
        app.m_strConfigPath = CString(path.c_str());
        g_nThreadCount = std::atoi(app.ReadUserSetting("threadcount"));
        g_strImportPath = app.ReadUserSetting("fileurls");
        g_strIgnoreList = app.ReadUserSetting("keypass");
    }
    // What InitInstance does with the location it is given.
    void Load(CVelmoraApp& app, const ConfigLocation& location)
    {
        Load(app, location.path.Bytes());
        app.m_bConfigReadOnly = !location.writable;
    }

    TempFolder folder;
    std::vector<CString> boxes;
};

TEST_F(ConfigTest, FirstStartWritesExactlyTheDefaultsAndLaterStartsKeepTheFile)
{
    const std::string path = folder.File("config.ini");
    const ConfigLocation location = PrepareConfigFile(CString(path.c_str()));
    EXPECT_EQ(location.path, CString(path.c_str()));
    EXPECT_TRUE(location.problem.IsEmpty());
    EXPECT_EQ(ReadBytes(path), kDefaultContent);

    CVelmoraApp app;
    Load(app, path);
    EXPECT_EQ(g_nThreadCount, 5);
    EXPECT_EQ(g_strImportPath, CString());

    const std::string own = "[user]\nthreadcount=8\n";
    WriteBytes(path, own);
    EXPECT_EQ(PrepareConfigFile(CString(path.c_str())).path, CString(path.c_str()));
    EXPECT_EQ(ReadBytes(path), own);
}

TEST_F(ConfigTest, ValuesSurviveLoadAndSave)
{
    const std::string path = folder.File("config.ini");
    ASSERT_FALSE(PrepareConfigFile(CString(path.c_str())).path.IsEmpty());
    CVelmoraApp app;
    for (const LONG count : { 0L, 25L }) {
        SCOPED_TRACE(count);
        Load(app, path);
        g_nThreadCount = count;
        app.ExitInstance();
        g_nThreadCount = -1;
        Load(app, path);
        EXPECT_EQ(g_nThreadCount, count);
    }

    // A path of 181 bytes, in characters of four, is read back whole.
    std::string longPath = "/";
    for (int i = 0; i < 45; ++i)
        longPath += "한";
    g_strImportPath = U(longPath.c_str());
    g_strIgnoreList = U("abc 中文");
    app.ExitInstance();
    Load(app, path);
    EXPECT_EQ(g_strImportPath, U(longPath.c_str()));
    EXPECT_EQ(g_strIgnoreList, U("abc 中文"));
}

TEST_F(ConfigTest, DamagedFilesLoadDefaultsWhereValuesCannotBeRead)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF); // NULs, CRs, high bytes
    const std::string longLine = "[user]\r\nfileurls=" + std::string(1 << 20, 'x') + "\r\nthreadcount=9\r\n";
    struct Case {
        const char* name;
        std::string content;
        LONG threadCount;
        std::string importPath;
    };
    const std::vector<Case> cases = {
        { "binary garbage", garbage, 0, "" },
        { "a 1 MB line", longLine, 9, std::string(1 << 20, 'x') },
        { "no [user] section", "[other]\r\nfileurls=/x.txt\r\nthreadcount=3\r\n", 0, "" },
        { "mixed LF and CR LF", "[user]\nfileurls=/data/list.txt\r\nthreadcount=7\n", 7, "/data/list.txt" },
        { "empty file", "", 0, "" },
    };
    CVelmoraApp app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File("config.ini");
        WriteBytes(path, c.content);
        const ConfigLocation location = PrepareConfigFile(CString(path.c_str()));
        EXPECT_EQ(location.path, CString(path.c_str()));
        EXPECT_EQ(ReadBytes(path), c.content); // an existing file is never replaced at start
        Load(app, path);
        EXPECT_EQ(g_nThreadCount, c.threadCount);
        EXPECT_EQ(g_strImportPath, CString(c.importPath.c_str()));
        // The exit save repairs what it can: the values read back.
        g_nThreadCount = 4;
        g_strImportPath = "/saved.txt";
        app.ExitInstance();
        Load(app, path);
        EXPECT_EQ(g_nThreadCount, 4);
        EXPECT_EQ(g_strImportPath, CString("/saved.txt"));
    }
}

// The mark hid [user]: every value read empty, and the save added another.
TEST_F(ConfigTest, AFileWithAUtf8MarkIsReadAndSavedAsUtf8)
{
    const std::string path = folder.File("config.ini");
    WriteBytes(path, "\xEF\xBB\xBF[user]\r\nfileurls=/数据/청.txt\r\nthreadcount=7\r\n");
    CVelmoraApp app;
    Load(app, path);
    EXPECT_EQ(g_nThreadCount, 7);
    EXPECT_EQ(g_strImportPath, U("/数据/청.txt"));
    g_strIgnoreList = U("广告");
    app.ExitInstance();
    EXPECT_EQ(
        ReadBytes(path), "\xEF\xBB\xBF[user]\r\nfileurls=/数据/청.txt\r\nthreadcount=7\r\nkeypass=广告\r\n");
}

// Its folder is the system's and every user's, even where root may write.
TEST_F(ConfigTest, AnInstalledProgramKeepsItsSettingsInTheUsersFolder)
{
    ScopedConfigHome home(folder.File("xdg"));
    for (const char* installed : { "/usr/bin/config.ini", "/opt/brisquel/config.ini" }) {
        const bool existed = std::filesystem::exists(installed);
        EXPECT_EQ(PrepareConfigFile(installed).path, CString(folder.File("xdg/brisquel/config.ini").c_str()));
        EXPECT_EQ(std::filesystem::exists(installed), existed) << installed;
    }
    EXPECT_EQ(ReadBytes(folder.File("xdg/brisquel/config.ini")), kDefaultContent); // no copy of root's
}

TEST_F(ConfigTest, FallsBackToTheUserConfigFolder)
{
    const std::string blocker = folder.File("plain-file");
    WriteBytes(blocker, "not a folder");
    // Any script in the user's folder name: it reaches the system unchanged.
    const std::string home = folder.File("jörg ñ 한 \xF0\x9F\x98\x80 中文");
    ScopedConfigHome configHome(home);
    const std::string fallback = home + "/brisquel/config.ini";
    for (const std::string& preferred :
        { blocker + "/config.ini", folder.File("missing/deeper") + "/config.ini" }) {
        SCOPED_TRACE(preferred);
        std::filesystem::remove(fallback);
        const ConfigLocation location = PrepareConfigFile(CString(preferred.c_str()));
        EXPECT_EQ(location.path, U(fallback.c_str()));
        EXPECT_TRUE(location.writable);
        EXPECT_TRUE(location.problem.IsEmpty());
        EXPECT_EQ(ReadBytes(fallback), kDefaultContent);
        EXPECT_FALSE(std::filesystem::exists(preferred));
    }
}

TEST_F(ConfigTest, NoUsablePlaceGivesNoPathAndSaysWhy)
{
    const std::string blocker = folder.File("plain-file");
    WriteBytes(blocker, "not a folder");
    ScopedConfigHome home(blocker + "/xdg");
    const ConfigLocation location = PrepareConfigFile(CString((blocker + "/config.ini").c_str()));
    EXPECT_TRUE(location.path.IsEmpty());
    EXPECT_FALSE(location.writable);
    EXPECT_GE(location.problem.Find(CString((blocker + "/config.ini").c_str())), 0);
    EXPECT_GE(location.problem.Find(CString((blocker + "/xdg/brisquel").c_str())), 0);

    // The exit save then writes nothing anywhere.
    CVelmoraApp app;
    app.m_strConfigPath = location.path;
    g_nThreadCount = 3;
    app.ExitInstance();
    EXPECT_EQ(ReadBytes(blocker), "not a folder");
    EXPECT_TRUE(boxes.empty());
}

// An installed program's folder takes no new file, a link leads to the
// user's real file, and a file the user may not write is not replaced: the
// save goes where the user's file is, or tells once why it can't.
TEST_F(ConfigTest, SaveGoesWhereTheUsersFileIsOrSaysWhyNot)
{
    if (RanAsUnprivilegedChild())
        return;
    const std::string before = "; the user's own\r\n[user]\r\nfileurls=/old.txt\r\nthreadcount=3\r\n";
    const std::string after = "; the user's own\r\n[user]\r\nfileurls=" + U("/数据/señal.txt").Bytes()
        + "\r\nthreadcount=8\r\nkeypass=" + U("\xF0\x9F\x98\x80").Bytes() + "\r\n";
    auto save = [&](const std::string& path) {
        const ConfigLocation location = PrepareConfigFile(CString(path.c_str()));
        EXPECT_EQ(location.path, CString(path.c_str()));
        EXPECT_TRUE(location.writable);
        CVelmoraApp app;
        Load(app, location);
        EXPECT_EQ(g_nThreadCount, 3);
        g_strImportPath = U("/数据/señal.txt");
        g_strIgnoreList = U("\xF0\x9F\x98\x80");
        g_nThreadCount = 8;
        app.ExitInstance();
    };

    const std::string installed = folder.File("installed");
    std::filesystem::create_directory(installed);
    WriteBytes(installed + "/config.ini", before);
    ASSERT_EQ(chmod(installed.c_str(), 0555), 0);
    save(installed + "/config.ini");
    EXPECT_EQ(ReadBytes(installed + "/config.ini"), after);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(installed), {}), 1); // nothing left beside it
    chmod(installed.c_str(), 0755);

    std::filesystem::create_directories(folder.File("real"));
    std::filesystem::create_directories(folder.File("linked"));
    WriteBytes(folder.File("real/config.ini"), before);
    std::filesystem::create_symlink("../real/config.ini", folder.File("linked/config.ini"));
    save(folder.File("linked/config.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("linked/config.ini")));
    EXPECT_EQ(ReadBytes(folder.File("real/config.ini")), after);
    EXPECT_TRUE(boxes.empty());

    // Made read-only while the program runs, in a folder that would let a
    // new file replace it.
    const std::string locked = folder.File("config.ini");
    WriteBytes(locked, before);
    const ConfigLocation location = PrepareConfigFile(CString(locked.c_str()));
    ASSERT_TRUE(location.writable);
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    CVelmoraApp app;
    Load(app, location);
    g_nThreadCount = 8;
    app.ExitInstance();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GE(boxes[0].Find(CString(locked.c_str())), 0);
    EXPECT_GE(boxes[0].Find(SystemErrorText(EACCES)), 0);
    EXPECT_EQ(ReadBytes(locked), before);
}

// A read-only configuration beside the executable holds the user's
// settings: they are loaded, the file in the user's folder starts as their
// copy and is used from then on; where no such file can be made they are
// still loaded, and nothing is saved.
TEST_F(ConfigTest, ReadOnlyFileKeepsItsValues)
{
    if (RanAsUnprivilegedChild())
        return;
    const std::string preferred = folder.File("config.ini");
    const std::string content
        = "[user]\r\nfileurls=" + U("/列表/façade.txt").Bytes() + "\r\nthreadcount=7\r\nkeypass=skip\r\n";
    WriteBytes(preferred, content);
    ASSERT_EQ(chmod(preferred.c_str(), 0444), 0);
    {
        ScopedConfigHome home(folder.File("xdg"));
        const std::string fallback = folder.File("xdg/brisquel/config.ini");
        ConfigLocation location = PrepareConfigFile(CString(preferred.c_str()));
        EXPECT_EQ(location.path, CString(fallback.c_str()));
        EXPECT_TRUE(location.writable);
        EXPECT_TRUE(location.problem.IsEmpty());
        EXPECT_EQ(ReadBytes(fallback), content);
        CVelmoraApp app;
        Load(app, location);
        EXPECT_EQ(g_nThreadCount, 7);
        EXPECT_EQ(g_strImportPath, U("/列表/façade.txt"));
        EXPECT_EQ(g_strIgnoreList, CString("skip"));
        g_nThreadCount = 9;
        app.ExitInstance();

        location = PrepareConfigFile(CString(preferred.c_str())); // the next start
        EXPECT_EQ(location.path, CString(fallback.c_str()));
        Load(app, location);
        EXPECT_EQ(g_nThreadCount, 9);
        EXPECT_EQ(g_strImportPath, U("/列表/façade.txt"));
    }
    {
        const std::string blocker = folder.File("plain-file");
        WriteBytes(blocker, "not a folder");
        ScopedConfigHome home(blocker + "/xdg");
        const ConfigLocation location = PrepareConfigFile(CString(preferred.c_str()));
        EXPECT_EQ(location.path, CString(preferred.c_str()));
        EXPECT_FALSE(location.writable);
        EXPECT_GE(location.problem.Find(CString(preferred.c_str())), 0);
        EXPECT_GE(location.problem.Find(CString((blocker + "/xdg/brisquel").c_str())), 0);
        CVelmoraApp app;
        Load(app, location);
        EXPECT_EQ(g_nThreadCount, 7);
        g_nThreadCount = 2;
        app.ExitInstance();
    }
    EXPECT_EQ(ReadBytes(preferred), content);
    EXPECT_TRUE(boxes.empty());
}

} // namespace
