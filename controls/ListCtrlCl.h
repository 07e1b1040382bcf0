#pragma once
// A report list that paints its cells itself: per-column and per-cell back and text colours, a
// settable row height and a gradient header. Columns cannot be resized, and the navigation keys
// other than Page Up do nothing.

#include "controls/HeaderCtrlCl.h"
#include "platform/WinCompat.h"

#include <QTableWidget>

#include <optional>
#include <vector>

inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
inline constexpr COLORREF kColourHighlight = RGB(0, 120, 215);

class CListCtrlCl : public QTableWidget {
    Q_OBJECT
public:
    explicit CListCtrlCl(QWidget *parent = nullptr);
    ~CListCtrlCl() override;

    int InsertColumn(int col, const QString &heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    int InsertItem(int row, const QString &text);
    bool SetItemText(int row, int col, const QString &text);
    QString GetItemText(int row, int col) const;
    bool DeleteAllItems();
    int GetItemCount() const { return rowCount(); }
    bool DeleteAllTitles();
    void SetHeaderBkColor(int r, int g, int b, int step);
    void SetHeaderHeight(float factor);
    void SetHeaderFontHW(int height, int width);
    void SetHeaderTextColor(COLORREF c);
    void SetColBkColor(int col, COLORREF c);
    void SetCellBkColor(int col, int row, COLORREF c);
    void SetRowBkColor(int row, COLORREF c);
    void SetColTextColor(int col, COLORREF c);
    void SetCellTextColor(int col, int row, COLORREF c);
    void SetRowTextColor(int row, COLORREF c);
    bool SetTextColorAll(COLORREF c);
    // The list's own back colour (the window colour until set), under every cell and below the rows.
    void SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return m_clrBack; }
    void SetFontHW(int height, int width);
    void SetRowHeight(int height);

    // What a cell is painted with (unselected), after every rule.
    COLORREF CellBackColour(int row, int col) const;
    COLORREF CellTextColour(int row, int col) const;
    Qt::Alignment CellAlignment(int col) const;
    CHeaderCtrlCl *Header() const { return m_pHeader; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    struct ColColour {
        int col;
        COLORREF colour;
    };
    struct CellColour {
        int row;
        int col;
        COLORREF colour;
    };
    static std::optional<COLORREF> FindCol(const std::vector<ColColour> &v, int col);
    static std::optional<COLORREF> FindCell(const std::vector<CellColour> &v, int row, int col);

    CHeaderCtrlCl *m_pHeader;
    int m_nRowHeight = 0;
    std::vector<ColColour> m_colBack, m_colText;
    std::vector<CellColour> m_cellBack, m_cellText;
    COLORREF m_clrText = 0;
    COLORREF m_clrBack = RGB(255, 255, 255);
    int m_fontHeight = 12, m_fontWidth = 0;
};
