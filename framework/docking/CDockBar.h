// CDockBar: the bar along one side of a frame (or inside a floating frame)
// that holds docked control bars in rows.
//
// m_arrBars, for a dock bar with two rows, the second of two bars:
//
//     [ null | barA | null | barB | 0x0042 | null ]
//       ^ start  row 1  ^ end    row 2          ^ end of row 2
//
// An entry is a bar, a separator (null) that ends a row, or a placeholder:
// the control id of a bar that floats now, remembering where it was docked.
// Entries below 0x10000 are never bars.
#pragma once

#include <vector>

#include "framework/controls/CControlBar.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    static BOOL IsBarEntry(const void* entry) { return reinterpret_cast<std::uintptr_t>(entry) >= 0x10000; }
    static void* PlaceholderEntry(UINT nID)
    {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(nID));
    }

    // The bar's position in m_arrBars, or -1; nPosExclude is skipped.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    CControlBar* GetDockedControlBar(int nPos) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    BOOL IsHorz() const { return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0; }

    // Takes the bar: it becomes a child of this dock bar, in the row its
    // placeholder remembers, or else in a new row at the end.
    void DockControlBar(CControlBar* pBar, const RECT* lpRect = nullptr);
    // Removes the bar, leaving its control id as a placeholder if asked.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, BOOL bAddPlaceholder = FALSE);

    // The layout pass: asks each visible bar for its size (length -1 and
    // LM_HORZDOCK or LM_VERTDOCK), places the bars in their rows unless only
    // querying, and answers the dock bar's thickness.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

    std::vector<void*> m_arrBars;
    BOOL m_bFloating;
    BOOL m_bLayoutQuery = FALSE;
    CRect m_rectLayout;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void RemovePlaceholder(UINT nID);
    void Compact();
    BOOL LayoutRows(BOOL bHorz, int& thickness);
};
