#pragma once
// A progress bar painted as a colour gradient that always spans the whole bar: the part up to the
// position shows the gradient's own colours there, the rest the background. With show-percent on
// it writes the percentage over the bar. SetPos may be called from any thread (the reply parser
// moves it from the link's worker); everything else runs on the UI thread.

#include "link/LinkState.h"
#include "platform/WinCompat.h"

#include <QWidget>

#include <atomic>

class CGradientProgressCtrl : public QWidget, public ILinkProgress {
    Q_OBJECT
public:
    explicit CGradientProgressCtrl(QWidget *parent = nullptr, int ctrlId = 0);

    void SetRange(int lower, int upper);
    void SetRange32(int lower, int upper) { SetRange(lower, upper); }
    int GetRangeLower() const { return m_nLower.load(); }
    int GetRangeUpper() const override { return m_nUpper.load(); }
    int GetPos() const override { return m_nPos.load(); }
    // Any thread: stores min(p, upper) and queues a repaint.
    void SetPos(int p) override;
    void SetStep(int step) { m_nStep = step; }
    int StepIt();
    void SetStartColor(COLORREF c) { m_clrStart = c; update(); }
    void SetEndColor(COLORREF c) { m_clrEnd = c; update(); }
    void SetBkColor(COLORREF c);
    void SetTextColor(COLORREF c) { m_clrText = c; update(); }
    void SetShowPercent(int flag) { m_bShowPercent = flag; update(); }
    void SetVertical(bool vertical) { m_bVertical = vertical; update(); }

    // The geometry of the painted bar, for a length of `length` pixels along the bar.
    struct Band {
        int from, to;  // pixels along the bar, far edge exclusive
        COLORREF colour;
    };
    // The filled extent in pixels (0 when nothing is filled).
    int FilledExtent(int length) const;
    // The bands drawn, in order; the background fills from the last band's far edge on.
    std::vector<Band> Bands(int length) const;
    // The percentage text, or an empty text when none is shown.
    QString PercentText() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    std::atomic<int> m_nLower{0};
    std::atomic<int> m_nUpper{100};
    std::atomic<int> m_nPos{0};
    int m_nStep = 10;
    COLORREF m_clrStart = RGB(255, 0, 0);
    COLORREF m_clrEnd = RGB(0, 0, 255);
    COLORREF m_clrBack;
    COLORREF m_clrText = 0;
    int m_bShowPercent = 0;
    bool m_bVertical = false;
};
