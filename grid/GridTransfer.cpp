// The cell model's text transfer and sorting: the selection as clipboard text, pasted text into
// the cells, emptying the selected cells, and the row sorts by text or by the cells' params.

#include "grid/GridModel.h"

#include "platform/Gbk.h"

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
bool IsSeparator(QChar ch) { return ch == QLatin1Char('\t') || ch == QLatin1Char(',') || ch == QLatin1Char('\n'); }
bool IsTrimmed(QChar ch) { return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\r'); }

QString TrimField(const QString &field)
{
    qsizetype b = 0, e = field.size();
    while (b < e && IsTrimmed(field.at(b)))
        ++b;
    while (e > b && IsTrimmed(field.at(e - 1)))
        --e;
    return field.mid(b, e - b);
}
}  // namespace

std::vector<QStringList> CGridModel::SplitPasteText(const QString &text)
{
    QString body = text;
    if (const qsizetype nul = body.indexOf(QChar(0)); nul >= 0)
        body.truncate(nul);

    std::vector<QStringList> lines;
    qsizetype pos = 0;
    while (pos < body.size()) {
        qsizetype end = body.indexOf(QLatin1Char('\n'), pos);
        const bool hasFeed = end >= 0;
        if (!hasFeed)
            end = body.size();
        QString line = body.mid(pos, end - pos);
        pos = hasFeed ? end + 1 : end;
        // An empty line still stands for its row: it empties the cell at the start column.
        if (line.isEmpty())
            line = QStringLiteral(" ");
        QStringList fields;
        qsizetype i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsSeparator(line.at(i)))
                ++i;
            if (i >= line.size())
                break;
            const qsizetype start = i;
            while (i < line.size() && !IsSeparator(line.at(i)))
                ++i;
            fields.push_back(TrimField(line.mid(start, i - start)));
        }
        lines.push_back(std::move(fields));
    }
    return lines;
}

bool CGridModel::PasteText(CGridCellPos start, const QString &text)
{
    if (!IsValidCell(start) || !IsCellEditable(start))
        return false;
    const std::vector<QStringList> lines = SplitPasteText(text);
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const int row = start.row + static_cast<int>(j);
        if (row >= m_nRows)
            break;
        for (qsizetype k = 0; k < lines[j].size(); ++k) {
            const int col = start.col + static_cast<int>(k);
            if (col >= m_nCols)
                break;
            // A read-only cell stays as it is, wherever the paste reaches it.
            if (GetItemState(row, col) & GRID_STATE_READONLY)
                continue;
            NotifyOwner(row, col, LVN_BEGINLABELEDIT);
            SetItemText(row, col, lines[j].at(k));
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
