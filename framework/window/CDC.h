// Fonts and device contexts: text measuring in a client area, and drawing
// into a window's non-client area, into memory bitmaps and, for trackers,
// inverted patterns over a frame.
#pragma once

#include <memory>

#include "framework/base/CString.h"

class CWnd;
class CDC;
struct FontData;
struct BrushData;
struct BitmapData;
struct DcData;

using COLORREF = DWORD;
constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// System colour indexes.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
COLORREF GetSysColor(int nIndex);

// Raster operations and background modes.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Window DC flags of GetDCEx.
constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;

class CBrush {
public:
    CBrush();
    explicit CBrush(COLORREF color);
    ~CBrush();
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;
    BrushData* Data() const { return m_data.get(); }

private:
    std::unique_ptr<BrushData> m_data;
};

// The stock brush of a system colour; owned by the framework.
CBrush* GetSysColorBrush(int nIndex);

class CBitmap {
public:
    CBitmap();
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    BOOL CreateCompatibleBitmap(const CDC* pDC, int width, int height);
    BitmapData* Data() const { return m_data.get(); }

private:
    std::unique_ptr<BitmapData> m_data;
};

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
};

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // Point size in points; the face falls back to an installed CJK face when
    // the named one is missing.
    BOOL CreatePointFont(int pointSize, LPCSTR faceName);
    FontData* Data() const { return m_data.get(); }

private:
    std::unique_ptr<FontData> m_data;
};

// A device context for measuring text in a window's client area.
class CClientDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    // Selects a font; returns the one selected before.
    CFont* SelectObject(CFont* font);
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
    CSize GetTextExtent(const CString& text) const;

private:
    CFont m_defaultFont;
    CFont* m_selected;
};

// A drawing surface: a window's non-client area (CWindowDC), a memory bitmap
// (CreateCompatibleDC, then SelectObject of a bitmap) or, for a window
// without a non-client area of its own such as a frame, an overlay on which
// only inverted patterns are drawn: PatBlt with PATINVERT toggles its
// rectangle, so inverting twice removes it.
class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CBrush* SelectObject(CBrush* brush);

    void FillRect(const RECT& rect, CBrush* brush);
    void FillSolidRect(const RECT& rect, COLORREF color);
    void Draw3dRect(const RECT& rect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void SetPixel(int x, int y, COLORREF color);
    COLORREF SetTextColor(COLORREF color);
    int SetBkMode(int mode);
    BOOL TextOut(int x, int y, const CString& text);
    int IntersectClipRect(const RECT& rect);
    int ExcludeClipRect(const RECT& rect);
    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    int GetDeviceCaps(int index) const;

    // The 50% grey checkerboard used for trackers.
    static CBrush* GetHalftoneBrush();

    DcData* Data() const { return m_data.get(); }

protected:
    std::unique_ptr<DcData> m_data;
};

// The whole window, non-client area included, in window coordinates.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;
};
