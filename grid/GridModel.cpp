#include "grid/GridModel.h"

#include <algorithm>

namespace {
constexpr unsigned kFindStateBits =
    GRID_STATE_DROPTARGET | GRID_STATE_FOCUSED | GRID_STATE_SELECTED | GRID_STATE_READONLY | GRID_STATE_MODIFIED;
}  // namespace

CGridModel::CGridModel(const GridSystemColours &sys)
    : m_sys(sys),
      m_crText(sys.windowText),
      m_crTextBk(sys.window),
      m_crBk(sys.shadow),
      m_crFixedText(sys.windowText),
      m_crFixedBk(sys.face)
{
}

CGridModel::~CGridModel()
{
    for (auto &row : m_rows)
        for (CGridCellData *cell : row)
            delete cell;
}

// ---- structure ----------------------------------------------------------------------------------

void CGridModel::FreeCell(int row, int col)
{
    CGridCellData *&cell = m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell) {
        ClearCell(cell, row, col);
        delete cell;
        cell = nullptr;
    }
}

bool CGridModel::SetRowCount(int n)
{
    if (n < 0)
        return false;
    if (n == m_nRows)
        return true;
    if (n < m_nFixedRows)
        m_nFixedRows = n;
    if (m_focus.row >= n)
        SetFocusCell(-1, -1);

    if (n < m_nRows) {
        for (int r = n; r < m_nRows; ++r)
            for (int c = 0; c < m_nCols; ++c)
                FreeCell(r, c);
        m_nRows = n;
        m_rows.resize(static_cast<std::size_t>(n));
        m_rowHeights.resize(static_cast<std::size_t>(n));
    } else {
        m_rows.reserve(static_cast<std::size_t>(n));
        m_rowHeights.reserve(static_cast<std::size_t>(n));
        for (int r = m_nRows; r < n; ++r) {
            m_rowHeights.push_back(m_nDefRowHeight);
            m_rows.emplace_back();
            auto &row = m_rows.back();
            row.reserve(static_cast<std::size_t>(m_nCols));
            for (int c = 0; c < m_nCols; ++c)
                row.push_back(CreateCell(r, c));
            m_nRows = r + 1;
        }
    }
    LayoutChanged();
    return true;
}

bool CGridModel::SetColumnCount(int n)
{
    if (n < 0)
        return false;
    if (n == m_nCols)
        return true;
    if (n < m_nFixedCols)
        m_nFixedCols = n;
    if (m_focus.col >= n)
        SetFocusCell(-1, -1);

    const int old = m_nCols;
    if (n < old) {
        for (int r = 0; r < m_nRows; ++r)
            for (int c = n; c < old; ++c)
                FreeCell(r, c);
        for (auto &row : m_rows)
            row.resize(static_cast<std::size_t>(n));
        m_colWidths.resize(static_cast<std::size_t>(n));
        m_nCols = n;
    } else {
        m_colWidths.resize(static_cast<std::size_t>(n), m_nDefColWidth);
        m_nCols = n;
        for (int r = 0; r < m_nRows; ++r) {
            auto &row = m_rows[static_cast<std::size_t>(r)];
            row.reserve(static_cast<std::size_t>(n));
            for (int c = old; c < n; ++c)
                row.push_back(CreateCell(r, c));
        }
    }
    LayoutChanged();
    return true;
}

bool CGridModel::SetFixedRowCount(int n)
{
    if (n < 0)
        return false;
    if (n > m_nRows && !SetRowCount(n))
        return false;
    if (m_focus.row < n)
        SetFocusCell(-1, -1);
    m_nFixedRows = n;
    InvalidateAll();
    return true;
}

bool CGridModel::SetFixedColumnCount(int n)
{
    if (n < 0)
        return false;
    if (n > m_nCols && !SetColumnCount(n))
        return false;
    if (m_focus.col < n)
        SetFocusCell(-1, -1);
    m_nFixedCols = n;
    InvalidateAll();
    return true;
}

