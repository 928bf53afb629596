// The line-number column starts as wide as its heading, which leaves room
// for a few digits; the numbers of a long file need more.
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

void CVelmoraView::FitLineNumberColumn()
{
    CListCtrl& list = GetListCtrl();
    const int rows = list.GetItemCount();
    if (rows == 0)
        return;
    // Rows keep the file's order, so the last row holds the largest number,
    // and the largest number has the most digits: one cell tells the width,
    // however many rows there are. The column never narrows, so the width
    // sized to the heading stays while the numbers fit it.
    const int needed = list.GetCellWidth(list.GetItemText(rows - 1, COL_LINE));
    if (needed > list.GetColumnWidth(COL_LINE))
        list.SetColumnWidth(COL_LINE, needed);
}
