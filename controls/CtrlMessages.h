#pragma once
// Message numbers the skinned controls send or post to their parents, and the Windows
// virtual-key codes that the numeric edit reports. The numbers are the system's own.

#include "platform/WinCompat.h"

#include <Qt>

class QKeyEvent;

inline constexpr unsigned WM_CTRL_MOUSEMOVE = WM_USER + 602;      // 1626: wParam key flags, lParam id
inline constexpr unsigned WM_COMBOXBTN_SELECT = WM_USER + 802;    // 1826: wParam notify id, lParam index
inline constexpr unsigned WM_SKINBTN_UNCHECK = WM_USER + 16;      // 1040
inline constexpr unsigned WM_SKINBTN_REPEAT = WM_USER + 300;      // 1324: wParam id, lParam value
inline constexpr unsigned WM_XPBUTTON_REPEAT = WM_USER + 301;     // 1325: wParam id, lParam count
inline constexpr unsigned WM_NUMEDIT_KEY = WM_USER + 700;         // 1724: wParam id, lParam virtual key
inline constexpr unsigned WM_NUMSPIN_DELAYSTEP = WM_USER + 1100;  // 2124: wParam id, lParam delta
inline constexpr unsigned WM_SLIDER_TAKEFOCUS = WM_USER + 201;    // 1225
inline constexpr unsigned WM_SLIDER_POS_CHANGING = WM_USER + 9425;  // 10449: wParam id, lParam pos
inline constexpr unsigned WM_SLIDER_POS_CHANGED = WM_USER + 9426;   // 10450: wParam id, lParam pos

// Virtual-key codes used by the controls.
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_DELETE = 0x2E;

// The virtual-key code of a Qt key (0 when it has none).
int VirtualKeyFromQt(int qtKey);

// WM_MOUSEMOVE-style key flags of a mouse state.
unsigned MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

// Show commands of the controls' own ShowWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;
