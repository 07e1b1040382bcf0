#pragma once
// The main window's link-status field: the connection text on a dark grey field, blinking red
// about once a second while no device is connected.

#include "platform/WinCompat.h"

#include <QAbstractButton>

class CWndTimers;

class CShow_Link : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kTimer = 1000;
    static constexpr int kPeriodMs = 1001;

    explicit CShow_Link(QWidget *parent = nullptr, int ctrlId = 0);

    void SetText(const QString &text);
    void SetTextFont(const QFont *font) { m_pFont = font; }
    void StartBlink();
    void StopBlink();
    bool IsBlinking() const { return m_bBlink; }
    COLORREF PaintColor() const;
    // One tick of the blink timer.
    void OnTimer();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    COLORREF m_clrText = RGB(250, 250, 250);
    COLORREF m_clrBlink = RGB(255, 0, 0);
    COLORREF m_clrBack = RGB(76, 76, 76);
    const QFont *m_pFont = nullptr;
    int m_bBlink = 0;
    int m_nPhase = 0;
    CWndTimers *m_timers;
};
