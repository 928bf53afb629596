// CMiniFrameWnd: a small tool frame with a thin caption showing its title, a
// close box and a resizing border; CMiniDockFrameWnd: the one that holds a
// floating control bar in a dock bar of its own.
#pragma once

#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"

// Resizing by the four sides only, not by the corners.
constexpr DWORD MFS_4THICKFRAME = 0x00000200;

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMiniFrameWnd)
public:
    // Thickness of the resizing border and height of the caption.
    static constexpr int kBorder = 4;
    static constexpr int kCaption = 16;

    BOOL CreateMiniFrame(LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);
    // The caption's close box, in window coordinates.
    CRect CloseBoxRect() const;

protected:
    DECLARE_MESSAGE_MAP()
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcPaint();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNAMIC(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd()
        : m_wndDockBar(TRUE)
    {
    }

    BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    // Sizes the frame around the floating bar's size and follows its title
    // and visibility.
    void RecalcLayout() override;
    CControlBar* FloatingBar() const;

    CDockBar m_wndDockBar;

protected:
    DECLARE_MESSAGE_MAP()
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonUp(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    void OnClose();
};
