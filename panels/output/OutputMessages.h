#pragma once
// The messages the output page receives, by the page's own numbers: the output strips report
// each user change, the response graph reports drags and focus, the master volume strip its fader
// and unit choice, the link editor a new set of groups. The same numbers can mean other things to
// other receivers (WM_USER + 220 is WM_BITBUTTON_PRESS when a link button posts it to its strip).
// Values travel as wParam / lParam; no message carries an address.

#include "platform/WinCompat.h"

// Output strip → page: wParam the output 0..7.
inline constexpr unsigned WM_OUTSTRIP_MUTE = WM_USER + 202;    // lParam on flag
inline constexpr unsigned WM_OUTSTRIP_SELECT = WM_USER + 203;  // lParam unused
inline constexpr unsigned WM_OUTSTRIP_PASTE = WM_USER + 205;   // wParam source, lParam target
inline constexpr unsigned WM_OUTSTRIP_GAIN = WM_USER + 206;    // lParam gain 0..600
inline constexpr unsigned WM_OUTSTRIP_PHASE = WM_USER + 207;   // lParam polarity 0/1
inline constexpr unsigned WM_OUTSTRIP_DELAY = WM_USER + 208;   // lParam delay 0..960
// Routing toggles 1..4 (route entries 1, 2, 0 and 4); lParam the toggle state.
inline constexpr unsigned WM_OUTSTRIP_ROUTE1 = WM_USER + 209;
inline constexpr unsigned WM_OUTSTRIP_ROUTE2 = WM_USER + 210;
inline constexpr unsigned WM_OUTSTRIP_ROUTE3 = WM_USER + 211;
inline constexpr unsigned WM_OUTSTRIP_ROUTE4 = WM_USER + 212;
// Routing toggles 5..12 (WM_USER + 213..220): sent by the strips, handled by nobody.
inline constexpr unsigned WM_OUTSTRIP_ROUTE_LAST = WM_USER + 220;

// Response graph → its owner page (WM_CURVE_BAND_CHANGED and WM_CURVE_KILLFOCUS are the graph's,
// panels/output/CFStatic.h).
inline constexpr unsigned WM_CURVE_FOCUS_BAND = WM_USER + 102;  // wParam item

// Numeric edits → page: wParam the edit's control id.
inline constexpr unsigned WM_NUMEDIT_ENTER = WM_USER + 701;

// Link editor → page: wParam output a, lParam output b or −1.
inline constexpr unsigned WM_LINKDLG_APPLY = WM_USER + 302;

// Master volume strip → page (the unit choice number is the delay-unit selector's as well,
// WM_GAINDLG_SELECT in controls/DELAC.h).
inline constexpr unsigned WM_GAINDLG_CHANGED = WM_USER + 8024;  // wParam control id, lParam position

// Page → view: show the volume page.
inline constexpr unsigned WM_VIEW_SHOW_VOLUME = WM_USER + 301;
