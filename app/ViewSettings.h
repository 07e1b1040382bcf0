#pragma once
// The main view's settings (the file-dialog folders, the firmware file and its folder, the UI
// language, the curve display setting) as the view's own methods; the storage is
// CProgramSettings (platform/ProgramSettings.h).

#include "platform/ProgramSettings.h"

#include <string>

// The user's Documents folder as the desktop names it (XDG user dirs); never created.
std::string UserDocumentsFolder();
