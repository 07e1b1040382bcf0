#pragma once
// The grid's plain types: cell positions and ranges, the cell record, the item descriptor that
// sets or reads several attributes of a cell at once, the state and mask bits, and the
// notification blocks the grid sends its owner as WM_NOTIFY.

#include "platform/WinCompat.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>

class QWidget;

// ---- positions and ranges -------------------------------------------------------------------

struct CGridCellPos {
    int row = -1;
    int col = -1;
    constexpr CGridCellPos() = default;
    constexpr CGridCellPos(int r, int c) : row(r), col(c) {}
    constexpr bool operator==(const CGridCellPos &) const = default;
};

// Inclusive bounds. A default range selects nothing.
struct CGridCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    constexpr CGridCellRange() = default;
    constexpr CGridCellRange(int r0, int c0, int r1, int c1) : minRow(r0), minCol(c0), maxRow(r1), maxCol(c1) {}
    constexpr bool operator==(const CGridCellRange &) const = default;

    // Bounds that are non-negative and ordered (a grid also checks its counts).
    constexpr bool IsValid() const
    {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow && minCol <= maxCol;
    }
    constexpr long long Count() const
    {
        return static_cast<long long>(maxRow - minRow + 1) * (maxCol - minCol + 1);
    }
    constexpr CGridCellPos TopLeft() const { return {minRow, minCol}; }
    constexpr bool InRange(int r, int c) const { return r >= minRow && r <= maxRow && c >= minCol && c <= maxCol; }
    constexpr CGridCellRange Intersect(const CGridCellRange &o) const
    {
        return {std::max(minRow, o.minRow), std::max(minCol, o.minCol), std::min(maxRow, o.maxRow),
                std::min(maxCol, o.maxCol)};
    }
};

// ---- cells ------------------------------------------------------------------------------------

// Cell state bits.
inline constexpr unsigned GRID_STATE_FOCUSED = 0x01;
inline constexpr unsigned GRID_STATE_SELECTED = 0x02;
inline constexpr unsigned GRID_STATE_DROPTARGET = 0x04;
inline constexpr unsigned GRID_STATE_READONLY = 0x08;
inline constexpr unsigned GRID_STATE_MODIFIED = 0x20;

// A cell or grid colour that means "the grid's own colour".
inline constexpr COLORREF GRID_DEFAULT_COLOR = 0xFF000000;

// One cell. A derived grid may make records of its own type (CreateCell is virtual).
struct CGridCellData {
    virtual ~CGridCellData() = default;
    unsigned state = 0;
    unsigned format = 0;  // DrawText flags
    QString text;
    QString altText;      // the second text
    int image = -1;       // index into the grid's image list, -1 none
    COLORREF bkColor = GRID_DEFAULT_COLOR;
    COLORREF textColor = GRID_DEFAULT_COLOR;
    QFont font;
    LPARAM param = 0;
};

// Attribute mask of GRID_ITEM.
inline constexpr unsigned GRID_MASK_TEXT = 0x01;
inline constexpr unsigned GRID_MASK_IMAGE = 0x02;
inline constexpr unsigned GRID_MASK_PARAM = 0x04;
inline constexpr unsigned GRID_MASK_STATE = 0x08;
inline constexpr unsigned GRID_MASK_BKCOLOR = 0x10;
inline constexpr unsigned GRID_MASK_TEXTCOLOR = 0x20;
inline constexpr unsigned GRID_MASK_FORMAT = 0x40;
inline constexpr unsigned GRID_MASK_FONT = 0x80;

struct GRID_ITEM {
    int row = 0;
    int col = 0;
    unsigned mask = 0;
    unsigned state = 0;
    unsigned format = 0;
    QString text;
    int image = -1;
    COLORREF bkColor = GRID_DEFAULT_COLOR;
    COLORREF textColor = GRID_DEFAULT_COLOR;
    LPARAM param = 0;
    QFont font;
};

// FindCell: state bits in the low byte, directions above.
inline constexpr unsigned GRID_FIND_ABOVE = 0x100;
inline constexpr unsigned GRID_FIND_BELOW = 0x200;
inline constexpr unsigned GRID_FIND_LEFT = 0x400;
inline constexpr unsigned GRID_FIND_RIGHT = 0x800;

// ---- mouse modes ------------------------------------------------------------------------------

inline constexpr int GRID_MOUSE_NONE = 0;
inline constexpr int GRID_MOUSE_SELECT_ALL = 1;
inline constexpr int GRID_MOUSE_SELECT_COLUMNS = 2;
inline constexpr int GRID_MOUSE_SELECT_ROWS = 3;
inline constexpr int GRID_MOUSE_SELECT_CELLS = 4;
inline constexpr int GRID_MOUSE_OVER_ROW_DIVIDER = 6;
inline constexpr int GRID_MOUSE_SIZING_ROW = 7;
inline constexpr int GRID_MOUSE_OVER_COLUMN_DIVIDER = 8;
inline constexpr int GRID_MOUSE_SIZING_COLUMN = 9;
inline constexpr int GRID_MOUSE_PREPARE_EDIT = 10;
inline constexpr int GRID_MOUSE_PREPARE_DRAG = 11;
inline constexpr int GRID_MOUSE_DRAGGING = 12;

// ---- notifications ------------------------------------------------------------------------------

// Sent (synchronously) to the owner's message table: wParam the sender's control id, lParam the
// address of a block that begins with NMHDR and lives for the call only.
inline constexpr unsigned WM_NOTIFY = 0x004E;

inline constexpr int NM_DBLCLK = -3;
inline constexpr int LVN_ITEMCHANGING = -100;
inline constexpr int LVN_ITEMCHANGED = -101;
inline constexpr int LVN_DELETEITEM = -103;
inline constexpr int LVN_BEGINLABELEDIT = -105;
inline constexpr int LVN_ENDLABELEDIT = -106;
inline constexpr int LVN_BEGINDRAG = -109;

// The control id of an in-place editor; its end-of-edit notification reaches the grid with it.
inline constexpr int IDC_GRID_INPLACE = 8;

// The edit commands the grid carries out (the framework's command ids).
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;

// Commands of the grid's context menu, delivered to its parent as WM_COMMAND.
inline constexpr int ID_GRID_PRESET_SAVEAS = 713;
inline constexpr int ID_GRID_PRESET_LOAD = 714;
inline constexpr int ID_GRID_PRESET_DELETE = 715;

struct NMHDR {
    QWidget *hwndFrom = nullptr;
    int idFrom = 0;
    int code = 0;
};

// What the grid itself sends.
struct GRID_CELL_NOTIFY {
    NMHDR hdr;
    int row = -1;
    int col = -1;
};

// What an in-place editor sends the grid when an edit ends (mask text + param; param = the key
// that ended the edit).
struct GRID_NOTIFY {
    NMHDR hdr;
    GRID_ITEM item;
};
