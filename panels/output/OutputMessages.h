#pragma once
// The messages the output page receives, by the page's own numbers. The strips' and the master
// volume strip's are in OutStripMessages.h (the strip sends them); the graph's
// WM_CURVE_BAND_CHANGED and WM_CURVE_KILLFOCUS are in CFStatic.h. The same numbers can mean other
// things to other receivers. Values travel as wParam / lParam; no message carries an address.

#include "panels/output/OutStripMessages.h"
#include "platform/WinCompat.h"

// Response graph → its owner page: wParam the item.
inline constexpr unsigned WM_CURVE_FOCUS_BAND = WM_USER + 102;

// Link editor → page: wParam output a, lParam output b or −1.
inline constexpr unsigned WM_LINKDLG_APPLY = WM_USER + 302;

// Page → view: show the volume page.
inline constexpr unsigned WM_VIEW_SHOW_VOLUME = WM_USER + 301;
