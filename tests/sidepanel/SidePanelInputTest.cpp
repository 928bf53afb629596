// What the user can type into the side panel's fields and how the panel
// takes it: empty, very long, Chinese, characters code page 936 has no
// bytes for, blank. Text is typed into the real edit widgets (UTF-16), so
// the conversion at the toolkit boundary is part of what is checked; file
// names of any script, typed or chosen in the toolkit's own file dialogs.
// Also: a busy operation button takes no second click, and closing the main
// window while an operation's message box or save dialog is up.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <climits>

#include "framework/window/private/WindowBacking.h"
#include "tests/app/AppHarness.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

// "文件不存在或被锁定！" in code page 936.
const std::string kImportFailure
    = "\xce\xc4\xbc\xfe\xb2\xbb\xb4\xe6\xd4\xda\xbb\xf2\xb1\xbb\xcb\xf8\xb6\xa8\xa3\xa1\n\n";

class SidePanelInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        r = std::make_unique<RunningApp>();
        ASSERT_TRUE(r->Ready());
    }
    void TearDown() override
    {
        r.reset();
        ResetGlobals();
    }

    void Type(int controlId, const QString& text)
    {
        auto* edit = qobject_cast<QLineEdit*>(WidgetOf(r->panel->GetDlgItem(controlId)));
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
    }
    // A click on the real button: a disabled one takes none.
    void Press(int controlId)
    {
        auto* button = qobject_cast<QAbstractButton*>(WidgetOf(r->panel->GetDlgItem(controlId)));
        ASSERT_NE(button, nullptr);
        button->click();
    }
    void ImportFile(const std::string& path, int rows)
    {
        Type(IDC_IMPORT_PATH, QString::fromStdString(path));
        Press(IDC_IMPORT);
        ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(IDC_IMPORT); }, 3s));
        ASSERT_EQ(r->List().GetItemCount(), rows);
    }
    std::vector<CString> Column(int column)
    {
        std::vector<CString> out;
        for (int row = 0; row < r->List().GetItemCount(); ++row)
            out.push_back(r->List().GetItemText(row, column));
        return out;
    }

    std::unique_ptr<RunningApp> r;
    TempFolder folder;
};

// Answers the toolkit's own file dialog once it is up, as a user would:
// types `name` into its name field and accepts.
class ToolkitDialogAnswer {
public:
    explicit ToolkitDialogAnswer(const QString& name)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* edit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!edit)
                return;
            m_poll.stop();
            edit->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
            answered = true;
        });
        m_poll.start(5);
    }
    bool answered = false;

private:
    QTimer m_poll;
};

TEST_F(SidePanelInputTest, ImportPathsThatLeadNowhereKeepTheList)
{
    // A Chinese file name works: the path goes to the file system as UTF-8.
    const std::string good = folder.File("网址列表.txt");
    WriteBytes(good, "http://example.test/a\r\nhttp://example.test/b\r\n");
    ImportFile(good, 2);
    EXPECT_EQ(g_strImportPath, U(good.c_str()));
    const std::vector<CString> urls = Column(COL_URL);

    struct Case {
        const char* name;
        QString typed;
        std::string stored; // code page 936 bytes
    };
    const std::string longPath = "/" + std::string(10 * 1024, 'p');
    const std::vector<Case> cases = {
        { "blank", "   ", "   " },
        { "10 KB", QString::fromStdString(longPath), longPath },
        { "Chinese", QString::fromUtf8("/不存在/网址.txt"), U("/不存在/网址.txt").Bytes() },
        { "emoji", QString::fromUtf8("/tmp/\xF0\x9F\x98\x80.txt"), U("/tmp/\xF0\x9F\x98\x80.txt").Bytes() },
        { "a folder", QString::fromStdString(folder.Path()), folder.Path() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r->boxes.clear();
        r->seen.clear();
        Type(IDC_IMPORT_PATH, c.typed);
        Press(IDC_IMPORT);
        EXPECT_EQ(g_strImportPath.Bytes(), c.stored);
        ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(IDC_IMPORT); }, 3s));
        ASSERT_EQ(r->boxes.size(), 1u);
        EXPECT_EQ(r->boxes[0].text.Bytes(), kImportFailure + c.stored);
        EXPECT_EQ(r->boxes[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(r->CountSeen(r->frameHandle, UM_IMPORT_REQUEST), 1);
        EXPECT_EQ(Column(COL_URL), urls); // nothing lost
        EXPECT_EQ(r->Pane(0), U("加载网址列表结束。"));
    }

    // Empty: a prompt, and no request at all.
    r->boxes.clear();
    r->seen.clear();
    Type(IDC_IMPORT_PATH, QString());
    Press(IDC_IMPORT);
    AfxPumpPendingMessages();
    ASSERT_EQ(r->boxes.size(), 1u);
    EXPECT_EQ(r->boxes[0].text, U("请指定导入文件路径。"));
    EXPECT_EQ(r->CountSeen(r->frameHandle, UM_IMPORT_REQUEST), 0);
    EXPECT_TRUE(r->ButtonEnabled(IDC_IMPORT));
    EXPECT_EQ(Column(COL_URL), urls);
}

