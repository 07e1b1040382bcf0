#pragma once
// Messages of the output strips, the master volume strip and their keys. Every strip message
// carries values only: wParam the strip's output 0..7, lParam the new value. The numbers are the
// system's own; WM_USER + 220 is routing toggle 12 on its way to the page and WM_BITBUTTON_PRESS
// (controls/BitButton.h) on its way from the link button to its strip.

#include "controls/CtrlMessages.h"
#include "controls/DELAC.h"  // WM_GAINDLG_SELECT
#include "platform/WinCompat.h"

// Strip -> page.
inline constexpr unsigned WM_OUTSTRIP_MUTE = WM_USER + 202;    // lParam new on flag: 1 sounding, 0 muted
inline constexpr unsigned WM_OUTSTRIP_SELECT = WM_USER + 203;  // lParam 0 (channel button)
inline constexpr unsigned WM_OUTSTRIP_COPY = WM_USER + 204;    // Ctrl+C, to the strip itself
inline constexpr unsigned WM_OUTSTRIP_PASTE = WM_USER + 205;   // Ctrl+V, to the strip itself
inline constexpr unsigned WM_OUTSTRIP_GAIN = WM_USER + 206;    // lParam gain 0..600 (-60.0..0.0 dB)
inline constexpr unsigned WM_OUTSTRIP_PHASE = WM_USER + 207;   // lParam polarity 0 normal, 1 inverted
inline constexpr unsigned WM_OUTSTRIP_DELAY = WM_USER + 208;   // lParam delay 0..960 (1/48 ms)
// Routing toggle k (1..12) posts WM_OUTSTRIP_ROUTE + k with its new state 0 or 1.
inline constexpr unsigned WM_OUTSTRIP_ROUTE = WM_USER + 208;
constexpr unsigned OutStripRouteMessage(int k) { return WM_OUTSTRIP_ROUTE + unsigned(k); }

// Enter in a strip's edit, posted to the strip itself (wParam the edit's id).
inline constexpr unsigned WM_NUMEDIT_ENTER = WM_USER + 701;

// Master volume strip -> page: wParam the strip's own id, lParam the volume 0..66
// (-60..+6 dB; 0 shows OFF). The value is the volume itself, never a raw fader position.
inline constexpr unsigned WM_GAINDLG_CHANGED = WM_USER + 8024;
