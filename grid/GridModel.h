#pragma once
// The grid's cells without a window: rows and columns with their fixed (header) counts and
// sizes, the cell records, the focus cell and the selection, the modified marks and the search.
// The grid widget derives from it and supplies the hooks through which the model reports
// notifications and asks for cells to be redrawn; on its own the model reports nothing, so its
// tests drive it directly.

#include "grid/GridTypes.h"

#include <climits>
#include <map>
#include <optional>
#include <vector>

// The four system colours the grid's colours default to.
struct GridSystemColours {
    COLORREF windowText = RGB(0, 0, 0);
    COLORREF window = RGB(255, 255, 255);
    COLORREF face = RGB(240, 240, 240);
    COLORREF shadow = RGB(160, 160, 160);
    bool operator==(const GridSystemColours &) const = default;
};

// Grid-line modes.
inline constexpr int GVL_NONE = 0;
inline constexpr int GVL_HORZ = 1;
inline constexpr int GVL_VERT = 2;
inline constexpr int GVL_BOTH = 3;

class CGridModel {
public:
    explicit CGridModel(const GridSystemColours &sys = {});
    virtual ~CGridModel();
    CGridModel(const CGridModel &) = delete;
    CGridModel &operator=(const CGridModel &) = delete;

    // ---- structure ----
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int n);
    bool SetColumnCount(int n);
    bool SetFixedRowCount(int n);
    bool SetFixedColumnCount(int n);

    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    int GetTotalWidth() const;
    int GetTotalHeight() const;
    int GetDefaultRowHeight() const { return m_nDefRowHeight; }
    int GetDefaultColumnWidth() const { return m_nDefColWidth; }
    int GetMargin() const { return m_nMargin; }

    int InsertColumn(const QString &heading, unsigned format = 0, int col = -1);
    int InsertRow(const QString &heading, int row = -1);
    bool DeleteColumn(int col);
    bool DeleteRow(int row);
    bool DeleteScrollRows();
    bool DeleteAll();

    // ---- cells ----
    CGridCellData *GetCell(int row, int col) const;
    // Puts a record in place without freeing the one it replaces.
    bool SetCell(int row, int col, CGridCellData *cell);
    virtual CGridCellData *CreateCell(int row, int col);
    virtual void ClearCell(CGridCellData *cell, int row, int col);

    virtual bool SetItem(const GRID_ITEM *item);
    bool GetItem(GRID_ITEM *item) const;
    virtual bool SetItemText(int row, int col, const QString &text);
    virtual QString GetItemText(int row, int col) const;
    bool SetItemAltText(int row, int col, const QString &text);
    QString GetItemAltText(int row, int col) const;
    bool SetItemParam(int row, int col, LPARAM param);
    LPARAM GetItemParam(int row, int col) const;
    bool SetItemImage(int row, int col, int image);
    int GetItemImage(int row, int col) const;
    bool SetItemState(int row, int col, unsigned state);
    unsigned GetItemState(int row, int col) const;
    bool SetItemFormat(int row, int col, unsigned format);
    unsigned GetItemFormat(int row, int col) const;
    bool SetItemBkColor(int row, int col, COLORREF colour);
    COLORREF GetItemBkColor(int row, int col) const;
    bool SetItemTextColor(int row, int col, COLORREF colour);
    COLORREF GetItemTextColor(int row, int col) const;
    bool SetItemFont(int row, int col, const QFont &font);
    const QFont &GetItemFont(int row, int col) const;

    bool IsValidCell(int row, int col) const { return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols; }
    bool IsValidCell(CGridCellPos p) const { return IsValidCell(p.row, p.col); }
    bool IsValidRange(const CGridCellRange &r) const
    {
        return r.IsValid() && r.maxRow < m_nRows && r.maxCol < m_nCols;
    }
    bool IsCellFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }
    bool IsCellEditable(int row, int col) const;
    bool IsCellEditable(CGridCellPos p) const { return IsCellEditable(p.row, p.col); }

    void SetModified(bool modified = true, int row = -1, int col = -1);
    bool IsModified(int row = -1, int col = -1) const;
    CGridCellPos FindCell(CGridCellPos start, unsigned flags) const;

    // ---- colours and options ----
    void SetTextColor(COLORREF c) { m_crText = c; }
    COLORREF GetTextColor() const { return m_crText; }
    void SetTextBkColor(COLORREF c) { m_crTextBk = c; }
    COLORREF GetTextBkColor() const { return m_crTextBk; }
    void SetBkColor(COLORREF c) { m_crBk = c; }
    COLORREF GetBkColor() const { return m_crBk; }
    void SetFixedTextColor(COLORREF c) { m_crFixedText = c; }
    COLORREF GetFixedTextColor() const { return m_crFixedText; }
    void SetFixedBkColor(COLORREF c) { m_crFixedBk = c; }
    COLORREF GetFixedBkColor() const { return m_crFixedBk; }
    void SetLineColor(COLORREF c) { m_crGridLine = c; }
    COLORREF GetLineColor() const { return m_crGridLine; }
    void SetGridLines(int mode) { m_nGridLines = mode; }
    int GetGridLines() const { return m_nGridLines; }
    // Colours still equal to the old system colour follow the new one.
    void OnSysColorChange(const GridSystemColours &sys);
    const GridSystemColours &SystemColours() const { return m_sys; }

    // Stores the flag and re-applies the focus cell, so its marking follows the new mode.
    void SetEditable(bool editable = true);
    bool IsEditable() const { return m_bEditable; }
    void SetSingleSelect(bool single = true) { m_bSingleSelection = single; }
    bool IsSingleSelect() const { return m_bSingleSelection; }
    void SetListMode(bool listMode = true) { m_bListMode = listMode; }
    bool IsListMode() const { return m_bListMode; }
    void EnableSelection(bool enable = true) { m_bEnableSelection = enable; }
    bool IsSelectable() const { return m_bEnableSelection; }
    void SetRowResizing(bool allow = true) { m_bAllowRowResize = allow; }
    bool GetRowResizing() const { return m_bAllowRowResize; }
    void SetColumnResizing(bool allow = true) { m_bAllowColumnResize = allow; }
    bool GetColumnResizing() const { return m_bAllowColumnResize; }
    void SetHandleTabKey(bool handle = true) { m_bHandleTabKey = handle; }
    bool GetHandleTabKey() const { return m_bHandleTabKey; }
    void EnableDragAndDrop(bool allow = true) { m_bEnableDragAndDrop = allow; }
    bool GetDragAndDrop() const { return m_bEnableDragAndDrop; }
    bool IsDrawingAllowed() const { return m_bAllowDraw; }

    // The grid's font; cells copy it when made and when it is set again.
    const QFont &GetLogFont() const { return m_logFont; }

    // ---- focus and selection ----
    CGridCellPos SetFocusCell(CGridCellPos cell);
    CGridCellPos SetFocusCell(int row, int col) { return SetFocusCell(CGridCellPos(row, col)); }
    CGridCellPos GetFocusCell() const { return m_focus; }
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRedraw = false);
    void SetSelectedRange(const CGridCellRange &r, bool forceRedraw = false)
    {
        SetSelectedRange(r.minRow, r.minCol, r.maxRow, r.maxCol, forceRedraw);
    }
    CGridCellRange GetSelectedRange() const;
    bool IsCellSelected(int row, int col) const { return (GetItemState(row, col) & GRID_STATE_SELECTED) != 0; }
    std::size_t SelectedCount() const { return m_selected.size(); }
    void ClearSelection();
    void SelectAll();
    CGridCellRange GetGridRange() const { return {0, 0, m_nRows - 1, m_nCols - 1}; }
    CGridCellPos GetRightClickedCell() const { return m_rightClicked; }

    // Selection by mouse mode, from the selection start cell to the given cell.
    void ExtendSelection(CGridCellPos cell);
    void SelectColumns(CGridCellPos cell);
    void SelectRows(CGridCellPos cell);
    void SelectCells(CGridCellPos cell);
    int GetMouseMode() const { return m_nMouseMode; }

    // ---- clipboard text, paste and sorting (GridTransfer.cpp) ----
    // The selected range as text: a line per row joined by "\n", a field per column joined by
    // "\t"; a selected cell gives its text (" " when empty), an unselected one an empty field.
    // Nothing when no cell is selected.
    std::optional<QString> SelectionText() const;
    // Pasted text as lines of fields: lines at "\n"; fields at tabs and commas, where a run of
    // separators counts as one and a leading one is dropped; each field trimmed. An empty line
    // gives one empty field; the text ends at its first NUL. Only what a block of `rows` lines of
    // `cols` fields takes is read: fields past the `cols`th of a line are passed over and the walk
    // stops after the `rows`th line, at `stop`. A field the block takes that is longer than a cell
    // of the grid's text file can be (gridtext::kMaxFileBytes characters) stops the walk there
    // with `fits` false.
    struct PasteSplit {
        std::vector<QStringList> lines;
        qsizetype stop = 0;  // where reading ended
        bool fits = true;
    };
    static PasteSplit SplitPasteText(QStringView text, int rows = INT_MAX, int cols = INT_MAX);
    // Fills the cells from `start` on with the fields of `text`, notifying the owner around each;
    // false when the start cell is not valid or not editable, or a field is too long for a cell
    // (nothing changes then). Read-only cells keep their text, and fields beyond the grid are
    // never read.
    bool PasteText(CGridCellPos start, const QString &text);
    // Empties every selected editable cell (false in a grid that is not editable).
    virtual bool ClearSelectedCells();

    // Sorts the non-fixed rows by one column's texts (GBK byte order) or by the cells' params
    // through `compare`; whole rows move, heights included. False for a column outside the grid
    // or fewer than two rows. The forms without a range clear the selection and the focus first.
    using GridCompareFunc = int (*)(LPARAM, LPARAM, LPARAM);
    bool SortByText(int col, bool ascending);
    bool SortByText(int col, bool ascending, int low, int high = -1);
    bool SortByCompare(GridCompareFunc compare, int col, bool ascending, LPARAM data);
    bool SortByCompare(GridCompareFunc compare, int col, bool ascending, LPARAM data, int low, int high = -1);
    int GetSortColumn() const { return m_nSortColumn; }
    bool GetSortAscending() const { return m_bAscending; }
    void SetSortOnClick(bool sort = true) { m_bSortOnClick = sort; }
    bool GetSortOnClick() const { return m_bSortOnClick; }

    // ---- what the window supplies ----
    // Sends the owner a notification about a cell and returns its answer; 0 without a window.
    virtual LRESULT NotifyOwner(int row, int col, int code);
    // A cell needs painting again (now, where the window can).
    virtual bool RedrawCell(int row, int col);
    // A cell's area needs painting at the next paint.
    virtual bool InvalidateCell(CGridCellPos cell);
    // The whole window needs painting.
    virtual void InvalidateAll() {}
    // Counts or sizes changed: the window updates its scroll bars and repaints.
    virtual void LayoutChanged() {}
    // The size of a text in the grid font (heading weight for headings), margins included;
    // (0, 0) without a window.
    virtual CSize MeasureText(const QString &text, bool heading = false) const;

    static std::uint32_t SelectionKey(int row, int col)
    {
        return (static_cast<std::uint32_t>(col) << 16) | (static_cast<std::uint32_t>(row) & 0xFFFFu);
    }

