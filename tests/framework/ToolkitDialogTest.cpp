// The toolkit's own dialogs as the program shows them: their standard texts
// are Chinese whatever the user's language, and a file dialog starts in the
// folder it was given (in one that exists when that folder is gone).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <functional>

#include "framework/controls/CFileDialog.h"
#include "framework/controls/MessageBoxHook.h"
#include "tests/framework/IoTestFiles.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

// A button's text as read, without its keyboard mnemonic ("是(&Y)" reads 是).
QString Readable(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove('&');
    return text;
}

QStringList ButtonTexts(const QList<QAbstractButton*>& buttons)
{
    QStringList texts;
    for (const QAbstractButton* button : buttons)
        texts << Readable(button->text());
    texts.sort();
    return texts;
}

QStringList Sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

// Hands the next modal dialog of type Dialog to `act` once it shows; `act`
// must close it.
template <class Dialog> void WhenShown(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(5);
}

struct SeenFileDialog {
    QString folder;
    QStringList buttons;
    QString fileName;
};

SeenFileDialog ShowAndCancel(CFileDialog& dialog)
{
    SeenFileDialog seen;
    WhenShown<QFileDialog>([&seen](QFileDialog* shown) {
        seen.folder = shown->directory().absolutePath();
        for (const QDialogButtonBox* box : shown->findChildren<QDialogButtonBox*>())
            seen.buttons << ButtonTexts(box->buttons());
        if (const auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            seen.fileName = name->text();
        shown->reject();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    return seen;
}

} // namespace

TEST(ToolkitDialogs, SpeakChineseAndStartInTheFolderAsked)
{
    TestDeadline deadline(30s, "toolkit dialogs");
    AfxSetMessageBoxHook({});
    AfxSetFileDialogHook({});

    QStringList okCancel;
    WhenShown<QMessageBox>([&okCancel](QMessageBox* box) {
        okCancel = ButtonTexts(box->buttons());
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(AfxShowMessageBox(HWND(), "?", "", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(okCancel, Sorted({ QStringLiteral("确定"), QStringLiteral("取消") }));

    QStringList yesNo;
    WhenShown<QMessageBox>([&yesNo](QMessageBox* box) {
        yesNo = ButtonTexts(box->buttons());
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(AfxShowMessageBox(HWND(), "?", "", MB_YESNO), IDNO);
    EXPECT_EQ(yesNo, Sorted({ QStringLiteral("是"), QStringLiteral("否") }));

    ScratchFolder folder;
    const std::string gone = folder / "gone";
    const CString filter = CString::FromUtf8("文本文件|*.txt|所有文件|*.*||");
    CFileDialog save(FALSE, "TXT", "urls_export.txt", OFN_OVERWRITEPROMPT, filter);
    const CString saveFolder = CString::FromUtf8(std::filesystem::path(gone).parent_path().string());
    save.m_ofn.lpstrInitialDir = saveFolder;
    const SeenFileDialog saving = ShowAndCancel(save);
    EXPECT_EQ(saving.folder, QString::fromStdString(saveFolder.ToUtf8()));
    EXPECT_EQ(saving.buttons, Sorted({ QStringLiteral("保存"), QStringLiteral("取消") }));
    EXPECT_EQ(saving.fileName, QStringLiteral("urls_export.txt"));

    CFileDialog open(TRUE, "", "", OFN_OVERWRITEPROMPT, filter);
    const CString goneFolder = CString::FromUtf8(gone);
    open.m_ofn.lpstrInitialDir = goneFolder;
    const SeenFileDialog opening = ShowAndCancel(open);
    EXPECT_TRUE(QDir(opening.folder).exists()) << opening.folder.toStdString();
    EXPECT_EQ(opening.buttons, Sorted({ QStringLiteral("打开"), QStringLiteral("取消") }));
}
