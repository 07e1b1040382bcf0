#pragma once
// The narrow interfaces through which model/ and link/ reach the user interface: post a message to
// a window, show a message box. The UI implements them with Qt (platform/qt, controls/); tests
// install recording fakes (tests/support). Nothing here needs Qt. What the pages and dialogs use
// of the link and the view is in services/Services.h.

#include "platform/WinCompat.h"

#include <string>

// A window that receives posted messages. Post() may be called from any thread: the message is
// queued for the receiver's own thread, in order, carrying values only.
class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    virtual void PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) = 0;
};

// Shows the program's message box (text in UTF-8, MB_* button set, help code as the box's close
// timer and caption selector) and returns the IDxxx result. Called on the UI thread only.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    virtual int ShowMessage(const std::string &text, unsigned type, int code) = 0;
};

// Installs the message-box service (nullptr removes it). Without one, ShowMessage answers IDOK
// for MB_OK boxes and IDCANCEL otherwise, so nothing blocks in a test or before the UI exists.
void SetMessageBoxService(IMessageBoxService *service);
int ShowMessage(const std::string &text, unsigned type = MB_OK, int code = 0);
