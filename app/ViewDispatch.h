#pragma once
// The main view's map from the link's posted messages to the handlers of the connection logic
// and the device synchronisation. The Qt view feeds it from its message table; tests feed it
// from a recording target.

#include "platform/WinCompat.h"

class CLinkController;
class CDeviceSync;

// Returns true when msg is one of the link's messages (handled or deliberately ignored).
bool DispatchLinkMessage(CLinkController &ctrl, CDeviceSync &sync, unsigned msg, WPARAM wParam, LPARAM lParam);
