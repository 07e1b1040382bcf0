#pragma once
// The program's icon, drawn by code: a dark console tile with an equaliser curve over three
// faders. The same drawing is installed for the desktop as res/zk470.svg.

#include <QIcon>
#include <QPixmap>

// The icon at one size (square, transparent corners).
QPixmap ProgramIconPixmap(int size);
// The icon at the sizes window systems ask for, each drawn when first asked for.
QIcon ProgramIcon();
