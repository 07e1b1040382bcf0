#pragma once
// The coloured label of the pages and dialogs: its window text in Arial at its own height and
// colour, left, right or centred on one line, optionally on a filled background, and able to
// blink between red and near-white.

#include "controls/StaticText.h"

class CWndTimers;

class CFontStatic : public CStaticText {
    Q_OBJECT
public:
    static constexpr int kBlinkTimer = 1001;
    explicit CFontStatic(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = SS_LEFT);

    // Stores the height; when the colour differs from the current one, stores it, applies the
    // style and refreshes. The text argument is not shown (owners pass an empty one).
    void SetFontStatic(const QString &text, int height, COLORREF colour, unsigned style);
    // 0x20 centred, else 0x80 right, else 0x40 left; other bits do not change the painting.
    void SetFontStyle(unsigned style);
    void SetTextColor(COLORREF colour);
    void SetBkColor(COLORREF colour);
    void SetText(const QString &text);
    void SetFontSize(int height);
    void SetAlignLeft(int flag) { m_bLeft = flag; }
    void SetAlignRight(int flag) { m_bRight = flag; }
    void Refresh() { update(); }
    void SetNumberFormat(int a, int b, int offset, const QString &unit);
    void SetNumber(int value);
    void StartAlarm();
    void StopAlarm();

    COLORREF TextColor() const { return m_clrText; }
    COLORREF PaintColor() const;  // the colour the text is painted in now
    int FontHeight() const { return m_nHeight; }
    bool IsLeft() const { return m_bLeft; }
    bool IsRight() const { return m_bRight; }
    bool IsBlinking() const { return m_bBlink; }
    int RefreshCount() const { return m_nRefreshes; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void refresh();

    int m_bFill = 0;
    int m_bLeft = 0, m_bRight = 0;
    COLORREF m_clrText = 0;
    COLORREF m_clrBack = 0;
    int m_nHeight = 14;
    int m_nFormatA = 0, m_nFormatB = 0;
    int m_nOffset = 0;
    QString m_strUnit;
    int m_bBlink = 0;
    int m_bPhase = 0;
    int m_nRefreshes = 0;
    CWndTimers *m_timers;
};
