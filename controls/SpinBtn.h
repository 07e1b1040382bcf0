#pragma once
// The step button a numeric edit can embed: it covers the edit, shows the edit's text on its skin
// and is split into a minus area, a middle area and a plus area. While the edit has the focus in
// read-only mode the button is active: holding the left button on the minus or plus area steps
// the partner spin every 100 ms once the pointer has moved over the held button, and a double
// click steps once. The wheel never steps.

#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QPointer>

class CNumSpin;
class CWndTimers;

class CSpinBtn : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kStepTimer = 2;
    static constexpr int kStepPeriodMs = 100;

    explicit CSpinBtn(QWidget *parent = nullptr);
    ~CSpinBtn() override;

    void SetBitmaps(int resting, int minus, int middle, int plus);
    void SetDisabledBitmap(int id) { m_nDisabledBitmap = id; }
    void SetActive(int on);
    int IsActive() const { return m_bActive; }
    void SetBuddy(int id, CNumSpin *spin);
    void SetPairValues(int a, int b) { m_nPair[0] = a; m_nPair[1] = b; }
    int GetPairValue() const { return m_nPair[0]; }

    int GetState() const { return m_nState; }
    QRect MinusArea() const { return m_rcMinus; }
    QRect MiddleArea() const { return m_rcMiddle; }
    QRect PlusArea() const { return m_rcPlus; }
    void StepOnce();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void ComputeAreas();
    int StateAt(QPoint p) const;

    int m_nBitmaps[4] = {0, 0, 0, 0};
    int m_nDisabledBitmap = 0;
    COLORREF m_clrText = RGB(255, 255, 255);
    COLORREF m_clrDisabledText = RGB(155, 155, 155);
    int m_nState = 0;
    int m_bActive = 0;
    int m_bHeld = 0;
    int m_bClicked = 0;
    QRect m_rcMinus, m_rcMiddle, m_rcPlus;
    QPointer<CNumSpin> m_pSpin;
    int m_nSpinId = 0;
    int m_nPair[2] = {0, 0};
    CWndTimers *m_pTimers = nullptr;
};
