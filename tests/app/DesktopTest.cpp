// The program on a desktop: a file named on the command line or dropped on
// the window is imported as the side panel's import button would; the file
// dialogs start where the user works; screen readers can name every control
// of the form, read the status bar's panes and the list's cells.
#include <QAccessible>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "framework/window/private/WindowBacking.h"
#include "tests/app/AppHarness.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

CString Path(const std::string& utf8)
{
    return CString::FromUtf8(utf8);
}

// Drags `urls` over a widget of the main window and drops them there, as a
// file manager does (the URLs also as text); true when the drag was taken.
bool DropOn(QWidget* widget, const QList<QUrl>& urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    mime.setText(urls.front().toString());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

// Index of the first message `message` to `target` in what the pump took, -1 if none.
int IndexSeen(const RunningApp& r, HWND target, UINT message)
{
    const auto it = std::find_if(
        r.seen.begin(), r.seen.end(), [&](const MSG& m) { return m.hwnd == target && m.message == message; });
    return it == r.seen.end() ? -1 : static_cast<int>(it - r.seen.begin());
}

QString AccessibleName(CWnd* wnd)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(WidgetOf(wnd));
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

TEST(Desktop, FileFromTheCommandLineOrADropIsImportedThroughTheSidePanel)
{
    TestDeadline deadline(60s, "opening files from the desktop");
    TempFolder folder;
    const std::string first = folder.File("urls.txt");
    const std::string second = folder.File("more urls.txt");
    WriteBytes(first, "http://example.test/a\r\nhttp://example.test/b\r\nno-dot\r\n");
    WriteBytes(second, "http://example.test/c\n");

    // The first file named is opened, by its full path; flags and empty
    // arguments are no file.
    {
        CCommandLineInfo parsed;
        parsed.ParseParam("platform", TRUE, FALSE);
        parsed.ParseParam("", FALSE, FALSE);
        parsed.ParseParam("lists/../urls.txt", FALSE, FALSE);
        parsed.ParseParam("other.txt", FALSE, TRUE);
        EXPECT_EQ(parsed.m_nShellCommand, CCommandLineInfo::FileOpen);
        EXPECT_EQ(parsed.m_strFileName, Path((std::filesystem::current_path() / "urls.txt").string()));
        CCommandLineInfo flagsOnly;
        flagsOnly.ParseParam("reverse", TRUE, TRUE);
        EXPECT_EQ(flagsOnly.m_nShellCommand, CCommandLineInfo::FileNew);
    }

    // Started with a file: the list holds it once the window is up, reported
    // as the import button's import is.
    {
        CCommandLineInfo cmdInfo;
        cmdInfo.ParseParam(first.c_str(), FALSE, TRUE);
        RunningApp r(cmdInfo);
        ASSERT_TRUE(r.Ready());
        EXPECT_EQ(r.List().GetItemCount(), 3);
        EXPECT_EQ(r.List().GetItemText(2, COL_VALIDITY), Validity::BadFormat());
        EXPECT_EQ(r.FieldText(IDC_IMPORT_PATH), Path(first));
        EXPECT_EQ(g_strImportPath, Path(first));
        EXPECT_EQ(r.Pane(0), U("加载网址列表结束。"));
        EXPECT_EQ(r.Pane(2), U("网址个数: 3"));
        EXPECT_TRUE(r.ButtonEnabled(IDC_IMPORT));
        EXPECT_TRUE(r.boxes.empty());
    }

    RunningApp r;
    ASSERT_TRUE(r.Ready());

    // A drop, also on a field that would take it as text: the import button
    // is pressed at once and waits for the list; a second drop before the
    // list is in is refused like a press on the disabled button.
    QWidget* ignoreField = WidgetOf(r.panel->GetDlgItem(IDC_IGNORE_LIST));
    ASSERT_TRUE(DropOn(ignoreField, { QUrl::fromLocalFile(QString::fromStdString(second)) }));
    EXPECT_FALSE(r.ButtonEnabled(IDC_IMPORT));
    EXPECT_EQ(g_strImportPath, Path(second));
    EXPECT_TRUE(r.FieldText(IDC_IGNORE_LIST).IsEmpty());
    EXPECT_TRUE(DropOn(WidgetOf(r.frame), { QUrl::fromLocalFile(QString::fromStdString(first)) }));
    EXPECT_EQ(r.FieldText(IDC_IMPORT_PATH), Path(second));
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_IMPORT); }));
    EXPECT_EQ(r.List().GetItemCount(), 1);
    EXPECT_EQ(r.List().GetItemText(0, COL_URL), Path("http://example.test/c"));
    const int request = IndexSeen(r, r.frameHandle, UM_IMPORT_REQUEST);
    const int run = IndexSeen(r, r.view->m_hWnd, UM_IMPORT_RUN);
    const int loaded = IndexSeen(r, r.frameHandle, UM_LIST_LOADED);
    const int done = IndexSeen(r, r.panel->m_hWnd, UM_IMPORT_DONE);
    EXPECT_TRUE(request >= 0 && request < run && run < loaded && loaded < done)
        << request << " " << run << " " << loaded << " " << done;
    EXPECT_EQ(r.CountSeen(r.frameHandle, UM_IMPORT_REQUEST), 1);

    // Only files on this machine are taken.
    EXPECT_FALSE(DropOn(WidgetOf(r.frame), { QUrl(QStringLiteral("http://example.test/urls.txt")) }));
    AfxPumpPendingMessages();
    EXPECT_EQ(r.FieldText(IDC_IMPORT_PATH), Path(second));
    EXPECT_EQ(r.CountSeen(r.frameHandle, UM_IMPORT_REQUEST), 1);

    // A missing file gets the import's own message, and the list stays.
    const std::string missing = folder.File("missing.txt");
    ASSERT_NE(r.app.OpenDocumentFile(missing.c_str()), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_IMPORT) && !r.boxes.empty(); }));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, U("文件不存在或被锁定！\n\n") + Path(missing));
    EXPECT_EQ(r.List().GetItemCount(), 1);
}

