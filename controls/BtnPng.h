#pragma once
// A push button whose looks are PNG images with transparency: normal, hover and pressed, the same
// three when checked, two disabled looks and a second set of six for the Chinese interface. Every
// look is rendered once, at the first paint, and then only copied. Slots without an image show
// the look of the last slot before them that has one; an image that cannot be loaded leaves its
// slot empty (and a button without any image paints nothing).

#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QPoint>
#include <QPointer>

#include <array>

class CBtnPng : public QAbstractButton {
    Q_OBJECT
public:
    enum Slot {
        Normal, Hover, Pressed, CheckedNormal, CheckedHover, CheckedPressed, DisabledUnchecked, DisabledChecked,
        LangNormal, LangHover, LangPressed, LangCheckedNormal, LangCheckedHover, LangCheckedPressed, SlotCount
    };

    explicit CBtnPng(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = 0);
    ~CBtnPng() override;

    void PreSubclassWindow(unsigned style);
    int Kind() const { return m_nKind; }

    void LoadImages(int normal, int hover, int pressed);
    void LoadCheckedImages(int normal, int hover, int pressed);
    void LoadDisabledImages(int unchecked, int checked);
    void LoadAltLanguageImages(int normal, int hover, int pressed, int checkedNormal, int checkedHover, int checkedPressed);
    void Redraw() { update(); }
    // Qt's rotation in degrees (0, 90, 180, 270) and mirroring stand for the rotate/flip type.
    void SetRotateFlip(int type);
    void EnableMoveNotify(int on) { m_bMoveNotify = on; setMouseTracking(true); }
    void SetCheck(int on);
    int GetCheck() const { return m_nCheck; }
    void SetHover(int on);
    int GetHover() const { return m_bHover; }
    void SetUserValue(int v) { m_nUserValue = v; }
    int GetUserValue() const { return m_nUserValue; }
    void SetLinkedButtons(CBtnPng *a, CBtnPng *b);
    virtual void ShowWindow(int cmd);

    // The slot the current state paints (after the language choice).
    Slot CurrentSlot() const;
    // The rendered look of a slot (empty before the first paint).
    QPixmap Rendered(Slot s) const { return m_rendered[s]; }
    void PreRender();

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void Load(Slot s, int id);
    QSize ImageSize(Slot s) const;
    void HoverLinked(int on);

    std::array<int, SlotCount> m_images{};  // the skin id of each slot, 0 for none
    std::array<QPixmap, SlotCount> m_rendered;
    bool m_bRendered = false;
    int m_bHover = 0;
    int m_bPressed = 0;
    int m_nCheck = 0;
    int m_nKind = 0;
    int m_bLangLoaded = 0;
    int m_nRotateFlip = 0;
    int m_bMoveNotify = 0;
    QPoint m_ptLast{-1, -1};
    int m_nUserValue = -1;
    QPointer<CBtnPng> m_pLinked[2];
};