int CGridModel::GetRowHeight(int row) const
{
    return row >= 0 && row < m_nRows ? m_rowHeights[static_cast<std::size_t>(row)] : -1;
}

int CGridModel::GetColumnWidth(int col) const
{
    return col >= 0 && col < m_nCols ? m_colWidths[static_cast<std::size_t>(col)] : -1;
}

bool CGridModel::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= m_nRows || height < 0)
        return false;
    m_rowHeights[static_cast<std::size_t>(row)] = height;
    return true;
}

bool CGridModel::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= m_nCols || width < 0)
        return false;
    m_colWidths[static_cast<std::size_t>(col)] = width;
    return true;
}

int CGridModel::GetFixedRowHeight() const
{
    int h = 0;
    for (int r = 0; r < m_nFixedRows; ++r)
        h += m_rowHeights[static_cast<std::size_t>(r)];
    return h;
}

int CGridModel::GetFixedColumnWidth() const
{
    int w = 0;
    for (int c = 0; c < m_nFixedCols; ++c)
        w += m_colWidths[static_cast<std::size_t>(c)];
    return w;
}

int CGridModel::GetTotalWidth() const
{
    long long w = 0;
    for (int v : m_colWidths)
        w += v;
    return static_cast<int>(std::min<long long>(w, 0x3FFFFFFF));
}

int CGridModel::GetTotalHeight() const
{
    long long h = 0;
    for (int v : m_rowHeights)
        h += v;
    return static_cast<int>(std::min<long long>(h, 0x3FFFFFFF));
}

int CGridModel::InsertColumn(const QString &heading, unsigned format, int col)
{
    if (col >= 0 && col >= m_nCols)
        return -1;
    ClearSelection();
    if (m_nRows < 1)
        SetRowCount(1);

    const int at = col < 0 ? m_nCols : col;
    for (int r = 0; r < m_nRows; ++r) {
        auto &row = m_rows[static_cast<std::size_t>(r)];
        row.insert(row.begin() + at, CreateCell(r, at));
    }
    m_colWidths.insert(m_colWidths.begin() + at, m_nDefColWidth);
    ++m_nCols;

    SetItemText(0, at, heading);
    for (int r = 0; r < m_nRows; ++r)
        SetItemFormat(r, at, format);
    SetColumnWidth(at, MeasureText(heading, true).cx);
    LayoutChanged();
    return at;
}

int CGridModel::InsertRow(const QString &heading, int row)
{
    if (row >= 0 && row >= m_nRows)
        return -1;
    ClearSelection();
    if (m_nCols < 1)
        SetColumnCount(1);

    const int at = row < 0 ? m_nRows : row;
    m_rows.insert(m_rows.begin() + at, std::vector<CGridCellData *>());
    m_rowHeights.insert(m_rowHeights.begin() + at, m_nDefRowHeight);
    ++m_nRows;
    auto &cells = m_rows[static_cast<std::size_t>(at)];
    cells.reserve(static_cast<std::size_t>(m_nCols));
    for (int c = 0; c < m_nCols; ++c)
        cells.push_back(nullptr);
    for (int c = 0; c < m_nCols; ++c)
        cells[static_cast<std::size_t>(c)] = CreateCell(at, c);

    SetItemText(at, 0, heading);
    SetRowHeight(at, MeasureText(heading, true).cy);
    LayoutChanged();
    return at;
}

bool CGridModel::DeleteColumn(int col)
{
    if (col < 0 || col >= m_nCols)
        return false;
    ClearSelection();
    for (int r = 0; r < m_nRows; ++r) {
        FreeCell(r, col);
        auto &row = m_rows[static_cast<std::size_t>(r)];
        row.erase(row.begin() + col);
    }
    m_colWidths.erase(m_colWidths.begin() + col);
    --m_nCols;
    if (col < m_nFixedCols)
        --m_nFixedCols;
    LayoutChanged();
    return true;
}

