// Non-client areas, mouse input, capture and window positions: the messages,
// hit codes and structures of the classic platform, and their map entries.
#pragma once

#include <functional>
#include <vector>

#include "framework/base/Constants.h"
#include "framework/base/Types.h"
#include "framework/window/MessageMap.h"

class CWnd;

constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_CAPTURECHANGED = 0x0215;

// Hit-test codes.
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
constexpr int HTCLOSE = 20;

// Window position flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

// Redraw flags.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_FRAME = 0x0400;

// GetWindow relations.
constexpr UINT GW_CHILD = 5;

// Mouse-key state and virtual keys.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_ESCAPE = 0x1B;

// System parameters.
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_SETDRAGFULLWINDOWS = 0x0025;

// Window class styles and stock cursors.
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_VREDRAW = 0x0001;
constexpr int IDC_ARROW = 32512;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

// The first rectangle comes in as the proposed window rectangle (in the
// parent's client coordinates) and goes out as the client rectangle.
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos = nullptr;
};

// Points travel in lParam as two signed 16-bit halves.
constexpr LPARAM PointToLParam(POINT pt)
{
    return static_cast<LPARAM>(
        (static_cast<DWORD>(pt.x) & 0xFFFF) | ((static_cast<DWORD>(pt.y) & 0xFFFF) << 16));
}
constexpr CPoint PointFromLParam(LPARAM lParam)
{
    return CPoint(static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF));
}

// The window that holds the mouse capture, and taking and giving it up. The
// window losing the capture gets WM_CAPTURECHANGED with the new holder. When
// the pointer is taken away (its window or the application loses activation,
// a popup or another widget grabs it) the capture ends as if released.
CWnd* GetCapture();
BOOL ReleaseCapture();
BOOL SetCursorPos(int x, int y);

// The inverted rectangles (trackers) shown over the top-level window of wnd,
// in screen coordinates; for diagnostics and tests.
std::vector<CRect> AfxGetInvertedRects(CWnd* wnd);

// Negative when the key is down; the left mouse button, Shift and Ctrl are
// known.
short GetKeyState(int nVirtKey);

// Runs a tracking loop while the left button stays down: every mouse move
// calls onMove with the screen point. TRUE when the button is released, FALSE
// when the drag is cancelled (Escape, a right press, a modal box, the pointer
// taken away as above) or the button is not down.
BOOL AfxTrackMouse(const std::function<void(CPoint)>& onMove);

// Only the full-window drag setting is known. Its default is off (edges are
// dragged with a tracker); the environment variable BRISQUEL_DRAG_FULL_WINDOWS=1
// turns it on, and SPI_SETDRAGFULLWINDOWS changes it at run time, telling
// every window through WM_SETTINGCHANGE.
BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, void* pvParam, UINT fWinIni);

// A window class: the class style and the background colour index; the
// returned name stays valid for the process.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, int hCursor = 0, int nBackgroundColor = 0, int hIcon = 0);

#define ON_WM_NCCALCSIZE()                                                                                   \
    {                                                                                                        \
        WM_NCCALCSIZE, 0, 0, 0,                                                                              \
            AFX_HANDLER(                                                                                     \
                self->OnNcCalcSize(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)); \
                return 0;)                                                                                   \
    }                                                                                                        \
    ,
#define ON_WM_NCHITTEST()                                                                                    \
    {                                                                                                        \
        WM_NCHITTEST, 0, 0, 0, AFX_HANDLER(return self->OnNcHitTest(PointFromLParam(lParam));)               \
    }                                                                                                        \
    ,
#define ON_WM_NCPAINT()                                                                                      \
    {                                                                                                        \
        WM_NCPAINT, 0, 0, 0, AFX_HANDLER(self->OnNcPaint(); return 0;)                                       \
    }                                                                                                        \
    ,
#define ON_WM_PAINT()                                                                                        \
    {                                                                                                        \
        WM_PAINT, 0, 0, 0, AFX_HANDLER(self->OnPaint(); return 0;)                                           \
    }                                                                                                        \
    ,
#define AFX_MOUSE_ENTRY(msg, fn)                                                                             \
    {                                                                                                        \
        msg, 0, 0, 0, AFX_HANDLER(self->fn(static_cast<UINT>(wParam), PointFromLParam(lParam)); return 0;)   \
    }                                                                                                        \
    ,
#define ON_WM_NCLBUTTONDOWN() AFX_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_MOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() AFX_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_CAPTURECHANGED()                                                                               \
    {                                                                                                        \
        WM_CAPTURECHANGED, 0, 0, 0,                                                                          \
            AFX_HANDLER(self->OnCaptureChanged(CWnd::FromHandle(HWND(static_cast<std::uint32_t>(lParam))));  \
                        return 0;)                                                                           \
    }                                                                                                        \
    ,
#define ON_WM_WINDOWPOSCHANGING()                                                                            \
    {                                                                                                        \
        WM_WINDOWPOSCHANGING, 0, 0, 0,                                                                       \
            AFX_HANDLER(self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;)          \
    }                                                                                                        \
    ,
#define ON_WM_SETTINGCHANGE()                                                                                \
    {                                                                                                        \
        WM_SETTINGCHANGE, 0, 0, 0,                                                                           \
            AFX_HANDLER(self->OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<LPCSTR>(lParam));  \
                        return 0;)                                                                           \
    }                                                                                                        \
    ,
#define ON_MESSAGE(msg, memberFxn)                                                                           \
    {                                                                                                        \
        msg, 0, 0, 0, AFX_HANDLER(return self->memberFxn(wParam, lParam);)                                   \
    }                                                                                                        \
    ,
