#pragma once
// The grid's in-place editors, laid over the cell being edited: a one-line edit box, and for a
// list column a combo box of the column's texts. Each ends itself when it loses the focus, or on
// Tab, Enter, Esc and (as the editor allows) the paging and arrow keys: it sends its owner, the
// grid, one WM_NOTIFY LVN_ENDLABELEDIT with its id (IDC_GRID_INPLACE), a GRID_NOTIFY carrying the
// row, the column, the final text and the key that ended it (0 for a loss of focus), and then
// deletes itself. The grid keeps no pointer to it.

#include "grid/GridTypes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

// Alignment styles of an edit editor (from the cell's format).
inline constexpr unsigned ES_CENTER = 0x1;
inline constexpr unsigned ES_RIGHT = 0x2;
// Combo styles of a list editor: an edit part with the list, or the list alone.
inline constexpr int CBS_SIMPLE = 1;
inline constexpr int CBS_DROPDOWN = 2;
inline constexpr int CBS_DROPDOWNLIST = 3;
// The control id of a list editor's edit part.
inline constexpr int IDC_GRID_COMBOEDIT = 1001;

class CInPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    // The most characters typing may bring the text to (a longer initial text stays as it is).
    static constexpr int kMaxTypedChars = 8;

    // Made over `rect` (the cell's rectangle in `parent`'s coordinates, ending on its last pixel),
    // shown with the focus; `firstChar` is the key or character that opened it (VK_LBUTTON for a
    // mouse, VK_RETURN, VK_BACK, a paging or arrow key, or a typed character).
    CInPlaceEdit(QWidget *owner, QWidget *parent, const CRect &rect, unsigned style, int id, int row, int col,
                 const QString &text, unsigned firstChar);

    int Row() const { return m_nRow; }
    int Column() const { return m_nCol; }
    unsigned LastKey() const { return m_nLastChar; }
    bool ExitsOnArrows() const { return m_bExitOnArrows; }
    // Sends the end-of-edit notice (once) and goes.
    void EndEdit();
    // Ends without a notice (the grid is going).
    void Dismiss() { m_bEnded = true; }

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void EndWithKey(unsigned vk);
    void TypeChar(const QString &ch);
    void Widen();

    QPointer<QWidget> m_owner;
    int m_nRow, m_nCol;
    QString m_sInitText;
    unsigned m_nLastChar = 0;
    bool m_bExitOnArrows;
    QRect m_rect;
    int m_nAcceptedLength = 0;
    bool m_bEnded = false;
    friend class InPlaceLimit;
};

class CInPlaceList;

// A list editor's edit part.
class CInPlaceComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CInPlaceComboEdit(CInPlaceList *list);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    CInPlaceList *m_list;
};

class CInPlaceList : public QComboBox {
    Q_OBJECT
public:
    // The list shows four lines when dropped and is at least as wide as its widest text, a scroll
    // bar and two spaces. `comboStyle` CBS_DROPDOWNLIST gives no edit part.
    CInPlaceList(QWidget *owner, QWidget *parent, const CRect &rect, int comboStyle, int id, int row, int col,
                 const QStringList &items, const QString &text, unsigned firstChar);

    int Row() const { return m_nRow; }
    int Column() const { return m_nCol; }
    unsigned LastKey() const { return m_nLastChar; }
    int DroppedWidth() const { return m_nDroppedWidth; }
    int ListLines() const { return m_nNumLines; }
    CInPlaceComboEdit *EditPart() const { return m_edit; }
    void EndEdit();
    void Dismiss() { m_bEnded = true; }

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class CInPlaceComboEdit;
    // Whether the focus stays within the editor (its edit part or its dropped list).
    bool FocusStaysInside() const;
    void EndWithKey(unsigned vk);

    QPointer<QWidget> m_owner;
    CInPlaceComboEdit *m_edit = nullptr;
    int m_nNumLines = 4;
    QString m_sInitText;
    int m_nRow, m_nCol;
    unsigned m_nLastChar = 0;
    bool m_bExitOnArrows = false;
    int m_nDroppedWidth = 0;
    bool m_bEnded = false;
};