bool CGridModel::DeleteRow(int row)
{
    if (row < 0 || row >= m_nRows)
        return false;
    ClearSelection();
    for (int c = 0; c < m_nCols; ++c)
        FreeCell(row, c);
    m_rows.erase(m_rows.begin() + row);
    m_rowHeights.erase(m_rowHeights.begin() + row);
    --m_nRows;
    if (row < m_nFixedRows)
        --m_nFixedRows;
    LayoutChanged();
    return true;
}

bool CGridModel::DeleteScrollRows()
{
    for (int r = m_nRows; r >= m_nFixedRows; --r)
        DeleteRow(r);
    return true;
}

bool CGridModel::DeleteAll()
{
    ClearSelection();
    m_colWidths.clear();
    m_rowHeights.clear();
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            FreeCell(r, c);
    m_rows.clear();
    m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
    LayoutChanged();
    return true;
}

// ---- cells ----------------------------------------------------------------------------------------

CGridCellData *CGridModel::GetCell(int row, int col) const
{
    if (!IsValidCell(row, col))
        return nullptr;
    const auto &r = m_rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(col) < r.size() ? r[static_cast<std::size_t>(col)] : nullptr;
}

bool CGridModel::SetCell(int row, int col, CGridCellData *cell)
{
    if (!IsValidCell(row, col))
        return false;
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = cell;
    return true;
}

CGridCellData *CGridModel::CreateCell(int row, int col)
{
    auto *cell = new CGridCellData;
    if (row > 0 && col >= 0 && col < m_nCols)
        cell->format = GetItemFormat(row - 1, col);
    cell->font = m_logFont;
    return cell;
}

void CGridModel::ClearCell(CGridCellData *cell, int row, int col)
{
    if (!cell)
        return;
    SetItemState(row, col, 0);
    cell->text.clear();
}

bool CGridModel::SetItem(const GRID_ITEM *item)
{
    if (!item)
        return false;
    CGridCellData *cell = GetCell(item->row, item->col);
    if (!cell)
        return false;
    if (item->mask & GRID_MASK_TEXT)
        cell->text = item->text;
    if (item->mask & GRID_MASK_PARAM)
        cell->param = item->param;
    if (item->mask & GRID_MASK_IMAGE)
        cell->image = item->image;
    if (item->mask & GRID_MASK_STATE)
        cell->state = item->state;  // as given: this path leaves the selected-cell map alone
    if (item->mask & GRID_MASK_FORMAT)
        cell->format = item->format;
    if (item->mask & GRID_MASK_BKCOLOR)
        cell->bkColor = item->bkColor;
    if (item->mask & GRID_MASK_TEXTCOLOR)
        cell->textColor = item->textColor;
    if (item->mask & GRID_MASK_FONT)
        cell->font = item->font;
    return true;
}

bool CGridModel::GetItem(GRID_ITEM *item) const
{
    if (!item)
        return false;
    const CGridCellData *cell = GetCell(item->row, item->col);
    if (!cell)
        return false;
    if (item->mask & GRID_MASK_TEXT)
        item->text = GetItemText(item->row, item->col);
    if (item->mask & GRID_MASK_PARAM)
        item->param = cell->param;
    if (item->mask & GRID_MASK_IMAGE)
        item->image = cell->image;
    if (item->mask & GRID_MASK_STATE)
        item->state = cell->state;
    if (item->mask & GRID_MASK_FORMAT)
        item->format = cell->format;
    if (item->mask & GRID_MASK_BKCOLOR)
        item->bkColor = cell->bkColor;
    if (item->mask & GRID_MASK_TEXTCOLOR)
        item->textColor = cell->textColor;
    if (item->mask & GRID_MASK_FONT)
        item->font = cell->font;
    return true;
}

bool CGridModel::SetItemText(int row, int col, const QString &text)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->text = text;
    cell->altText = text;
    InvalidateAll();
    return true;
}

QString CGridModel::GetItemText(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->text : QString();
}

bool CGridModel::SetItemAltText(int row, int col, const QString &text)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->altText = text;
    return true;
}

