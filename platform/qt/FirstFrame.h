#pragma once
// Runs a function once a window's first frame is painted: after the window's first paint event and
// the paints of its children that come in the same frame.

#include <functional>

class QWidget;

// `done` runs on the window's thread, once, unless the window goes first.
void AfterFirstFrame(QWidget *window, std::function<void()> done);
