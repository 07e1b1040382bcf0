#pragma once
// What of a text a box can show, cut before the text is laid out: laying out a text costs time in
// proportion to its whole length even where the box shows a few words of it, and a cell may hold
// megabytes. Every character that shows takes at least one pixel across and every line at least
// the font's height, so a box w pixels wide and h pixels high shows at most about w characters
// (2 (w + 1) UTF-16 units) of a line and h / height + 2 lines. A text within that comes back as
// it is. Of a longer one the first lines are kept (the painter lays out lines only until they fill
// the box, whatever the vertical alignment), and of each line what the horizontal alignment shows
// of it: its start, middle or end (its start when it is elided or wrapped). A pair of surrogates
// is never cut.

#include <QFont>
#include <QSize>
#include <QString>

// The first `units` UTF-16 units of `text` (one fewer where the cut would split a surrogate pair).
QString HeadOfText(const QString &text, qsizetype units);

// What a box of `box` pixels shows of `text` in `font` under the DrawText `format`, elided where
// the format asks for an ellipsis on a single line: the text a grid cell draws.
QString CellTextToDraw(const QString &text, const QFont &font, QSize box, unsigned format);
