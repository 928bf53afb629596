// CSizingControlBar: a docking control bar whose size the user changes by
// dragging its edges, docked along a side of the frame or floating. It keeps
// one size per situation, shares its dock row with the other sizing bars of
// the row, paints its non-client border and sizing edges, and leaves its
// client area to its one child window.
#pragma once

#include <vector>

#include "framework/controls/CControlBar.h"

// Sizing styles (m_dwSizingStyle).
constexpr DWORD SZBS_EDGELEFT = 0x01;
constexpr DWORD SZBS_EDGERIGHT = 0x02;
constexpr DWORD SZBS_EDGETOP = 0x04;
constexpr DWORD SZBS_EDGEBOTTOM = 0x08;
constexpr DWORD SZBS_EDGEALL = 0x0F;
constexpr DWORD SZBS_SHOWEDGES = 0x10;
constexpr DWORD SZBS_SIZECHILD = 0x20;

class CSizingControlBar;
using CSCBArray = std::vector<CSizingControlBar*>;

class CSizingControlBar : public CControlBar {
    DECLARE_DYNAMIC(CSizingControlBar)
public:
    CSizingControlBar() = default;

    virtual BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd, UINT nID, DWORD dwStyle);
    virtual BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd, CSize sizeDefault, UINT nID, DWORD dwStyle);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    BOOL IsDockedHorz() const;
    BOOL IsDockedVert() const;
    BOOL IsUndocked() const;
    BOOL IsLengthDrag() const;

    // The rectangle of an edge (hit code) inside a window rectangle, in its
    // coordinates; FALSE when that side is not a sizing edge.
    BOOL CalcEdgeRect(const CRect& rcWnd, int nHitTest, CRect& rcEdge) const;
    static int EdgeHitCode(int i);

    // Row operations.
    void GetRowRange(int& nFirst, int& nLast, int& nThis) const;
    void CollectRowSizingBars(CSCBArray& arrSCBars, int& nThis) const;
    void CollectRowSizingBars(CSCBArray& arrSCBars) const;
    BOOL NegotiateRowSpace(int nLengthTotal, BOOL bHorz);

    DWORD m_dwSizingStyle = 0;
    int m_nDragEdge = HTNOWHERE;
    CSize m_sizeHorz { 350, 350 };
    CSize m_sizeVert { 350, 350 };
    CSize m_sizeFloat { 350, 350 };
    CSize m_sizeMinHorz { 350, 32 };
    CSize m_sizeMinVert { 33, 32 };
    CSize m_sizeMinFloat { 37, 32 };
    int m_nDragMin = 0;
    int m_nDragMax = 0;
    int m_nDragPos = 0;
    int m_nDragEdgeOffset = 0;
    BOOL m_bDragging = FALSE;
    BOOL m_bHoldLength = FALSE;
    BOOL m_bRowLayout = FALSE;
    BOOL m_bFullDrag = FALSE;
    UINT m_nDockBarId = 0;
    int m_cxSizingEdge = 5;

    // Edge drag, started by a press on a sizing edge and ended by the
    // release, a right press or the loss of the capture.
    virtual void BeginEdgeDrag(int nHitTest, CPoint point);
    virtual void EndEdgeDrag();
    virtual void UpdateEdgeDrag(CPoint point);
    virtual void InvertDragTracker();

protected:
    // Paints into the non-client area; nothing here.
    virtual void PaintGripper(CDC* pDC, const CRect& rcClient);
    // Turns a window rectangle into the client rectangle.
    virtual void CalcClientArea(CRect& rc, UINT nDockBarId);
    // Lines the bars of this bar's row up one after the other.
    virtual void AlignRowBars();

    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);
    void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    void OnPaint();
    LRESULT OnNcHitTest(CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnCaptureChanged(CWnd* pWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnClose();

    // Length and thickness in a row direction, as the row operations use them.
    LONG& Length(BOOL bHorz) { return bHorz ? m_sizeHorz.cx : m_sizeVert.cy; }
    LONG& Thickness(BOOL bHorz) { return bHorz ? m_sizeHorz.cy : m_sizeVert.cx; }
    LONG MinLength(BOOL bHorz) const { return bHorz ? m_sizeMinHorz.cx : m_sizeMinVert.cy; }
    LONG MinThickness(BOOL bHorz) const { return bHorz ? m_sizeMinHorz.cy : m_sizeMinVert.cx; }
};
