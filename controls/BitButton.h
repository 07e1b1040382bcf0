#pragma once
// The skinned push button most pages are built from. It paints itself from skin ids chosen by its
// state (resting, hovered, pressed, checked, disabled), takes the size of the skin it paints,
// shows the hand cursor, can mirror its hover look on two linked buttons, can report mouse moves
// to its parent, and, where the owner asks for it, reports single, double and right clicks as
// WM_BITBUTTON_PRESS. Clicks reach the parent as WM_COMMAND (BN_CLICKED) and as clicked().

#include "platform/WinCompat.h"
#include "platform/qt/DrawText.h"

#include <QAbstractButton>
#include <QFont>
#include <QPoint>
#include <QPointer>

class CWndTimers;

inline constexpr unsigned WM_BITBUTTON_PRESS = WM_USER + 220;  // 1244: wParam 513 / 515 / 516

// Button styles of a template that decide the kind and the text alignment.
inline constexpr unsigned BS_PUSHBUTTON = 0x0;
inline constexpr unsigned BS_CHECKBOX = 0x2;
inline constexpr unsigned BS_AUTOCHECKBOX = 0x3;
inline constexpr unsigned BS_RADIOBUTTON = 0x4;
inline constexpr unsigned BS_GROUPBOX = 0x7;
inline constexpr unsigned BS_AUTORADIOBUTTON = 0x9;
inline constexpr unsigned BS_OWNERDRAW = 0xB;
inline constexpr unsigned BS_LEFT = 0x100;
inline constexpr unsigned BS_RIGHT = 0x200;
inline constexpr unsigned BS_CENTER = 0x300;
inline constexpr unsigned BS_FLAT = 0x8000;



class CBitButton : public QAbstractButton {
    Q_OBJECT
public:
    enum Kind { PushKind = 0, CheckKind = 2, RadioKind = 4 };
    static constexpr int kPressTimer = 501;
    static constexpr int kPressDelayMs = 200;
    static constexpr WPARAM kSingleClick = 513, kDoubleClick = 515, kRightClick = 516;

    explicit CBitButton(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = BS_PUSHBUTTON);

    // Applies a template's button style: text alignment and kind (push, check box, radio).
    void PreSubclassWindow(unsigned style);
    int Kind() const { return m_nKind; }

    void SetBitmaps(int normal, int hover, int pressed, int checkedNormal = 0, int checkedHover = 0,
                    int checkedPressed = 0);
    void SetCheckedBitmap(int id);
    void SetDisabledBitmaps(int unchecked, int checked);
    void SetAltBitmaps(int unchecked, int checked);
    void SetAltLook(int flag);
    void SetStateTextColors(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF checkedNormal,
                            COLORREF checkedHover, COLORREF checkedPressed);
    void SetStateFonts(const QFont *normal, const QFont *hover, const QFont *pressed, const QFont *checkedNormal,
                       const QFont *checkedHover, const QFont *checkedPressed);
    // The disabled look's text colour, font, DrawText format and left offset.
    void SetTextColor(COLORREF colour) { m_clrDisabled = colour; }
    void SetTextFont(const QFont *font) { m_pFontDisabled = font; }
    void SetTextFormat(unsigned format) { m_nDisabledFormat = format; }
    void SetTextOffset(int pixels) { m_nDisabledOffset = pixels; }
    void SetTextPlacement(int flag, int topOffset);

    void SetCheck(int check);
    int GetCheck() const { return m_nCheck; }
    void SetHover(int hover);
    int GetHover() const { return m_bHover; }
    bool IsPressedLook() const { return m_bPressed; }
    void EnableMoveNotify(int on) { m_bMoveNotify = on; }
    void SetUserValue(int v) { m_nUserValue = v; }
    int GetUserValue() const { return m_nUserValue; }
    void SetLinkedButtons(CBitButton *first, CBitButton *second);
    // SW_HIDE forgets both linked buttons, then the button is shown or hidden.
    virtual void ShowWindow(int showCommand);
    void SetHandCursor(int on);

    // Reports single (513, 200 ms after the press unless a double click came first), double (515)
    // and right clicks (516) to the parent as WM_BITBUTTON_PRESS. Off by default; the route
    // strips' link button turns it on.
    void SetPressReports(bool on) { m_bPressReports = on; }
    bool PressReports() const { return m_bPressReports; }
    bool PressTimerActive() const;

    // The skin id the current state paints (0: the plain button face).
    int CurrentBitmap() const;
    // The button face painted where a state has no skin (the console's face colour).
    static QColor PlainFaceColor();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void nextCheckState() override {}

private:
    struct Look {
        int bitmap;
        COLORREF colour;
        const QFont *font;
    };
    Look currentLook() const;
    void syncSize();
    void startHover();
    void redraw() { update(); }
    void postToParent(QWidget *receiver, WPARAM w);
    void onPressTimer();
    void onClicked();

    int m_nKind = PushKind;
    unsigned m_nStyle = BS_PUSHBUTTON;
    unsigned m_nAlign = DT_CENTER;
    int m_idNormal = 0, m_idHover = 0, m_idPressed = 0, m_idAltNormal = 0;
    int m_idCheckedNormal = 0, m_idCheckedHover = 0, m_idCheckedPressed = 0, m_idAltChecked = 0;
    int m_idDisabledChecked = 0, m_idDisabledUnchecked = 0;
    COLORREF m_clr[6] = {0, 0, 0, 0, 0, 0};
    const QFont *m_pFont[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    const QFont *m_pFontDisabled = nullptr;
    COLORREF m_clrDisabled = 0;
    unsigned m_nDisabledFormat = DT_CENTER;
    int m_nDisabledOffset = 0;
    int m_nCheck = 0;
    int m_bHover = 0;
    int m_bAltLook = 0;
    bool m_bPressed = false;
    int m_bPlacement = 0, m_nPlacementTop = 4;
    int m_bHandOn = 1;
    int m_nUserValue = -1;
    int m_bMoveNotify = 0;
    QPoint m_ptLastMove{-1, -1};
    QPointer<CBitButton> m_pLinked[2];
    bool m_bPressReports = false;
    QPointer<QWidget> m_pPressReceiver;
    CWndTimers *m_pPressTimer = nullptr;
};
