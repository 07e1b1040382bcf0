#pragma once
// The help command's file: "CH_Help.chm" in the Chinese UI, "EN_Help.chm" in the English UI,
// looked for in the working folder of the program's start, then in the installed data folders
// (<prefix>/share/zk470 beside the program, then zk470/ in the XDG data folders), and opened with
// the desktop's handler for it.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// The file name of a language.
QString HelpFileName(bool chinese);
// The paths to try, in order, without duplicates. The first is the start folder's file
// (g_szHelpFileCn / g_szHelpFileEn once the view has set them).
QStringList HelpFileCandidates(bool chinese);
// Opens the first candidate that is a readable file and that the desktop opens; false when none.
bool OpenHelpFile(bool chinese);

// The desktop call that opens a file (tests replace it; null restores QDesktopServices).
using HelpOpener = std::function<bool(const QUrl &)>;
void SetHelpOpener(HelpOpener opener);
