#pragma once
// The skinned drop-down selector: a bitmap button showing the chosen item's text that opens its
// list in a topmost popup below (or, near the bottom of the screen, above) itself. A pick or a
// wheel step shows the new item and posts WM_COMBOXBTN_SELECT (notify id, index) to the parent.
// The popup is made when the list is first opened or asked for; until then the button keeps the
// items and the selection itself.

#include "controls/DropWnd.h"
#include "platform/WinCompat.h"

#include <QAbstractButton>
#include <QFont>
#include <QPointer>
#include <QStringList>

class CDropListBox;

class CComBoxBtn : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kDropMaxHeight = 130;

    explicit CComBoxBtn(QWidget *parent = nullptr);
    ~CComBoxBtn() override;

    void SetBitmaps(int normalId, int hoverId);
    int CreateDropList(QWidget *owner, int notifyId);
    void AddString(const QString &text);
    void InsertString(int index, const QString &text);
    void ResetContent();
    void SetCurSel(int index);
    int GetCurSel() const;
    void SetHoverOpen(int on) { m_bHoverOpen = on; }
    void SetHighlight(int on);
    void SetHighlightLook(int bitmapId, COLORREF colour);
    void SetDisabledBitmap(int id) { m_nDisabledBitmap = id; }
    void SetTextColors(COLORREF normal, COLORREF hover);
    void SetFonts(const QFont &normal, const QFont &hover);

    // Both make the popup if CreateDropList was called and it does not exist yet.
    CDropWnd *DropWnd() const;
    CDropListBox *List() const;
    int IsHover() const { return m_bHover; }
    // The list's rectangle for an opening now, in global coordinates.
    QRect DropRect() const;
    void OpenList();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    LRESULT OnListSelect(int index);
    CDropWnd *MakeDrop();
    int Count() const;

    int m_nNormalBitmap = 0;
    int m_nHoverBitmap = 0;
    int m_nHighlightBitmap = 0;
    int m_nDisabledBitmap = 0;
    COLORREF m_clrNormal = RGB(255, 255, 255);
    COLORREF m_clrHover = RGB(255, 255, 255);
    COLORREF m_clrHighlight = RGB(255, 0, 0);
    COLORREF m_clrDisabled = RGB(155, 155, 155);
    QFont m_fontNormal;
    QFont m_fontHover;
    int m_bHighlight = 0;
    int m_bHover = 0;
    CDropWnd *m_pDrop = nullptr;
    CLateDropWnd m_late;  // from the first CreateDropList until the popup is made
    // What the list is given when it is made besides the font: the items and the current item
    // (the list's own rules: -1 until set, following inserts above it).
    QStringList m_items;
    int m_nCurSel = -1;
    int m_nDropWidth = 0;
    QPointer<QWidget> m_pOwner;
    int m_nNotifyId = 0;
    int m_nWheel = 0;
    int m_bHoverOpen = 0;
    QPoint m_ptLast{-1, -1};
};