// Run from its folder, the program opens "-urls.txt" named after "--" and
// names an unknown option on standard error. A drop of several files
// imports the first and says so; a dropped folder is no file to import.
TEST(Desktop, CommandLineOptionsEndAtDoubleDashAndADropImportsOneFile)
{
    TestDeadline deadline(100s, "command line and drops");
    if (const char* expected = std::getenv("BRISQUEL_EXPECTED_IMPORT"); expected && IsTestChild()) {
        std::filesystem::current_path(std::filesystem::path(TestProgramPath()).parent_path());
        CVelmoraApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(g_strImportPath, Path(expected));
        app.m_pMainWnd->DestroyWindow();
        AfxPumpPendingMessages();
        return;
    }
    TempFolder folder;
    const std::string urls = folder.File("-urls.txt");
    WriteBytes(urls, "http://example.test/a\r\n");
    PlaceTestProgram(folder.File("brisquel"));
    const ChildResult child = RunCurrentTestIn(folder.File("brisquel"),
        { "BRISQUEL_EXPECTED_IMPORT=" + urls }, false, 60s, { "--frobnicate", "--", "-urls.txt" });
    ExpectChildPassed(child);
    EXPECT_NE(child.output.find("brisquel: ignoring unknown option '--frobnicate'\n"), std::string::npos);

    RunningApp r;
    ASSERT_TRUE(r.Ready());
    const auto local
        = [](const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); };
    ASSERT_TRUE(DropOn(WidgetOf(r.frame), { local(urls), local(folder.File("brisquel")) }));
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_IMPORT); }));
    EXPECT_EQ(r.Pane(0), U("一次只能导入一个文件，已导入第一个。"));
    ASSERT_TRUE(DropOn(WidgetOf(r.frame), { local(folder.Path()) }));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, U("文件不存在或被锁定！\n\n") + Path(folder.Path()));
    EXPECT_EQ(g_strImportPath, Path(urls));
}

