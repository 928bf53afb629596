// CControlBar: a bar along an edge of its frame (status bar, docking bars).
// The frame asks each visible bar for its size when it lays out its client
// area; docking bars live in a dock bar of the frame, or float in a small
// frame of their own.
#pragma once

#include "framework/controls/ControlStyles.h"
#include "framework/window/CWnd.h"

class CDockBar;
class CDockContext;
class CFrameWnd;

// Layout modes of CalcDynamicLayout.
constexpr DWORD LM_STRETCH = 0x01;
constexpr DWORD LM_HORZ = 0x02;
constexpr DWORD LM_MRUWIDTH = 0x04;
constexpr DWORD LM_HORZDOCK = 0x08;
constexpr DWORD LM_VERTDOCK = 0x10;
constexpr DWORD LM_LENGTHY = 0x20;
constexpr DWORD LM_COMMIT = 0x40;

// Dock bar ids, one per side and one inside each floating frame.
constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
constexpr UINT AFX_IDW_DOCKBAR_FLOAT = 0xE81F;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar() = default;
    ~CControlBar() override;

    // The bar's size along (horz) or across its edge; stretch asks for the
    // full length of the edge.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // The size for a length and a mode (LM_*); by default the fixed layout.
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    // Called for every bar of a frame at idle time.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style) { m_dwStyle = style; }
    // The sides (CBRS_ALIGN_*) the bar may dock to; makes its dock context.
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloating() const;
    // Visible, counting a pending delayed show or hide.
    BOOL IsVisible() const;
    void DelayShow(BOOL bShow);
    // Carries out a delayed show or hide now.
    void RecalcDelayShow();
    // Draws the CBRS_BORDER_* borders and shrinks the rectangle by them.
    void DrawBorders(CDC* pDC, CRect& rect);
    CFrameWnd* GetDockingFrame() const;

    DWORD m_dwStyle = 0; // bar style: CBRS_*
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;

    enum StateFlags : UINT { delayHide = 0x1, delayShow = 0x2 };
    UINT m_nStateFlags = 0;

protected:
    void PostNcDestroy() override;
};
