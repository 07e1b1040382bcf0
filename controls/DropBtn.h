#pragma once
// A drop-down button drawn with brushes and pens: a framed field with the chosen item's text and
// a small triangle, opening the same popup list as the skinned selector. A pick posts
// WM_COMBOXBTN_SELECT (notify id, index) to the parent. The popup is made when the list is first
// opened or asked for.

#include "controls/DropWnd.h"
#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QFont>

class CDropListBox;

class CDropBtn : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr COLORREF kDefault = 0xFFFFFFFFu;  // the -1 of the colour arguments
    static constexpr int kDropMaxHeight = 100;

    explicit CDropBtn(QWidget *parent = nullptr);
    ~CDropBtn() override;

    // caption, four values it does not read, the kept value, the notify id, the background and
    // hover background colours, the arrow (and text) colour, a second text colour, and the font
    // (null: Arial 15 of its own). Returns 1; the popup is made when first needed.
    int Setup(const QString &caption, int unused1, int unused2, int unused3, int unused4, int keptValue, int notifyId,
              COLORREF background = kDefault, COLORREF hoverBackground = kDefault, COLORREF arrow = kDefault,
              COLORREF text2 = kDefault, const QFont *font = nullptr);
    void SetShowPickedText(bool on) { m_bShowPicked = on; }

    // Both make the popup if Setup was called and it does not exist yet.
    CDropListBox *List() const;
    CDropWnd *DropWnd() const;
    int IsHover() const { return m_bHover; }
    QRect DropRect() const;
    void OpenList();
    // The arrow triangle of a button rectangle for a font whose "M" measures m × h.
    static QPolygon ArrowPolygon(const QRect &r, int m, int h, int textHeight);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    LRESULT OnListSelect(int index);
    CDropWnd *MakeDrop();

    int m_nDropWidth = 0;
    int m_nNotifyId = 0;
    int m_nKeptValue = 0;
    bool m_bShowPicked = true;
    int m_bHover = 0;
    QFont m_font;
    COLORREF m_clrBack = RGB(255, 217, 205);
    COLORREF m_clrHoverBack = RGB(233, 229, 255);
    COLORREF m_clrArrow = RGB(0, 255, 0);
    COLORREF m_clrText2 = 0;
    CDropWnd *m_pDrop = nullptr;
    CLateDropWnd m_late;  // from the first Setup until the popup is made
};
