#pragma once
// The hand cursor of the skinned controls, drawn by the program itself (a pointing hand, hot spot
// at the finger tip). UI thread only.

#include <QCursor>

const QCursor &HandCursor();
QPixmap HandCursorPixmap();
