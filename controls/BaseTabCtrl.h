#pragma once
// A tab control that can paint everything itself. It keeps the tabs (text and image index), the
// selection and the background colour, lays the tabs out along its top edge, erases around them
// and asks its virtual operations to draw each tab, each tab's border and the main border. It
// shows the hand cursor over tabs that can be chosen and reports a new selection through
// selectionChanged(). The drawing operations are supplied by a derived class.

#include "platform/WinCompat.h"

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

class QPainter;

inline constexpr unsigned ODT_TAB = 101;
inline constexpr unsigned ODA_DRAWENTIRE = 1;
inline constexpr unsigned ODS_SELECTED = 1;
inline constexpr COLORREF kColour3DFace = RGB(240, 240, 240);  // the system's 3-D face colour
inline constexpr COLORREF kColourWindowText = RGB(0, 0, 0);

// The drawing record handed to the drawing operations.
struct TabDrawItem {
    unsigned ctlType = ODT_TAB;
    int ctlId = 0;
    int itemId = 0;
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;
    QPainter *dc = nullptr;
    QRect rcItem;
};

class CBaseTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CBaseTabCtrl(QWidget *parent = nullptr, int paintMode = 0);
    ~CBaseTabCtrl() override;

    void SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_clrBack; }
    bool SetPaintMode(int mode);
    int GetPaintMode() const { return m_nPaintMode; }

    int InsertItem(int index, const QString &text, int image = -1);
    bool DeleteAllItems();
    int GetItemCount() const { return int(m_tabs.size()); }
    int GetCurSel() const { return m_nSel; }
    int SetCurSel(int index);
    QString GetItemText(int index) const;
    int GetItemImage(int index) const;
    bool GetItemRect(int index, QRect &r) const;
    // The display area under the tab row.
    QRect AdjustRect() const;
    void SetImageList(const std::vector<QPixmap> &images) { m_images = images; update(); }
    const std::vector<QPixmap> &GetImageList() const { return m_images; }
    void SetTabFont(const QFont &f);
    int HitTest(QPoint p) const;
    int IsOverChoosable() const { return m_bOverChoosable; }

    virtual void DrawItem(const TabDrawItem &item);
    virtual void DrawMainBorder(const TabDrawItem &item);
    virtual void DrawItemBorder(const TabDrawItem &item);
    virtual COLORREF GetTabColor(bool selected);
    virtual COLORREF GetTabTextColor(bool selected);

signals:
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

    COLORREF BackgroundOr3DFace() const { return m_clrBack == COLORREF(-1) ? kColour3DFace : m_clrBack; }

private:
    void Layout();
    int RowHeight() const;
    void Erase(QPainter &p);

    struct Tab {
        QString text;
        int image = -1;
        QRect rect;
    };
    std::vector<Tab> m_tabs;
    std::vector<QPixmap> m_images;
    int m_nSel = -1;
    COLORREF m_clrBack = COLORREF(-1);
    int m_nPaintMode = 0;
    int m_bOverChoosable = 0;
    mutable int m_nRowHeight = 28;
    mutable bool m_bRowHeightStale = false;
};
