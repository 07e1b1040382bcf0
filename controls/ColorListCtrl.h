#pragma once
// A report list whose cells take colours from a list of (row, column, text colour, back colour)
// records: the last record for a cell wins. Columns cannot be resized.

#include "platform/WinCompat.h"

#include <QTableWidget>

#include <utility>
#include <vector>

struct LIST_CELL_COLOR {
    int nRow = -1;
    int nCol = -1;
    COLORREF clrText = RGB(0, 0, 0);        // the window text colour
    COLORREF clrBack = RGB(255, 255, 255);  // the window colour
};

class CColorListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CColorListCtrl(QWidget *parent = nullptr);
    ~CColorListCtrl() override;

    void SetCellColor(int row, int col, COLORREF text, COLORREF back);
    void SetRowColor(int row, COLORREF text, COLORREF back);
    void ClearColors();
    // The list's back colour below the rows (cells keep their own colours).
    void SetBkColor(COLORREF c);
    bool DeleteAllItems();
    bool DeleteItem(int row);
    // The text and back colours a cell is painted with.
    std::pair<COLORREF, COLORREF> CellColours(int row, int col) const;

private:
    std::vector<LIST_CELL_COLOR> m_colors;
};
