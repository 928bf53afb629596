#include "framework/controls/CListCtrl.h"

#include <QHeaderView>
#include <algorithm>

#include "framework/controls/private/ListWidget.h"
#include "framework/window/private/WindowBacking.h"

void CListCtrl::BindTo(CWnd* listWindow)
{
    m_wnd = listWindow;
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(listWindow));
    m_store = widget ? &widget->Store() : nullptr;
}

int CListCtrl::GetItemCount() const
{
    return m_store ? m_store->RowCount() : 0;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    return CString(GetItemTextView(nItem, nSubItem));
}

std::string_view CListCtrl::GetItemTextView(int nItem, int nSubItem) const
{
    return m_store ? m_store->Cell(nItem, nSubItem) : std::string_view();
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR text)
{
    return m_store && m_store->SetCell(nItem, nSubItem, text ? text : "");
}

int CListCtrl::InsertItem(int nItem, LPCSTR text)
{
    return m_store ? m_store->InsertRow(nItem, text ? text : "") : -1;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    return m_store && m_store->DeleteRow(nItem);
}

BOOL CListCtrl::DeleteAllItems()
{
    if (!m_store)
        return FALSE;
    m_store->DeleteAll();
    return TRUE;
}

int CListCtrl::DeleteItems(const std::vector<bool>& remove)
{
    return m_store ? m_store->DeleteRows(remove) : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR data)
{
    return m_store && m_store->SetData(nItem, data);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    return m_store ? m_store->Data(nItem) : 0;
}

int CListCtrl::GetSelectionMark() const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    return widget ? widget->SelectionMark() : -1;
}

int CListCtrl::SetSelectionMark(int nItem)
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget)
        return -1;
    const int previous = widget->SelectionMark();
    widget->SetSelectionMark(nItem);
    return previous;
}

UINT CListCtrl::GetSelectedCount() const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget)
        return 0;
    UINT count = 0;
    for (const auto& [first, last] : widget->SelectedRowRuns())
        count += static_cast<UINT>(last - first + 1);
    return count;
}

int CListCtrl::GetNextItem(int nItem, UINT nFlags) const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget || nFlags != LVNI_SELECTED)
        return -1;
    const int from = std::max(nItem + 1, 0);
    for (const auto& [first, last] : widget->SelectedRowRuns()) {
        if (last >= from)
            return std::max(first, from);
    }
    return -1;
}

int CListCtrl::InsertColumn(int nCol, LPCSTR heading, int, int width)
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget)
        return -1;
    const int col = m_store->InsertColumn(nCol, CString(heading));
    // Columns change rarely and their widths are set right after: catch up now.
    widget->CatchUp();
    if (width >= 0)
        widget->horizontalHeader()->resizeSection(col, width);
    return col;
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget || nCol < 0 || nCol >= m_store->ColumnCount())
        return FALSE;
    widget->CatchUp();
    QHeaderView* header = widget->horizontalHeader();
    if (cx == LVSCW_AUTOSIZE_USEHEADER || cx == LVSCW_AUTOSIZE)
        cx = widget->FittingColumnWidth(nCol);
    header->resizeSection(nCol, cx);
    return TRUE;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    return widget ? widget->horizontalHeader()->sectionSize(nCol) : 0;
}

int CListCtrl::GetCellWidth(LPCSTR text) const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    return widget ? widget->CellWidth(ToQString(CString(text))) : 0;
}

int CListCtrl::GetColumnCount() const
{
    return m_store ? m_store->ColumnCount() : 0;
}

CString CListCtrl::GetColumnHeading(int nCol) const
{
    return m_store && nCol >= 0 && nCol < m_store->ColumnCount() ? m_store->Heading(nCol) : CString();
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    if (!widget)
        return 0;
    const DWORD previous = widget->ExtendedStyle();
    widget->SetExtendedStyle(exStyle);
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const
{
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_wnd));
    return widget ? widget->ExtendedStyle() : 0;
}