TEST(Desktop, FileDialogsStartWhereTheUserWorks)
{
    TestDeadline deadline(60s, "file dialog folders");
    TempFolder lists;
    TempFolder exports;
    const std::string urls = lists.File("urls.txt");
    WriteBytes(urls, "http://example.test/a\r\n");
    RunningApp r;
    ASSERT_TRUE(r.Ready());

    // The browse dialog starts in the folder of the path in the field.
    r.SetField(IDC_IMPORT_PATH, Path(urls));
    r.Click(IDC_BROWSE);
    r.SetField(IDC_IMPORT_PATH, CString());
    r.Click(IDC_BROWSE);
    ASSERT_EQ(r.fileRequests.size(), 2u);
    EXPECT_EQ(r.fileRequests[0].initialDir, Path(lists.Path()));
    EXPECT_TRUE(r.fileRequests[0].fileName.IsEmpty());
    EXPECT_TRUE(r.fileRequests[1].initialDir.IsEmpty());

    r.SetField(IDC_IMPORT_PATH, Path(urls));
    r.Click(IDC_IMPORT);
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_IMPORT); }));
    ASSERT_EQ(r.List().GetItemCount(), 1);

    // The export dialog starts beside the URL file until an export went
    // elsewhere (a cancelled dialog does not count), then there.
    auto exportAll = [&r] {
        r.Click(IDC_EXPORT_ALL);
        return PumpUntil([&r] { return r.ButtonEnabled(IDC_EXPORT_ALL); });
    };
    ASSERT_TRUE(exportAll());
    r.fileAnswer = Path(exports.File("out.txt"));
    ASSERT_TRUE(exportAll());
    r.fileAnswer = CString();
    ASSERT_TRUE(exportAll());
    ASSERT_EQ(r.fileRequests.size(), 5u);
    EXPECT_EQ(r.fileRequests[2].initialDir, Path(lists.Path()));
    EXPECT_EQ(r.fileRequests[3].initialDir, Path(lists.Path()));
    EXPECT_EQ(r.fileRequests[4].initialDir, Path(exports.Path()));
    EXPECT_EQ(r.fileRequests[4].fileName, CString("urls_export.txt"));
    EXPECT_EQ(ReadBytes(exports.File("out.txt")), "http://example.test/a\r\n");
}

TEST(Desktop, ScreenReadersNameTheFormAndReadTheStatusBarAndTheList)
{
    TestDeadline deadline(60s, "accessibility");
    RunningApp r;
    ASSERT_TRUE(r.Ready());

    // Every control of the form has a name; the fields and the "..." button
    // take their label's.
    for (QWidget* control : WidgetOf(r.panel)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        CWnd* wnd = WindowOfWidget(control);
        EXPECT_FALSE(AccessibleName(wnd).isEmpty()) << "control " << (wnd ? wnd->GetDlgCtrlID() : 0);
    }
    EXPECT_EQ(AccessibleName(r.panel->GetDlgItem(IDC_IMPORT_PATH)), QStringLiteral("导入文件"));
    EXPECT_EQ(AccessibleName(r.panel->GetDlgItem(IDC_IGNORE_LIST)), QStringLiteral("忽略检测"));
    EXPECT_EQ(AccessibleName(r.panel->GetDlgItem(IDC_THREAD_COUNT)), QStringLiteral("线程数量"));
    EXPECT_EQ(AccessibleName(r.panel->GetDlgItem(IDC_BROWSE)), QStringLiteral("导入文件..."));
    EXPECT_EQ(AccessibleName(r.panel->GetDlgItem(IDC_IMPORT)), QStringLiteral("导入网址"));

    // The status bar's panes are its children, named by what they show now.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(WidgetOf(&r.frame->StatusBar()));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    ASSERT_EQ(bar->childCount(), 4); // the progress pane comes last
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), QStringLiteral("就绪"));
    r.frame->PostMessage(UM_LIST_LOADED, 0, 7);
    AfxPumpPendingMessages();
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), QStringLiteral("加载网址列表结束。"));
    EXPECT_EQ(bar->child(1)->text(QAccessible::Name), QStringLiteral("线程: 0"));
    EXPECT_EQ(bar->child(2)->text(QAccessible::Name), QStringLiteral("网址个数: 7"));
    EXPECT_EQ(bar->indexOfChild(bar->child(2)), 2);
    EXPECT_TRUE(bar->rect().contains(bar->child(2)->rect()));

    // The list's cells by row and column, under their headings.
    CListCtrl& list = r.List();
    list.InsertItem(0, "1");
    list.SetItemText(0, COL_URL, "http://example.test/a");
    list.SetItemText(0, COL_VALIDITY, "OK");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(WidgetOf(r.view));
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    ASSERT_TRUE(PumpUntil([table] { return table->tableInterface()->rowCount() == 1; }));
    EXPECT_EQ(table->tableInterface()->columnCount(), 3);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(0, COL_URL);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("http://example.test/a"));
    EXPECT_EQ(table->tableInterface()->columnDescription(COL_URL), QStringLiteral("网址"));
}
