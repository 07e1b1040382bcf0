#pragma once
// Switching the user interface language. SetUiLanguage sets g_bChinese and announces the change
// once: every window gets QEvent::LanguageChange, which Qt passes on to all its children. A
// widget that shows texts or skins with words re-reads them in its changeEvent:
//
//   void CMyDlg::changeEvent(QEvent *e)
//   {
//       if (e->type() == QEvent::LanguageChange)
//           ApplyTexts();            // the same function the constructor calls
//       QDialog::changeEvent(e);
//   }
//
// Widgets that draw their skins by id at paint time need nothing: the notice repaints them.
// UI thread only.

#include "res/Strings.h"

#include <QString>

// Sets the language; when it changed, announces it to every window and returns true.
bool SetUiLanguage(bool chinese);

// Announces the current language to every window (each re-reads its texts and skins).
void AnnounceLanguageChange();

// The text of an id in the UI language, or in the language asked for.
inline QString QTr(StrId id) { return QString::fromUtf8(Tr(id)); }
inline QString QTr(StrId id, bool chinese) { return QString::fromUtf8(Tr(id, chinese)); }
