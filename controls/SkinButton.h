#pragma once
// An owner-drawn button skinned by up to six bitmaps (normal, pressed, hover, disabled, focus and
// a mask), drawn at natural size, stretched or tiled; the mask can also give the window its shape.
// It keeps the kinds of its template (push button, check box, radio button), unchecks the other
// radio buttons of its group, shows a tooltip, a caption that turns red under the mouse, the hand
// cursor, and can post WM_SKINBTN_REPEAT every 200 ms while held.

#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QFont>
#include <QPixmap>
#include <QRegion>

class CWndTimers;

class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kRepeatTimer = 6;
    static constexpr int kRepeatMs = 200;

    explicit CSkinButton(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = 0);
    ~CSkinButton() override;

    void PreSubclassWindow(unsigned style);
    int Kind() const { return m_nKind; }

    void SetSkinBitmaps(int normal, int pressed, int hover, int disabled, int focus, int mask, int drawMode, int border,
                        int focusMargin);
    COLORREF SetTextColor(COLORREF c);
    void SetTipText(const QString &text);
    void SetTipColors(COLORREF text, COLORREF background);
    void EnableRepeat(int value);
    // BM_SETCHECK and BM_GETCHECK.
    void SetCheck(int on);
    int GetCheck() const { return m_bChecked; }
    int DrawMode() const { return m_nDrawMode; }
    QRegion ShapeRegion() const { return m_region; }
    // The region of the pixels of a mask that are not white.
    static QRegion RegionFromMask(const QImage &mask);

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void LoadSkins();

    void DrawSkin(QPainter &p, const QPixmap &bmp, const QRect &r) const;
    void ToggleByUser();

    int m_bChecked = 0;
    int m_nKind = 0;
    int m_bHover = 0;
    int m_bDown = 0;
    // Skin ids: normal, pressed, hover, disabled, focus, mask (loaded again for a new language).
    int m_skinIds[6] = {};
    QPixmap m_bmNormal, m_bmPressed, m_bmDisabled, m_bmMask, m_bmHover, m_bmFocus;
    int m_nFocusMargin = 0;
    COLORREF m_clrCaption = RGB(0, 0, 0);
    COLORREF m_clrHoverCaption = RGB(255, 0, 0);
    QRegion m_region;
    int m_bBorder = 0;
    int m_nDrawMode = 1;
    QFont m_font;
    int m_bRepeat = 0;
    int m_nRepeatValue = 0;
    CWndTimers *m_pTimers = nullptr;
};
