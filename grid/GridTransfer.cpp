// The cell model's text transfer and sorting: the selection as clipboard text, pasted text into
// the cells, emptying the selected cells, and the row sorts by text or by the cells' params.

#include "grid/GridModel.h"

#include "grid/GridTextLines.h"
#include "platform/Gbk.h"

#include <algorithm>

#include <utility>

// ---- clipboard text -----------------------------------------------------------------------------------

std::optional<QString> CGridModel::SelectionText() const
{
    const CGridCellRange range = GetSelectedRange();
    if (!IsValidRange(range))
        return std::nullopt;
    QString out;
    for (int r = range.minRow; r <= range.maxRow; ++r) {
        if (r > range.minRow)
            out += QLatin1Char('\n');
        for (int c = range.minCol; c <= range.maxCol; ++c) {
            if (c > range.minCol)
                out += QLatin1Char('\t');
            const CGridCellData *cell = GetCell(r, c);
            if (cell && (cell->state & GRID_STATE_SELECTED)) {
                const QString text = GetItemText(r, c);
                out += text.isEmpty() ? QStringLiteral(" ") : text;
            }
        }
    }
    return out;
}

namespace {
bool IsSeparator(QChar ch) { return ch == u'\t' || ch == u',' || ch == u'\n'; }
bool IsTrimmed(QChar ch) { return ch == u' ' || ch == u'\t' || ch == u'\r'; }
}  // namespace

CGridModel::PasteSplit CGridModel::SplitPasteText(QStringView text, int rows, int cols)
{
    PasteSplit out;
    const qsizetype n = text.size();
    // The text ends at its first NUL.
    const auto atEnd = [&](qsizetype i) { return i >= n || text[i].isNull(); };
    qsizetype pos = 0;
    // One walk over the text: each line is read as far as the block takes fields from it, the rest
    // of the line is passed over without a copy, and nothing is read after the block's last line.
    while (!atEnd(pos) && out.lines.size() < std::size_t(std::max(rows, 0))) {
        QStringList &fields = out.lines.emplace_back();
        qsizetype i = pos;
        if (text[i] == u'\n') {
            // An empty line still stands for its row: it empties the cell at the start column.
            fields.push_back(QString());
        } else {
            while (!atEnd(i) && text[i] != u'\n') {
                while (!atEnd(i) && IsSeparator(text[i]) && text[i] != u'\n')
                    ++i;
                if (atEnd(i) || text[i] == u'\n')
                    break;
                if (fields.size() >= cols) {
                    while (!atEnd(i) && text[i] != u'\n')
                        ++i;
                    break;
                }
                qsizetype b = i;
                while (!atEnd(i) && !IsSeparator(text[i]))
                    ++i;
                qsizetype e = i;
                while (b < e && IsTrimmed(text[b]))
                    ++b;
                while (e > b && IsTrimmed(text[e - 1]))
                    --e;
                // No cell takes more than the grid's text file can give one.
                if (std::size_t(e - b) > gridtext::kMaxFileBytes) {
                    out.fits = false;
                    out.stop = b;
                    return out;
                }
                fields.push_back(text.sliced(b, e - b).toString());
            }
        }
        pos = atEnd(i) ? i : i + 1;
    }
    out.stop = pos;
    return out;
}

bool CGridModel::PasteText(CGridCellPos start, const QString &text)
{
    if (!IsValidCell(start) || !IsCellEditable(start))
        return false;
    const PasteSplit split = SplitPasteText(text, m_nRows - start.row, m_nCols - start.col);
    // A field longer than any cell may hold changes nothing.
    if (!split.fits)
        return false;
    for (std::size_t j = 0; j < split.lines.size(); ++j) {
        const int row = start.row + static_cast<int>(j);
        const QStringList &fields = split.lines[j];
        for (qsizetype k = 0; k < fields.size(); ++k) {
            const int col = start.col + static_cast<int>(k);
            // A read-only cell stays as it is, wherever the paste reaches it.
            if (GetItemState(row, col) & GRID_STATE_READONLY)
                continue;
            NotifyOwner(row, col, LVN_BEGINLABELEDIT);
            SetItemText(row, col, fields.at(k));
            SetModified(true, row, col);
            NotifyOwner(row, col, LVN_ENDLABELEDIT);
            SetItemState(row, col, GetItemState(row, col) & ~GRID_STATE_SELECTED);
        }
    }
    InvalidateAll();
    return true;
}

bool CGridModel::ClearSelectedCells()
{
    if (!m_bEditable)
        return false;
    std::vector<CGridCellPos> cells;
    cells.reserve(m_selected.size());
    for (const auto &[key, pos] : m_selected)
        cells.push_back(pos);
    for (const CGridCellPos &p : cells) {
        CGridCellData *cell = GetCell(p.row, p.col);
        if (!cell || !IsCellEditable(p))
            continue;
        NotifyOwner(p.row, p.col, LVN_BEGINLABELEDIT);
        ClearCell(cell, p.row, p.col);
        SetModified(true, p.row, p.col);
        NotifyOwner(p.row, p.col, LVN_ENDLABELEDIT);
    }
    InvalidateAll();
    return true;
}

