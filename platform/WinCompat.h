#pragma once
// Small stand-ins for the Windows notions that the program's code is phrased in: colours,
// rectangles and points in pixels, message numbers and the message-box codes. Plain types of our
// own, usable without Qt.

#include <algorithm>
#include <cstdint>

using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFFu; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFFu; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFFu; }

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const CPoint &) const = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const CSize &) const = default;
};

// A rectangle whose right and bottom edges are exclusive, as on Windows.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr bool operator==(const CRect &) const = default;
};

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr unsigned WM_USER = 0x0400;

// Message-box button sets and results, with their Windows values.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_TYPEMASK = 0xF;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
