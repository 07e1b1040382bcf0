#pragma once
// What the mixer asks of the panel that stands in for the source mix panel of the second output of
// a bridged pair: twelve rows, each a level as text and as a slider position, written only by the
// mixer (nothing the user does to the panel is stored). Rows are 1..12 as in mixrow (MixRows.h).
// The panel the mixer makes is CBTLMixRoute (BTLMixRoute.h).

#include <QString>

class QWidget;

class IPairMixPanel {
public:
    virtual ~IPairMixPanel() = default;
    virtual QWidget *Window() = 0;
    // The row's text (repainted over the background at once) and slider position.
    virtual void SetRowText(int row, const QString &text) = 0;
    virtual void SetRowPos(int row, int pos) = 0;
    virtual QString RowText(int row) const = 0;
    virtual int RowPos(int row) const = 0;
};