QString CGridModel::GetItemAltText(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->altText : QString();
}

bool CGridModel::SetItemParam(int row, int col, LPARAM param)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->param = param;
    return true;
}

LPARAM CGridModel::GetItemParam(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->param : 0;
}

bool CGridModel::SetItemImage(int row, int col, int image)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->image = image;
    return true;
}

int CGridModel::GetItemImage(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->image : -1;
}

bool CGridModel::SetItemState(int row, int col, unsigned state)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    const std::uint32_t key = SelectionKey(row, col);
    const bool was = (cell->state & GRID_STATE_SELECTED) != 0;
    const bool is = (state & GRID_STATE_SELECTED) != 0;
    if (was && !is)
        m_selected.erase(key);
    else if (!was && is)
        m_selected[key] = CGridCellPos(row, col);
    cell->state = state;
    return true;
}

unsigned CGridModel::GetItemState(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->state : 0;
}

bool CGridModel::SetItemFormat(int row, int col, unsigned format)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->format = format;
    return true;
}

unsigned CGridModel::GetItemFormat(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->format : 0;
}

bool CGridModel::SetItemBkColor(int row, int col, COLORREF colour)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->bkColor = colour;
    return true;
}

COLORREF CGridModel::GetItemBkColor(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->bkColor : 0;
}

bool CGridModel::SetItemTextColor(int row, int col, COLORREF colour)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->textColor = colour;
    return true;
}

COLORREF CGridModel::GetItemTextColor(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->textColor : 0;
}

bool CGridModel::SetItemFont(int row, int col, const QFont &font)
{
    CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->font = font;
    return true;
}

const QFont &CGridModel::GetItemFont(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    return cell ? cell->font : m_logFont;
}

bool CGridModel::IsCellEditable(int row, int col) const
{
    return m_bEditable && !(GetItemState(row, col) & GRID_STATE_READONLY);
}

void CGridModel::SetModified(bool modified, int row, int col)
{
    if (row > 0 && col > 0) {
        if (modified) {
            SetItemState(row, col, GetItemState(row, col) | GRID_STATE_MODIFIED);
            m_bModified = true;
        } else {
            SetItemState(row, col, GetItemState(row, col) & ~GRID_STATE_MODIFIED);
        }
    } else {
        m_bModified = modified;
    }
    if (!m_bModified)
        for (auto &cells : m_rows)
            for (CGridCellData *cell : cells)
                if (cell)
                    cell->state &= ~GRID_STATE_MODIFIED;
}

bool CGridModel::IsModified(int row, int col) const
{
    if (row > 0 && col > 0)
        return (GetItemState(row, col) & GRID_STATE_MODIFIED) != 0;
    return m_bModified;
}

CGridCellPos CGridModel::FindCell(CGridCellPos start, unsigned flags) const
{
    const auto matches = [&](int r, int c) { return (GetItemState(r, c) & flags & kFindStateBits) != 0; };
    const bool above = flags & GRID_FIND_ABOVE, below = flags & GRID_FIND_BELOW;
    const bool left = flags & GRID_FIND_LEFT, right = flags & GRID_FIND_RIGHT;
    const int firstRow = start.row <= 0 ? m_nFixedRows : start.row;
    const int firstColInRow = start.col + 1 <= 0 ? m_nFixedCols : start.col + 1;

    if (below && left && right) {
        for (int r = firstRow; r < m_nRows; ++r)
            for (int c = r == firstRow ? firstColInRow : m_nFixedCols; c < m_nCols; ++c)
                if (matches(r, c))
                    return {r, c};
    } else if (below && right) {
        for (int r = firstRow; r < m_nRows; ++r)
            for (int c = firstColInRow; c < m_nCols; ++c)
                if (matches(r, c))
                    return {r, c};
    } else if (above) {
        for (int r = std::min(start.row - 1, m_nRows - 1); r >= m_nFixedRows; --r)
            if (matches(r, start.col))
                return {r, start.col};
    } else if (below) {
        for (int r = std::max(start.row + 1, 0); r < m_nRows; ++r)
            if (matches(r, start.col))
                return {r, start.col};
    } else if (left) {
        for (int c = std::min(start.col - 1, m_nCols - 1); c >= m_nFixedCols; --c)
            if (matches(start.row, c))
                return {start.row, c};
    } else if (right) {
        for (int c = std::max(start.col + 1, 0); c < m_nCols; ++c)
            if (matches(start.row, c))
                return {start.row, c};
    }
    return {};
}