// Names in any script reach the file system unchanged, whether typed into
// the path field or into the toolkit's dialogs; a name the toolkit could not
// decode is refused with a word, and nothing is written under another name.
TEST_F(SidePanelInputTest, FileNamesOfAnyScriptAreKept)
{
    AfxSetFileDialogHook({});
    const std::vector<std::string> names = { "façade", "señal", "한국어", "\xF0\x9F\x98\x80", "网址" };
    std::vector<std::string> expectedFiles;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string list = folder.File(name + ".txt");
        const std::string url = "http://example.test/" + std::to_string(expectedFiles.size());
        WriteBytes(list, url + "\r\n");
        r->boxes.clear();
        ImportFile(list, 1);
        EXPECT_TRUE(r->boxes.empty());
        EXPECT_EQ(Column(COL_URL), std::vector<CString> { CString(url.c_str()) });

        const std::string exported = folder.File(name + " out"); // the dialog adds ".TXT"
        {
            TestDeadline deadline(10s, "save dialog");
            ToolkitDialogAnswer answer(QString::fromStdString(exported));
            Press(IDC_EXPORT_ALL);
            ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(IDC_EXPORT_ALL); }, 5s));
            EXPECT_TRUE(answer.answered);
        }
        EXPECT_TRUE(r->boxes.empty());
        EXPECT_EQ(ReadBytes(exported + ".TXT"), url + "\r\n");
        EXPECT_EQ(r->Pane(0), U("共导出了 1 个网址。"));
        expectedFiles.insert(expectedFiles.end(), { name + ".txt", name + " out.TXT" });
    }

    // Chosen with "..." in the toolkit's open dialog.
    Type(IDC_IMPORT_PATH, QString());
    {
        TestDeadline deadline(10s, "open dialog");
        ToolkitDialogAnswer answer(QString::fromStdString(folder.File("한국어.txt")));
        Press(IDC_BROWSE);
        EXPECT_TRUE(answer.answered);
    }
    EXPECT_EQ(r->FieldText(IDC_IMPORT_PATH), U(folder.File("한국어.txt").c_str()));
    ImportFile(folder.File("한국어.txt"), 1);

    // Bytes of a name that are not UTF-8 come from the toolkit as U+FFFD; a
    // lone surrogate has no bytes at all.
    for (const QString& unnamed :
        { QString::fromUtf8("bad \xEF\xBF\xBD.txt"), QString("bad ") + QChar(0xD800) }) {
        r->boxes.clear();
        {
            TestDeadline deadline(10s, "save dialog");
            ToolkitDialogAnswer answer(QString::fromStdString(folder.Path() + "/") + unnamed);
            Press(IDC_EXPORT_ALL);
            ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(IDC_EXPORT_ALL); }, 5s));
        }
        ASSERT_EQ(r->boxes.size(), 1u);
        EXPECT_EQ(r->boxes[0].text.Find(U("无法使用这个文件名！\n\n")), 0);
        EXPECT_GE(r->boxes[0].text.Find(CString(folder.File("bad ").c_str())), 0);
        EXPECT_EQ(r->Pane(0), U("共导出了 0 个网址。"));
    }
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(files, expectedFiles);
}