protected:
    void MarkFocus(CGridCellPos cell);
    void RedrawFixedOfColumn(int col);
    void RedrawFixedOfRow(int row);
    void FreeCell(int row, int col);
    // Grid font and the sizes it gives, for the window's font handling.
    void SetLogFont(const QFont &font);
    // Exchanges two rows, cells and heights.
    void SwapRows(int a, int b);
    // Puts the selected-cell map back in step with the cells' states after rows moved.
    void RebuildSelectionMap();
    // The quicksort of the sorts over one key per row (keys[row]); defined where it is used.
    template <class Key, class Compare>
    void SortRowsBy(std::vector<Key> &keys, int low, int high, bool ascending, Compare compare);

    // Colours.
    GridSystemColours m_sys;
    COLORREF m_crText, m_crTextBk, m_crBk, m_crFixedText, m_crFixedBk;
    COLORREF m_crGridLine = RGB(192, 192, 192);
    int m_nGridLines = GVL_BOTH;

    // Flags.
    bool m_bEditable = true;
    bool m_bModified = false;
    bool m_bEnableDragAndDrop = false;
    bool m_bListMode = false;
    bool m_bSingleSelection = false;
    bool m_bAllowDraw = true;
    bool m_bEnableSelection = true;
    bool m_bSortOnClick = true;
    bool m_bHandleTabKey = true;
    bool m_bDoubleBuffer = true;
    bool m_bTitleTips = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;

    // Structure.
    int m_nRows = 0, m_nFixedRows = 0, m_nCols = 0, m_nFixedCols = 0;
    std::vector<int> m_rowHeights;
    std::vector<int> m_colWidths;
    int m_nMargin = 0;
    int m_nDefColWidth = 30;
    int m_nDefRowHeight = 10;
    QFont m_logFont;
    std::vector<std::vector<CGridCellData *>> m_rows;

    // Mouse and selection.
    int m_nMouseMode = GRID_MOUSE_NONE;
    CGridCellPos m_leftClickDownCell, m_selectionStart, m_rightClicked, m_focus;
    std::map<std::uint32_t, CGridCellPos> m_selected;
    std::map<std::uint32_t, CGridCellPos> m_prevSelected;
    bool m_bForceRedraw = false;

    // Sorting.
    bool m_bAscending = true;
    int m_nSortColumn = -1;
};