// ---- colours and options ----------------------------------------------------------------------------

void CGridModel::OnSysColorChange(const GridSystemColours &sys)
{
    if (m_crText == m_sys.windowText)
        m_crText = sys.windowText;
    if (m_crFixedText == m_sys.windowText)
        m_crFixedText = sys.windowText;
    if (m_crTextBk == m_sys.window)
        m_crTextBk = sys.window;
    if (m_crBk == m_sys.shadow)
        m_crBk = sys.shadow;
    if (m_crFixedBk == m_sys.face)
        m_crFixedBk = sys.face;
    m_sys = sys;
}

void CGridModel::SetEditable(bool editable)
{
    m_bEditable = editable;
    SetFocusCell(m_focus);
}

void CGridModel::SetLogFont(const QFont &font)
{
    m_logFont = font;
    for (auto &cells : m_rows)
        for (CGridCellData *cell : cells)
            if (cell)
                cell->font = font;
}

// ---- focus and selection --------------------------------------------------------------------------------

void CGridModel::MarkFocus(CGridCellPos cell)
{
    if (m_bEditable)
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GRID_STATE_FOCUSED);
    else
        SetItemState(cell.row, cell.col, GRID_STATE_SELECTED);
}

void CGridModel::RedrawFixedOfColumn(int col)
{
    for (int r = 0; r < m_nFixedRows; ++r)
        RedrawCell(r, col);
}

void CGridModel::RedrawFixedOfRow(int row)
{
    for (int c = 0; c < m_nFixedCols; ++c)
        RedrawCell(row, c);
}

CGridCellPos CGridModel::SetFocusCell(CGridCellPos cell)
{
    if (cell == m_focus) {
        if (IsValidCell(m_focus)) {
            MarkFocus(m_focus);
            RedrawCell(m_focus.row, m_focus.col);
            RedrawFixedOfColumn(m_focus.col);
            RedrawFixedOfRow(m_focus.row);
        }
        return m_focus;
    }

    const CGridCellPos old = m_focus;
    m_focus = cell;
    if (IsValidCell(old)) {
        NotifyOwner(old.row, old.col, LVN_ITEMCHANGING);
        SetItemState(old.row, old.col, GetItemState(old.row, old.col) & ~GRID_STATE_FOCUSED);
        RedrawCell(old.row, old.col);
        if (old.col != cell.col)
            RedrawFixedOfColumn(old.col);
        if (old.row != cell.row)
            RedrawFixedOfRow(old.row);
    }
    // The owner may have moved the focus again while it was told.
    if (IsValidCell(cell) && m_focus == cell) {
        MarkFocus(cell);
        RedrawCell(cell.row, cell.col);
        if (old.col != cell.col)
            RedrawFixedOfColumn(cell.col);
        if (old.row != cell.row)
            RedrawFixedOfRow(cell.row);
        NotifyOwner(cell.row, cell.col, LVN_ITEMCHANGED);
    }
    return old;
}

