// Fonts and device contexts, as far as text measuring goes.
#pragma once

#include <memory>

#include "framework/base/CString.h"

class CWnd;
struct FontData;

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