TEST_F(SidePanelInputTest, IgnoreListIsStoredLowerCasedWhateverItHolds)
{
    std::string longUpper;
    std::string longLower;
    while (longUpper.size() < 10 * 1024) {
        longUpper += "WWW.EXAMPLE.TEST,";
        longLower += "www.example.test,";
    }
    struct Case {
        const char* name;
        QString typed;
        std::string stored;
    };
    const std::vector<Case> cases = {
        { "empty", QString(), "" },
        { "blank", "  \t ", "  \t " },
        { "10 KB", QString::fromStdString(longUpper), longLower },
        // Only ASCII letters change; the full-width Ａ (A3 C1) stays.
        { "Chinese", QString::fromUtf8("中文ABC,ＡBC"), U("中文abc,Ａbc").Bytes() },
        { "emoji",
            QString::fromUtf8("\xF0\x9F\x98\x80"
                              "Foo"),
            U("\xF0\x9F\x98\x80"
              "foo")
                .Bytes() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Type(IDC_IGNORE_LIST, c.typed);
        Type(IDC_THREAD_COUNT, "1");
        Press(IDC_START_STOP);
        ASSERT_TRUE(g_bChecking);
        EXPECT_EQ(g_strIgnoreList.Bytes(), c.stored);
        EXPECT_EQ(
            r->FieldText(IDC_IGNORE_LIST).GetLength(), static_cast<int>(c.stored.size())); // left as typed
        Press(IDC_START_STOP);
        AfxPumpPendingMessages();
        ASSERT_FALSE(g_bChecking);
    }

    // A blank list ignores nothing when the next import reads it.
    Type(IDC_IGNORE_LIST, "   ");
    Press(IDC_START_STOP);
    Press(IDC_START_STOP);
    AfxPumpPendingMessages();
    WriteBytes(folder.File("urls.txt"), "http://example.test/a\r\nexample.test/b c\r\n");
    ImportFile(folder.File("urls.txt"), 2);
    EXPECT_EQ(Column(COL_VALIDITY), (std::vector<CString> { CString(), U("格式不正确！") }));

    // A word code page 936 has no bytes for matches only lines that hold it,
    // not every line with a '?' (nor another such character).
    Type(IDC_IGNORE_LIST, QString::fromUtf8("\xF0\x9F\x98\x80"));
    Press(IDC_START_STOP);
    Press(IDC_START_STOP);
    AfxPumpPendingMessages();
    WriteBytes(folder.File("urls.txt"),
        "http://example.test/?q=1\r\n" + U("http://example.test/\xF0\x9F\x98\x80\r\n").Bytes()
            + U("http://example.test/ñ\r\n").Bytes());
    ImportFile(folder.File("urls.txt"), 3);
    EXPECT_EQ(Column(COL_VALIDITY), (std::vector<CString> { CString(), U("用户忽略！"), CString() }));
}

TEST_F(SidePanelInputTest, ThreadCountFollowsTheRulesOfAtoi)
{
    struct Case {
        const char* name;
        QString typed;
        bool starts;
        LONG stored;
    };
    const std::vector<Case> cases = {
        { "empty", QString(), false, 0 },
        { "blank", "   ", false, 0 },
        { "Chinese digits", QString::fromUtf8("五"), false, 0 },
        { "emoji", QString::fromUtf8("\xF0\x9F\x98\x80"), false, 0 },
        { "plus sign", "+6", true, 6 },
        { "decimal", "3.9", true, 3 },
        { "digits then Chinese", QString::fromUtf8("4个线程"), true, 4 },
        { "hex", "0x10", false, 0 },
        // Too large for an int: saturates, then the ten-probe limit applies.
        { "10 KB of digits", QString(10 * 1024, QChar('7')), true, 10 },
        { "negative 10 KB", "-" + QString(10 * 1024, QChar('7')), false, INT_MIN },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r->boxes.clear();
        r->seen.clear();
        Type(IDC_THREAD_COUNT, c.typed);
        Press(IDC_START_STOP);
        EXPECT_EQ(g_nThreadCount, c.stored);
        EXPECT_EQ(g_bChecking != FALSE, c.starts);
        if (c.starts) {
            EXPECT_TRUE(r->boxes.empty());
            Press(IDC_START_STOP);
        } else {
            ASSERT_EQ(r->boxes.size(), 1u);
            EXPECT_EQ(r->boxes[0].text, U("线程数量至少大于0。"));
        }
        AfxPumpPendingMessages();
        EXPECT_EQ(r->CountSeen(r->frameHandle, UM_CHECK_START), c.starts ? 1 : 0);
        EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
    }
}

TEST_F(SidePanelInputTest, ABusyOperationButtonTakesNoSecondClick)
{
    WriteBytes(folder.File("urls.txt"), "http://example.test/a\r\nnot a url\r\nhttp://example.test/a\r\n");
    ImportFile(folder.File("urls.txt"), 3);

    // Clicks before the hub has answered.
    const int quick[] = { IDC_IMPORT, IDC_PURGE_DUPLICATES, IDC_PURGE_INVALID };
    const UINT requests[] = { UM_IMPORT_REQUEST, UM_PURGE_DUPLICATES_REQUEST, UM_PURGE_INVALID_REQUEST };
    for (std::size_t i = 0; i < std::size(quick); ++i) {
        SCOPED_TRACE(quick[i]);
        r->seen.clear();
        Press(quick[i]);
        Press(quick[i]);
        Press(quick[i]);
        ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(quick[i]); }, 3s));
        AfxPumpPendingMessages();
        EXPECT_EQ(r->CountSeen(r->frameHandle, requests[i]), 1);
    }
    EXPECT_EQ(Column(COL_URL), (std::vector<CString> { CString("http://example.test/a") }));

    // Clicks while the save dialog is open.
    int clicksInDialog = 0;
    AfxSetFileDialogHook([&](const FileDialogRequest&) {
        for (int i = 0; i < 3; ++i, ++clicksInDialog)
            Press(IDC_EXPORT_ALL);
        RunNestedLoopFor(50ms);
        FileDialogAnswer answer;
        answer.result = IDOK;
        answer.path = CString(folder.File("all.txt").c_str());
        return answer;
    });
    r->seen.clear();
    Press(IDC_EXPORT_ALL);
    ASSERT_TRUE(PumpUntil([&] { return r->ButtonEnabled(IDC_EXPORT_ALL); }, 3s));
    AfxPumpPendingMessages();
    EXPECT_EQ(clicksInDialog, 3);
    EXPECT_EQ(r->CountSeen(r->frameHandle, UM_EXPORT_REQUEST), 1);
    EXPECT_EQ(ReadBytes(folder.File("all.txt")), "http://example.test/a\r\n");
}

