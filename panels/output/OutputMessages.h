#pragma once
// The messages the output page receives, by the page's own numbers. The strips' and the master
// volume strip's are in OutStripMessages.h (the strip sends them); the graph's
// WM_CURVE_BAND_CHANGED and WM_CURVE_KILLFOCUS are in CFStatic.h. The same numbers can mean other
// things to other receivers. Values travel as wParam / lParam; no message carries an address.

#include "panels/output/OutStripMessages.h"
#include "platform/WinCompat.h"

// Routing toggles 1..4 of a strip (route entries 1, 2, 0 and 4); 5..12 are handled by nobody.
inline constexpr unsigned WM_OUTSTRIP_ROUTE1 = OutStripRouteMessage(1);
inline constexpr unsigned WM_OUTSTRIP_ROUTE2 = OutStripRouteMessage(2);
inline constexpr unsigned WM_OUTSTRIP_ROUTE3 = OutStripRouteMessage(3);
inline constexpr unsigned WM_OUTSTRIP_ROUTE4 = OutStripRouteMessage(4);

// Response graph → its owner page: wParam the item.
inline constexpr unsigned WM_CURVE_FOCUS_BAND = WM_USER + 102;

// Link editor → page: wParam output a, lParam output b or −1.
inline constexpr unsigned WM_LINKDLG_APPLY = WM_USER + 302;

// Page → view: show the volume page.
inline constexpr unsigned WM_VIEW_SHOW_VOLUME = WM_USER + 301;
