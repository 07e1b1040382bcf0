#pragma once
// The messages the input page receives, by its own numbers, and the window that receives the
// input refresh. Values travel as wParam / lParam; no message carries an address.

#include "platform/WinCompat.h"

#include <QPointer>
#include <QWidget>

// Connector picture → input page: wParam 0, lParam the input 0..5 whose connector was clicked.
inline constexpr unsigned WM_INMODE_SELECT = WM_USER + 401;
// → input page: lParam the input to show (nothing is sent to the device).
inline constexpr unsigned WM_INPUT_SELECT = WM_USER + 600;
// Input page → g_pInputRefreshWnd: wParam the alternate-input-mode flag, lParam the input that
// was selected when the message was posted. Handled after the handler that posted it, so the
// button of that input is unchecked once the selection has moved on.
inline constexpr unsigned WM_INPUT_REFRESH = WM_USER + 601;

// The window that receives WM_INPUT_REFRESH: the input page whose window was made last (each input
// page sets it to itself). UI thread only; it forgets a window that is gone.
inline QPointer<QWidget> g_pInputRefreshWnd;