// The user closes the main window while an operation's modal UI is up: the
// close arrives through the modal's own loop, the window goes, and the
// operation finds its way out without touching what is gone.
TEST_F(SidePanelInputTest, ClosingTheWindowUnderTheImportFailureBox)
{
    WriteBytes(folder.File("urls.txt"), "http://example.test/a\r\n");
    ImportFile(folder.File("urls.txt"), 1);
    int boxes = 0;
    bool closedInside = false;
    AfxSetMessageBoxHook([&](HWND, const CString& text, const CString&, UINT) {
        ++boxes;
        EXPECT_EQ(text.Bytes().substr(0, kImportFailure.size()), kImportFailure);
        PostMessageA(r->frameHandle, WM_CLOSE, 0, 0);
        closedInside = PumpUntil([&] { return !r->FrameAlive(); }, 2s);
        return IDOK;
    });
    Type(IDC_IMPORT_PATH, QString::fromStdString(folder.File("missing.txt")));
    Press(IDC_IMPORT);
    AfxPumpPendingMessages();
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(closedInside);
    EXPECT_FALSE(r->FrameAlive());
    EXPECT_EQ(r->app.m_pMainWnd, nullptr);
    EXPECT_FALSE(PostMessageA(g_hSidePanel, UM_IMPORT_DONE, 0, 1));
}

TEST_F(SidePanelInputTest, ClosingTheWindowUnderTheSaveDialog)
{
    WriteBytes(folder.File("urls.txt"), "http://example.test/a\r\n");
    ImportFile(folder.File("urls.txt"), 1);
    int dialogs = 0;
    bool closedInside = false;
    AfxSetFileDialogHook([&](const FileDialogRequest& request) {
        ++dialogs;
        EXPECT_FALSE(request.open);
        PostMessageA(r->frameHandle, WM_CLOSE, 0, 0);
        closedInside = PumpUntil([&] { return !r->FrameAlive(); }, 2s);
        FileDialogAnswer answer;
        answer.result = IDOK;
        answer.path = CString(folder.File("out.txt").c_str());
        return answer;
    });
    Press(IDC_EXPORT_VALID);
    AfxPumpPendingMessages();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(closedInside);
    EXPECT_FALSE(r->FrameAlive());
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.txt"))); // the list it would write is gone
    EXPECT_TRUE(r->boxes.empty());
}

} // namespace
