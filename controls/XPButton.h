#pragma once
// The on/off bitmap button (band bypass buttons, preset slots): six skins give the two states,
// each resting, hovered and pressed, plus optional disabled and selected looks. It shows the hand
// cursor, can tell its parent when the mouse enters it, and can post WM_XPBUTTON_REPEAT every
// 80 ms while held. It paints its bitmap only, never a caption. It starts in the on state.
// It takes its skin's size as soon as its bitmaps are set, so a page can place it by its size.

#include "controls/FontStatic.h"
#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QFont>
#include <QPoint>
#include <QPointer>

class CWndTimers;

class CXPButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kRepeatTimer = 7;
    static constexpr int kRepeatMs = 80;

    explicit CXPButton(QWidget *parent = nullptr, int ctrlId = 0);
    ~CXPButton() override;

    void SetBitmaps(int onNormal, int onHover, int onPressed, int offNormal, int offHover, int offPressed);
    void SetCheck(int state);
    int GetCheck() const { return m_nState; }
    void SetHoverRect(int on) { m_bMoveNotify = on; }
    void Draw() { repaint(); }
    void SetDisabledBitmaps(int onId, int offId);
    void SetDisabled(int on);
    void SetSelectedBitmaps(int onId, int offId);
    void SetSelected(int on);
    int GetSelected() const { return m_bSelected; }
    void SetTextColor(COLORREF c) { m_clrText = c; repaint(); }
    void SetTextColor2(COLORREF c) { m_clrText2 = c; repaint(); }
    void SetHoverTextColor(COLORREF c) { m_clrHoverText = c; repaint(); }
    COLORREF GetTextColor() const { return m_clrText; }
    COLORREF GetTextColor2() const { return m_clrText2; }
    COLORREF GetHoverTextColor() const { return m_clrHoverText; }
    void SetCompanionLabel(CFontStatic *label) { m_pLabel = label; }
    void SetHoverSound(int on) { m_bHoverSound = on; }
    int GetHoverSound() const { return m_bHoverSound; }
    void SetSound(int on, const QString &name) { m_bSound = on; m_strSound = name; }
    void SetHandCursor(int on);
    void EnableRepeat(int on) { m_bRepeat = on; }
    int GetRepeatCount() const { return m_nRepeatCount; }
    int GetHover() const { return m_bHover; }

    // The skin id the current state paints (0: nothing).
    int CurrentBitmap() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    // Takes the size of the skin the current state paints; true when the size changed.
    bool SyncSize();
    void OnTimer(int id);
    void PlayHoverSound();

    COLORREF m_clrText = RGB(0, 0, 0);
    COLORREF m_clrText2 = RGB(255, 0, 0);
    COLORREF m_clrHoverText = RGB(255, 0, 0);
    int m_nOff[3] = {0, 0, 0};
    int m_nOn[3] = {0, 0, 0};
    int m_nOnDisabled = 0, m_nOffDisabled = 0;
    int m_nOffSelected = 0, m_nOnSelected = 0;
    int m_bHoverSound = 0;
    int m_nState = 1;
    int m_bSelected = 0;
    QFont m_font;
    int m_bHandCursor = 1;
    int m_bHover = 0;
    int m_bPressed = 0;
    int m_bSound = 0;
    QString m_strSound;
    int m_bDisabled = 0;
    int m_bRepeat = 0;
    QPointer<CFontStatic> m_pLabel;
    int m_nRepeatCount = 0;
    int m_bMoveNotify = 0;
    QPoint m_ptLast{-1, -1};
    CWndTimers *m_pTimers = nullptr;
};
