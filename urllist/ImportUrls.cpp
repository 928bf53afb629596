// The import: the lines of the URL file become the rows of the list.
#include <charconv>

#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/io/CStdioFile.h"
#include "framework/io/FileSystem.h"
#include "urllist/CVelmoraView.h"
#include "urllist/UrlRules.h"
#include "urllist/Validity.h"

void CVelmoraView::ImportUrls()
{
    const HWND hub = HubWindow();
    CStdioFile file;
    // The file can vanish or change between the test and the open; both
    // failures take the same path.
    auto reportUnreadable = [this] {
        CString text;
        text.Format(CString::FromUtf8("文件不存在或被锁定！\n\n%s"), g_strImportPath.GetString());
        MessageBox(text, "", MB_OK);
    };
    if (!FileExists(g_strImportPath) || !file.Open(g_strImportPath, CFile::modeRead | CFile::typeText)) {
        reportUnreadable();
        PostMessageA(hub, UM_LIST_LOADED, 0, 0);
        return;
    }

    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    ForgetAllProbeDetails();
    ForgetProbedRows();
    // The ignore list is normalised in place by the first line's test, and
    // only then: an empty file leaves it as the user typed it.
    std::vector<CString> ignoreWords;
    CString line;
    int row = 0;
    while (file.ReadString(line)) {
        if (file.StartedOver()) {
            list.DeleteAllItems();
            row = 0;
        }
        if (row == 0)
            ignoreWords = NormalizeIgnoreList(g_strIgnoreList);
        // Formatted by hand: printf's machinery would cost more than the rest
        // of the row on files of millions of lines.
        char number[16];
        *std::to_chars(number, number + sizeof number - 1, row + 1).ptr = '\0';
        list.InsertItem(row, number);
        const CString& validity = ImportLine(line, ignoreWords);
        list.SetItemText(row, COL_URL, line);
        if (!validity.IsEmpty())
            list.SetItemText(row, COL_VALIDITY, validity);
        ++row;
    }
    SetUrlFileEncoding(file.GetEncoding());
    CountValidity();
    // A new list: nothing in it is checked yet, and the last one's copy goes.
    m_recovery.Discard();
    FitLineNumberColumn();
    // A read error looks like the end of the file to the loop; without a word
    // the user would take the rows read so far for the whole list.
    const bool readFailed = file.Failed();
    file.Close();
    if (readFailed)
        reportUnreadable();
    PostMessageA(hub, UM_LIST_LOADED, 0, row);
}
