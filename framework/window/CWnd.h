// CWnd: a window. Every window object has a handle from the window table and
// is backed by one toolkit widget; children are placed in their parent's
// client coordinates.
#pragma once

#include <memory>

#include "framework/base/CString.h"
#include "framework/window/CCmdTarget.h"
#include "framework/window/CDC.h"
#include "framework/window/MessageQueue.h"
#include "framework/window/NonClient.h"

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HWND hwndParent;
    UINT_PTR hMenu = 0; // the child id
    int cy = 0, cx = 0, y = 0, x = 0;
    LONG style = 0;
    CString lpszName;
    CString lpszClass;
    DWORD dwExStyle = 0;
};

// Window class names the framework knows how to back.
inline constexpr const char* WC_GENERIC = "AfxWnd";
inline constexpr const char* WC_FRAME = "AfxFrameOrView";
inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* WC_BUTTON = "Button";
inline constexpr const char* WC_STATIC = "Static";
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr const char* WC_STATUSBAR = "msctls_statusbar32";
inline constexpr const char* WC_DIALOG = "#32770";

struct WindowBacking;
class CFont;
class CFrameWnd;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd;

    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);

    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
        CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual BOOL DestroyWindow();

    // Hooks.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy();
    // Called when the backing widget's size changed; lays children out.
    virtual void RecalcLayout() { }

    // Handles the message being processed the default way.
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    CWnd* GetParent() const;
    // GW_CHILD: the first child window.
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int nID);

    void SetWindowText(LPCSTR text);
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsZoomed() const;
    void UpdateWindow();
    void Invalidate(BOOL erase = TRUE);
    CWnd* SetFocus();
    static CWnd* GetFocus();

    DWORD GetStyle() const { return m_dwWindowStyle; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT nFlags = 0);
    virtual BOOL IsFrameWnd() const { return FALSE; }
    // The nearest frame above this window (defined with the frames).
    CFrameWnd* GetParentFrame() const;
    CWnd* SetParent(CWnd* pWndNewParent);

    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const; // in screen coordinates
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
    // Sends WM_WINDOWPOSCHANGING, then applies what the window left in the
    // position; SWP_FRAMECHANGED recomputes the non-client area.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL RedrawWindow(const RECT* lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
        UINT flags = RDW_INVALIDATE | RDW_UPDATENOW);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Mouse capture (see GetCapture and ReleaseCapture).
    CWnd* SetCapture();

    // Device contexts of the whole window; released with ReleaseDC.
    CDC* GetWindowDC();
    CDC* GetDCEx(void* prgnClip, DWORD flags);
    int ReleaseDC(CDC* pDC);
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(POINT* point) const;

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);

    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

    // Files dropped on the window from the desktop come as WM_DROPFILES.
    void DragAcceptFiles(BOOL bAccept = TRUE);

    // The font the window draws its text with (WM_GETFONT); owned by the window.
    CFont* GetFont() const;
    void SetFont(CFont* font);

    // Framework-private: the toolkit widget behind the window.
    WindowBacking* Backing() const { return m_backing.get(); }

protected:
    DECLARE_MESSAGE_MAP()

    // Creates the backing widget for the class name; the generic widget when
    // the name is unknown.
    virtual void CreateBacking(const CREATESTRUCT& cs, CWnd* parent);
    void Attach(std::unique_ptr<WindowBacking> backing);

    // Handlers of the framework's own messages, overridable through maps.
    int OnCreate(CREATESTRUCT* cs);
    void OnDestroy() { }
    void OnClose();
    void OnTimer(UINT_PTR) { }
    void OnSize(UINT, int, int) { }

    DWORD m_dwWindowStyle = 0;
    UINT m_nID = 0;

private:
    friend struct WindowBacking;
    std::unique_ptr<WindowBacking> m_backing;
    mutable std::unique_ptr<CFont> m_font;
    const MSG* m_currentMsg = nullptr;
};

// The main window of the GUI thread, or null before there is one.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);

BOOL GetCursorPos(POINT* point);
