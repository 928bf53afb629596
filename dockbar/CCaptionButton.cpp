#include "dockbar/CCaptionButton.h"

namespace {

constexpr int kButtonSize = 11;

int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>((static_cast<long long>(value) * numerator + denominator / 2) / denominator);
}

} // namespace

CRect CCaptionButton::GetButtonRect() const
{
    return CRect(m_ptOrigin.x, m_ptOrigin.y, m_ptOrigin.x + kButtonSize, m_ptOrigin.y + kButtonSize);
}

void CCaptionButton::Draw(CDC* pDC) const
{
    const CRect rc = GetButtonRect();
    if (m_bPressed)
        pDC->Draw3dRect(rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bHot)
        pDC->Draw3dRect(rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));

    // The cross is the close glyph of a 6-point symbol font at 96 pixels per
    // inch, 8 pixels high; that font is a Windows one, so the cross is drawn
    // here pixel by pixel with the same size at every resolution: two
    // diagonals two pixels wide, 7 pixels across, starting 2 pixels inside
    // the button.
    const int pointsTenths = MulDiv(60, 96, pDC->GetDeviceCaps(LOGPIXELSX));
    const int cellPixels = MulDiv(pointsTenths, pDC->GetDeviceCaps(LOGPIXELSX), 720); // 8 at any resolution
    const int span = cellPixels - 2;
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const int x = m_ptOrigin.x + 2;
    const int y = m_ptOrigin.y + 2;
    for (int i = 0; i < span; ++i) {
        pDC->SetPixel(x + i, y + i, text);
        pDC->SetPixel(x + i + 1, y + i, text);
        pDC->SetPixel(x + span - i - 1, y + i, text);
        pDC->SetPixel(x + span - i, y + i, text);
    }
}