void CGridModel::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRedraw)
{
    if (!m_bEnableSelection)
        return;
    const auto redraw = [&](int r, int c) {
        if (forceRedraw)
            RedrawCell(r, c);
        else
            InvalidateCell({r, c});
    };
    const CGridCellRange range(minRow, minCol, maxRow, maxCol);

    // Deselect what is selected now; only cells that stay out of the new range need painting.
    std::vector<CGridCellPos> was;
    was.reserve(m_selected.size());
    for (const auto &[key, pos] : m_selected)
        was.push_back(pos);
    for (const CGridCellPos &p : was) {
        if (!IsValidCell(p))
            continue;
        SetItemState(p.row, p.col, GetItemState(p.row, p.col) & ~GRID_STATE_SELECTED);
        if (!range.InRange(p.row, p.col))
            redraw(p.row, p.col);
    }

    if (!m_bSingleSelection) {
        for (const auto &[key, p] : m_prevSelected) {
            if (!IsValidCell(p))
                continue;
            SetItemState(p.row, p.col, GetItemState(p.row, p.col) | GRID_STATE_SELECTED);
            redraw(p.row, p.col);
        }
    }

    if (IsValidRange(range)) {
        for (int r = minRow; r <= maxRow; ++r)
            for (int c = minCol; c <= maxCol; ++c) {
                const unsigned st = GetItemState(r, c);
                if (!(st & GRID_STATE_SELECTED)) {
                    SetItemState(r, c, st | GRID_STATE_SELECTED);
                    redraw(r, c);
                }
            }
    }
}

CGridCellRange CGridModel::GetSelectedRange() const
{
    if (m_selected.empty())
        return {m_nRows, m_nCols, -1, -1};
    CGridCellRange r(m_nRows, m_nCols, -1, -1);
    for (const auto &[key, p] : m_selected) {
        r.minRow = std::min(r.minRow, p.row);
        r.minCol = std::min(r.minCol, p.col);
        r.maxRow = std::max(r.maxRow, p.row);
        r.maxCol = std::max(r.maxCol, p.col);
    }
    return r;
}

void CGridModel::ClearSelection()
{
    m_prevSelected.clear();
    SetSelectedRange(-1, -1, -1, -1);
    SetFocusCell(-1, -1);
}

void CGridModel::SelectAll()
{
    if (!m_bEnableSelection)
        return;
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridModel::ExtendSelection(CGridCellPos cell)
{
    if (!m_bEnableSelection)
        return;
    switch (m_nMouseMode) {
    case GRID_MOUSE_SELECT_ALL: SelectAll(); break;
    case GRID_MOUSE_SELECT_COLUMNS: SelectColumns(cell); break;
    case GRID_MOUSE_SELECT_ROWS: SelectRows(cell); break;
    case GRID_MOUSE_SELECT_CELLS: SelectCells(cell); break;
    default: break;
    }
}

void CGridModel::SelectColumns(CGridCellPos cell)
{
    if (!IsValidCell(cell) || cell.col < m_nFixedCols)
        return;
    SetSelectedRange(m_nFixedRows, std::min(m_selectionStart.col, cell.col), m_nRows - 1,
                     std::max(m_selectionStart.col, cell.col));
}

void CGridModel::SelectRows(CGridCellPos cell)
{
    if (!IsValidCell(cell) || cell.row < m_nFixedRows)
        return;
    if (m_bListMode && m_bSingleSelection)
        SetSelectedRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1);
    else
        SetSelectedRange(std::min(m_selectionStart.row, cell.row), m_nFixedCols,
                         std::max(m_selectionStart.row, cell.row), m_nCols - 1);
}

void CGridModel::SelectCells(CGridCellPos cell)
{
    if (!IsValidCell(cell) || cell.row < m_nFixedRows || cell.col < m_nFixedCols)
        return;
    SetSelectedRange(std::min(m_selectionStart.row, cell.row), std::min(m_selectionStart.col, cell.col),
                     std::max(m_selectionStart.row, cell.row), std::max(m_selectionStart.col, cell.col));
}

// ---- hooks without a window -------------------------------------------------------------------------------

LRESULT CGridModel::NotifyOwner(int, int, int) { return 0; }
bool CGridModel::RedrawCell(int, int) { return false; }
bool CGridModel::InvalidateCell(CGridCellPos) { return false; }
CSize CGridModel::MeasureText(const QString &, bool) const { return {0, 0}; }
