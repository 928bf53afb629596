// Base types, constants and geometry of the framework, in the classic names
// the application code uses.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONGLONG = std::uint64_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCSTR = const char*;
using LPSTR = char*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// A window handle names a slot of the window table together with the slot's
// generation, so a handle outlives its window harmlessly: it then names no
// window at all.
struct HWND {
    std::uint32_t value = 0;
    constexpr HWND() = default;
    constexpr HWND(std::nullptr_t) { }
    constexpr explicit HWND(std::uint32_t v)
        : value(v)
    {
    }
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(HWND, HWND) = default;
};

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

class CPoint : public POINT {
public:
    constexpr CPoint() = default;
    constexpr CPoint(LONG x0, LONG y0)
        : POINT { x0, y0 }
    {
    }
    friend constexpr bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
};

class CSize : public SIZE {
public:
    constexpr CSize() = default;
    constexpr CSize(LONG cx0, LONG cy0)
        : SIZE { cx0, cy0 }
    {
    }
    friend constexpr bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
};

class CRect : public RECT {
public:
    constexpr CRect() = default;
    constexpr CRect(LONG l, LONG t, LONG r, LONG b)
        : RECT { l, t, r, b }
    {
    }
    constexpr CRect(const RECT& r)
        : RECT(r)
    {
    }
    constexpr LONG Width() const { return right - left; }
    constexpr LONG Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(POINT p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void SetRect(LONG l, LONG t, LONG r, LONG b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void OffsetRect(LONG dx, LONG dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void DeflateRect(LONG l, LONG t, LONG r, LONG b)
    {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    friend constexpr bool operator==(const CRect& a, const CRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

// A message as the queue carries it and the pre-translation chain sees it.
struct MSG {
    HWND hwnd;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
using LPMSG = MSG*;

constexpr WORD LOWORD(DWORD_PTR v)
{
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(DWORD_PTR v)
{
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