// ---- sorting ------------------------------------------------------------------------------------------------

void CGridModel::SwapRows(int a, int b)
{
    std::swap(m_rows[static_cast<std::size_t>(a)], m_rows[static_cast<std::size_t>(b)]);
    std::swap(m_rowHeights[static_cast<std::size_t>(a)], m_rowHeights[static_cast<std::size_t>(b)]);
}

void CGridModel::RebuildSelectionMap()
{
    m_selected.clear();
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (const CGridCellData *cell = GetCell(r, c); cell && (cell->state & GRID_STATE_SELECTED))
                m_selected[SelectionKey(r, c)] = CGridCellPos(r, c);
}

// Hoare's quicksort with the middle row's key as pivot: rows whose keys compare equal never swap.
// The ranges left to sort wait on a stack of our own, so no input can exhaust the call stack.
template <class Key, class Compare>
void CGridModel::SortRowsBy(std::vector<Key> &keys, int low, int high, bool ascending, Compare compare)
{
    std::vector<std::pair<int, int>> todo{{low, high}};
    while (!todo.empty()) {
        const auto [l, h] = todo.back();
        todo.pop_back();
        if (l >= h)
            continue;
        int lo = l, hi = h;
        const Key pivot = keys[static_cast<std::size_t>((l + h) / 2)];
        const auto key = [&](int r) -> const Key & { return keys[static_cast<std::size_t>(r)]; };
        while (lo <= hi) {
            if (ascending) {
                while (lo < h && compare(key(lo), pivot) < 0)
                    ++lo;
                while (hi > l && compare(key(hi), pivot) > 0)
                    --hi;
            } else {
                while (lo < h && compare(key(lo), pivot) > 0)
                    ++lo;
                while (hi > l && compare(key(hi), pivot) < 0)
                    --hi;
            }
            if (lo <= hi) {
                if (compare(key(lo), key(hi)) != 0) {
                    SwapRows(lo, hi);
                    std::swap(keys[static_cast<std::size_t>(lo)], keys[static_cast<std::size_t>(hi)]);
                }
                ++lo;
                --hi;
            }
        }
        todo.push_back({l, hi});
        todo.push_back({lo, h});
    }
}

namespace {
// A cell's text as the bytes it is stored as in files (GBK), so the order is the byte order.
std::string SortKey(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::optional<std::string> gbk = Utf8ToGbk(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    return gbk ? *gbk : std::string(utf8.constData(), std::size_t(utf8.size()));
}
}  // namespace

bool CGridModel::SortByText(int col, bool ascending)
{
    ClearSelection();
    SetFocusCell(-1, -1);
    return SortByText(col, ascending, m_nFixedRows, -1);
}

bool CGridModel::SortByText(int col, bool ascending, int low, int high)
{
    if (col < 0 || col >= m_nCols)
        return false;
    if (high == -1)
        high = m_nRows - 1;
    if (low < 0 || high >= m_nRows || low >= high)
        return false;
    std::vector<std::string> keys(static_cast<std::size_t>(m_nRows));
    for (int r = low; r <= high; ++r)
        keys[static_cast<std::size_t>(r)] = SortKey(GetItemText(r, col));
    SortRowsBy(keys, low, high, ascending, [](const std::string &a, const std::string &b) { return a.compare(b); });
    if (!m_selected.empty())
        RebuildSelectionMap();
    InvalidateAll();
    return true;
}

bool CGridModel::SortByCompare(GridCompareFunc compare, int col, bool ascending, LPARAM data)
{
    ClearSelection();
    SetFocusCell(-1, -1);
    return SortByCompare(compare, col, ascending, data, m_nFixedRows, -1);
}

bool CGridModel::SortByCompare(GridCompareFunc compare, int col, bool ascending, LPARAM data, int low, int high)
{
    if (!compare || col < 0 || col >= m_nCols)
        return false;
    if (high == -1)
        high = m_nRows - 1;
    if (low < 0 || high >= m_nRows || low >= high)
        return false;
    std::vector<LPARAM> keys(static_cast<std::size_t>(m_nRows));
    for (int r = low; r <= high; ++r)
        keys[static_cast<std::size_t>(r)] = GetItemParam(r, col);
    SortRowsBy(keys, low, high, ascending, [&](LPARAM a, LPARAM b) { return compare(a, b, data); });
    if (!m_selected.empty())
        RebuildSelectionMap();
    InvalidateAll();
    return true;
}
