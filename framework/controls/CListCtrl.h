// CListCtrl: the cell operations of a report-style list control. The
// control's own rows are the model; the widget that shows them catches up at
// idle time, so bulk work on a million rows stays cheap.
#pragma once

#include <string_view>
#include <vector>

#include "framework/base/CString.h"
#include "framework/controls/ControlStyles.h"
#include "framework/window/MessageMap.h"

class ListStore;
class CWnd;

// LVN_KEYDOWN: a key pressed in the list, told to its owner before the list
// acts on it. Letter and digit keys are told, as their virtual-key codes.
struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};

// LVN_GETINFOTIP: the owner writes the tip of cell (iItem, iSubItem) into
// pszText, at most cchTextMax bytes with the NUL; it starts empty, and an
// empty text means no tip. lParam is the row's item data.
struct NMLVGETINFOTIP {
    NMHDR hdr;
    DWORD dwFlags;
    LPSTR pszText;
    int cchTextMax;
    int iItem;
    int iSubItem;
    LPARAM lParam;
};

class CListCtrl {
public:
    CListCtrl() = default;

    int GetItemCount() const;
    CString GetItemText(int nItem, int nSubItem) const;
    // Text of a cell without a copy, not NUL-terminated; valid until the list
    // changes.
    std::string_view GetItemTextView(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR text);
    // Inserts a row at nItem (clamped to the end) with its column-0 text;
    // returns its index, or -1.
    int InsertItem(int nItem, LPCSTR text);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // Removes, in one pass, every row whose flag in `remove` is set; the other
    // rows keep their order. Returns the number removed.
    int DeleteItems(const std::vector<bool>& remove);

    BOOL SetItemData(int nItem, DWORD_PTR data);
    DWORD_PTR GetItemData(int nItem) const;

    // The row from which the user's latest selection started, or -1.
    int GetSelectionMark() const;
    int SetSelectionMark(int nItem);
    UINT GetSelectedCount() const;
    // The first row after nItem (-1: from the top) that matches nFlags, or
    // -1; LVNI_SELECTED is the one search there is.
    int GetNextItem(int nItem, UINT nFlags) const;

    int InsertColumn(int nCol, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1);
    BOOL SetColumnWidth(int nCol, int cx);
    int GetColumnWidth(int nCol) const;
    // The column width that shows `text` whole in a cell: the list's font
    // and the cell's margins.
    int GetCellWidth(LPCSTR text) const;
    int GetColumnCount() const;
    CString GetColumnHeading(int nCol) const;
    DWORD SetExtendedStyle(DWORD exStyle);
    DWORD GetExtendedStyle() const;

    // Framework-private: binds the facade to the list behind a window.
    void BindTo(CWnd* listWindow);

private:
    ListStore* m_store = nullptr;
    CWnd* m_wnd = nullptr;
};
