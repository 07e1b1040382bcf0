#include "grid/GridCtrl.h"

#include "grid/InPlaceEdit.h"
#include "grid/TitleTip.h"
#include "grid/VisibleText.h"

#include "controls/CtrlMessages.h"
#include "platform/GlobalData.h"
#include "platform/qt/DrawText.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaObject>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <stdexcept>

namespace {

QRect ToQRect(const CRect &r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// The whole area of a cell whose rectangle ends on its last pixel.
QRect CellArea(const CRect &r) { return QRect(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1); }

void Fill(QPainter &p, int l, int t, int r, int b, const QColor &c)
{
    if (r > l && b > t)
        p.fillRect(QRect(l, t, r - l, b - t), c);
}

// The context menu's texts; the Delete item's text is set at each right-button press.
QString MenuLoadText(bool cn) { return cn ? QStringLiteral("加载 机器预置场景(&E)") : QStringLiteral("Load Machine Preset(&E)"); }
QString MenuSaveAsText(bool cn)
{
    return cn ? QStringLiteral("另存为 机器预置场景(&I)") : QStringLiteral("Save As Machine Preset(&I)");
}
QString MenuDeleteText(bool cn)
{
    return cn ? QStringLiteral("删除 机器预置场景(&D)") : QStringLiteral("Delete Machine Preset(&D)");
}

bool g_bInGridSize = false;  // one guard for every grid: a resize never nests
}  // namespace

// ---- construction and attachment ------------------------------------------------------------------

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols, QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    // The grid is always a drop target; while drag and drop is off it refuses every drop.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    const GridSystemColours sys = ReadSystemColours();
    m_sys = sys;
    m_logFont = DefaultDialogFont();
    m_font = m_logFont;
    m_nWheelLines = ReadWheelScrollLines();

    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);

    m_crText = sys.windowText;
    m_crTextBk = sys.window;
    m_crBk = sys.shadow;
    m_crFixedText = sys.windowText;
    m_crFixedBk = sys.face;
    m_selected.clear();
    m_prevSelected.clear();

    BuildContextMenu();

    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { OnBarAction(SB_VERT, a); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { OnBarAction(SB_HORZ, a); });

    // An in-place editor reports the end of its edit here.
    CMessageTable::Ensure(this)->On(WM_NOTIFY, [this](WPARAM w, LPARAM l) -> LRESULT {
        const auto *nm = reinterpret_cast<const GRID_NOTIFY *>(l);
        if (w == WPARAM(IDC_GRID_INPLACE) && nm && nm->hdr.code == LVN_ENDLABELEDIT)
            return OnEndEditNotify(*nm);
        return 0;
    });
}

CGridCtrl::~CGridCtrl()
{
    // The owner may be half destroyed (its children go last): tell it nothing from here on.
    m_bDestroying = true;
    m_bAllowDraw = false;
    // An editor still open goes first and quietly: there is no grid left to take its text.
    const QObjectList children = viewport()->children();
    for (QObject *child : children) {
        if (auto *edit = qobject_cast<CInPlaceEdit *>(child)) {
            edit->Dismiss();
            delete edit;
        } else if (auto *list = qobject_cast<CInPlaceList *>(child)) {
            list->Dismiss();
            delete list;
        }
    }
    DeleteAll();
}

void CGridCtrl::BuildContextMenu()
{
    const bool cn = g_bChinese.load() != 0;
    m_pMenu = new QMenu(this);
    m_pMenu->addAction(MenuLoadText(cn))->setData(ID_GRID_PRESET_LOAD);
    m_pMenu->addAction(MenuSaveAsText(cn))->setData(ID_GRID_PRESET_SAVEAS);
    m_pMenu->addAction(QString())->setData(ID_GRID_PRESET_DELETE);
}

bool CGridCtrl::Create(const QRect &rect, QWidget *parent, int id, unsigned style)
{
    setParent(parent);
    setGeometry(rect);
    SetCtrlId(this, id);
    if (style & WS_BORDER) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_nDefRowHeight);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_nDefColWidth);
    m_bAttached = true;
    CreateTitleTip();
    UpdateScrollBars();
    show();
    return true;
}

bool CGridCtrl::SubclassWindow(QWidget *control)
{
    if (!control || !control->parentWidget() || control == this)
        return false;
    setParent(control->parentWidget());
    setGeometry(control->geometry());
    SetCtrlId(this, GetCtrlId(control));
    if (auto *frame = qobject_cast<QFrame *>(control)) {
        setFrameStyle(frame->frameStyle());
        setLineWidth(frame->lineWidth());
    } else {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    const bool visible = !control->isHidden();
    stackUnder(control);
    control->hide();
    control->deleteLater();
    m_bAttached = true;
    CreateTitleTip();
    // The grid's own font, as the window is taken over.
    SetFont(m_logFont);
    UpdateScrollBars();
    setVisible(visible);
    return true;
}

void DDX_GridCtrl(QWidget *dialog, int id, CGridCtrl &grid)
{
    if (grid.IsAttached())
        return;
    QWidget *control = nullptr;
    if (dialog)
        for (QWidget *w : dialog->findChildren<QWidget *>())
            if (w != &grid && GetCtrlId(w) == id) {
                control = w;
                break;
            }
    if (!control || !grid.SubclassWindow(control))
        throw std::logic_error("DDX_GridCtrl: no control to attach the grid to");
}

int CGridCtrl::GetCtrlIdOfGrid() const { return GetCtrlId(this); }

void CGridCtrl::CreateTitleTip()
{
    if (!m_bTitleTips || m_pTitleTip)
        return;
    m_pTitleTip = new CTitleTip;
    m_pTitleTip->Create(viewport());
}

// ---- font ------------------------------------------------------------------------------------------

void CGridCtrl::SetFont(const QFont &font, bool)
{
    SetLogFont(font);
    m_font = font;
    QWidget::setFont(font);
    const QFontMetrics fm(m_font);
    m_nMargin = fm.horizontalAdvance(QLatin1Char(' '));
    m_nDefRowHeight = fm.height() + std::max(0, fm.leading()) + 2 * m_nMargin;
    m_nDefColWidth = 12 * fm.averageCharWidth() + 2 * m_nMargin;
    viewport()->update();
}

CSize CGridCtrl::MeasureText(const QString &text, bool heading) const
{
    QFont f = heading ? m_logFont : m_font;
    if (heading)
        f.setWeight(FontWeightFromWin(600));
    const QSize s = QFontMetrics(f).size(Qt::TextSingleLine, text);
    return {s.width() + 2 * m_nMargin, s.height() + 2 * m_nMargin};
}

// ---- system settings --------------------------------------------------------------------------------

GridSystemColours CGridCtrl::ReadSystemColours() const
{
    const QPalette &pal = palette();
    return {ToColorRef(pal.color(QPalette::Active, QPalette::Text)), ToColorRef(pal.color(QPalette::Active, QPalette::Base)),
            ToColorRef(pal.color(QPalette::Active, QPalette::Button)), ToColorRef(pal.color(QPalette::Active, QPalette::Dark))};
}

QColor CGridCtrl::SysColour(int role) const { return palette().color(QPalette::Active, QPalette::ColorRole(role)); }

int CGridCtrl::ReadWheelScrollLines() const
{
    const int lines = QGuiApplication::styleHints()->wheelScrollLines();
    return lines < 0 ? -1 : lines;
}

void CGridCtrl::RefreshSystemSettings()
{
    OnSysColorChange(ReadSystemColours());
    m_nWheelLines = ReadWheelScrollLines();
    viewport()->update();
}

void CGridCtrl::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::PaletteChange) {
        OnSysColorChange(ReadSystemColours());
        viewport()->update();
    }
}

// ---- painting ------------------------------------------------------------------------------------------

void CGridCtrl::paintEvent(QPaintEvent *e)
{
    if (!m_bAllowDraw)
        return;
    QPainter p(viewport());
    const QRect r = e->rect();
    DrawGrid(p, CRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
}

void CGridCtrl::DrawGrid(QPainter &p, const CRect &clip)
{
    if (clip.IsRectEmpty())
        return;
    FillBackground(p, clip);

    const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
    CRect vis;
    const CGridCellRange range = GetVisibleCellRange(&vis);

    // The top-left block of fixed cells.
    for (int r = 0, y = 0; r < m_nFixedRows; y += GetRowHeight(r), ++r)
        for (int c = 0, x = 0; c < m_nFixedCols; x += GetColumnWidth(c), ++c)
            DrawFixedCell(p, r, c, CRect{x, y, x + GetColumnWidth(c) - 1, y + GetRowHeight(r) - 1});

    // Walks rows (from a top edge) and columns (from a left edge), skipping what the clip misses.
    const auto walk = [&](int r0, int r1, int y0, int c0, int c1, int x0, auto draw) {
        for (int r = r0, y = y0; r <= r1; ++r) {
            const int h = GetRowHeight(r);
            if (y >= clip.bottom)
                break;
            if (y + h - 1 < clip.top) {
                y += h;
                continue;
            }
            for (int c = c0, x = x0; c <= c1; ++c) {
                const int w = GetColumnWidth(c);
                if (x >= clip.right)
                    break;
                if (x + w - 1 >= clip.left)
                    draw(r, c, CRect{x, y, x + w - 1, y + h - 1});
                x += w;
            }
            y += h;
        }
    };
    const auto fixedCell = [&](int r, int c, CRect rc) { DrawFixedCell(p, r, c, rc); };
    const auto cell = [&](int r, int c, CRect rc) { DrawCell(p, r, c, rc); };
    walk(range.minRow, range.maxRow, fixedH, 0, m_nFixedCols - 1, 0, fixedCell);
    walk(0, m_nFixedRows - 1, 0, range.minCol, range.maxCol, fixedW, fixedCell);
    walk(range.minRow, range.maxRow, fixedH, range.minCol, range.maxCol, fixedW, cell);

    // Grid lines on each scrolled cell's last pixel column and row.
    p.setPen(QPen(ToQColor(m_crGridLine), 1));
    if (m_nGridLines == GVL_VERT || m_nGridLines == GVL_BOTH) {
        for (int c = range.minCol, x = fixedW; c <= range.maxCol; ++c) {
            x += GetColumnWidth(c);
            if (vis.bottom > fixedH)
                p.drawLine(x - 1, fixedH, x - 1, vis.bottom - 1);
        }
    }
    if (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH) {
        for (int r = range.minRow, y = fixedH; r <= range.maxRow; ++r) {
            y += GetRowHeight(r);
            if (vis.right > fixedW)
                p.drawLine(fixedW, y - 1, vis.right - 1, y - 1);
        }
    }
}

void CGridCtrl::FillBackground(QPainter &p, const CRect &c)
{
    if (c.IsRectEmpty())
        return;
    CRect r;
    GetVisibleCellRange(&r);
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    const QColor fixedBk = ToQColor(m_crFixedBk), textBk = ToQColor(m_crTextBk), bk = ToQColor(m_crBk);
    if (c.left < fixedW && c.top < r.bottom)
        Fill(p, c.left, c.top, fixedW, r.bottom, fixedBk);
    if (c.top < fixedH && fixedW < c.right && c.left < r.right)
        Fill(p, fixedW - 1, c.top, r.right, fixedH, fixedBk);
    Fill(p, std::max({c.left, r.left, fixedW}), std::max({c.top, r.top, fixedH}), std::min(c.right, r.right),
         std::min(c.bottom, r.bottom), textBk);
    if (r.right < c.right)
        Fill(p, r.right, c.top, c.right, c.bottom, bk);
    if (r.bottom < c.bottom && c.left < r.right)
        Fill(p, c.left, r.bottom, r.right, c.bottom, bk);
}

void CGridCtrl::DrawCellText(QPainter &p, const CRect &rect, const CGridCellData &cell) const
{
    const QRect box = ToQRect(rect);
    if (box.width() <= 0 || box.height() <= 0)
        return;
    p.setFont(cell.font);
    p.drawText(box, AlignmentFromDrawText(cell.format), CellTextToDraw(cell.text, cell.font, box.size(), cell.format));
}

bool CGridCtrl::DrawFixedCell(QPainter &p, int row, int col, CRect rect, bool)
{
    const CGridCellData *cell = GetCell(row, col);
    if (!m_bAllowDraw || !cell)
        return false;
    if (!m_bPrinting)
        p.fillRect(ToQRect(rect), ToQColor(cell->bkColor == GRID_DEFAULT_COLOR ? m_crFixedBk : cell->bkColor));
    // On paper the grid's own colours (the console's light-on-dark) become black on the white page.
    const QColor text = ToQColor(cell->textColor != GRID_DEFAULT_COLOR ? cell->textColor
                                 : m_bPrinting                        ? RGB(0, 0, 0)
                                                                      : m_crFixedText);
    p.save();

    if (IsValidCell(m_focus) && (m_focus.row == row || m_focus.col == col)) {
        // Sunken: dark top and left, light bottom and right, over the whole cell.
        const QRect a = CellArea(rect);
        p.setPen(SysColour(QPalette::Shadow));
        p.drawLine(a.left(), a.top(), a.right(), a.top());
        p.drawLine(a.left(), a.top(), a.left(), a.bottom());
        p.setPen(SysColour(QPalette::Midlight));
        p.drawLine(a.left() + 1, a.bottom(), a.right(), a.bottom());
        p.drawLine(a.right(), a.top() + 1, a.right(), a.bottom());
        rect = CRect{a.left() + 1, a.top() + 1, a.right(), a.bottom()};
    } else {
        // Raised: light top and left, dark right and bottom edge on the cell's last pixels.
        p.setPen(SysColour(QPalette::Light));
        p.drawLine(rect.left, rect.top, rect.right - 1, rect.top);
        p.drawLine(rect.left, rect.top, rect.left, rect.bottom - 1);
        p.setPen(SysColour(QPalette::Shadow));
        p.drawLine(rect.right, rect.top, rect.right, rect.bottom - 1);
        p.drawLine(rect.left + 1, rect.bottom, rect.right, rect.bottom);
        rect.DeflateRect(1, 1);
    }
    rect.left += m_nMargin;
    rect.right -= m_nMargin;
    p.setPen(text);
    DrawCellText(p, rect, *cell);
    p.restore();
    return true;
}

bool CGridCtrl::DrawCell(QPainter &p, int row, int col, CRect rect, bool)
{
    const CGridCellData *cell = GetCell(row, col);
    if (!m_bAllowDraw || !cell)
        return false;
    const QColor bk = ToQColor(cell->bkColor != GRID_DEFAULT_COLOR ? cell->bkColor
                               : m_bPrinting                      ? RGB(255, 255, 255)
                                                                  : m_crTextBk);
    QColor text = ToQColor(cell->textColor != GRID_DEFAULT_COLOR ? cell->textColor
                           : m_bPrinting                        ? RGB(0, 0, 0)
                                                                : m_crText);
    p.save();
    const QRect whole = CellArea(rect);
    // The focus and drop frames take the text colour: dark on a light palette, light on a dark one.
    const QColor frame = SysColour(QPalette::Text);
    if ((cell->state & GRID_STATE_FOCUSED) && !m_bPrinting) {
        p.fillRect(whole, bk);
        p.setPen(frame);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
        rect.DeflateRect(1, 1);
    } else if ((cell->state & GRID_STATE_SELECTED) && !m_bPrinting) {
        p.fillRect(whole, SysColour(QPalette::Highlight));
        text = SysColour(QPalette::HighlightedText);
    } else {
        p.fillRect(whole, bk);
    }
    if ((cell->state & GRID_STATE_DROPTARGET) && !m_bPrinting) {
        p.setPen(frame);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    }
    rect.left += m_nMargin;
    rect.right -= m_nMargin;
    p.setPen(text);
    DrawCellText(p, rect, *cell);
    p.restore();
    return true;
}

bool CGridCtrl::RedrawCell(int row, int col)
{
    CRect rc;
    if (!m_bAllowDraw || !IsCellVisible(row, col) || !GetCellRect(row, col, &rc))
        return false;
    viewport()->update(CellArea(rc));
    return true;
}

bool CGridCtrl::RedrawRow(int row)
{
    bool all = true;
    for (int c = 0; c < m_nCols; ++c)
        all = RedrawCell(row, c) && all;
    return all;
}

bool CGridCtrl::RedrawColumn(int col)
{
    bool all = true;
    for (int r = 0; r < m_nRows; ++r)
        all = RedrawCell(r, col) && all;
    return all;
}

bool CGridCtrl::InvalidateCell(CGridCellPos cell)
{
    CRect rc;
    if (!m_bAllowDraw || !IsCellVisible(cell) || !GetCellRect(cell, &rc))
        return false;
    viewport()->update(CellArea(rc));
    return true;
}

bool CGridCtrl::InvalidateRange(const CGridCellRange &range)
{
    if (!m_bAllowDraw)
        return false;
    CRect rc;
    if (!GetRangeRect(range.Intersect(GetVisibleCellRange()), &rc))
        return false;
    viewport()->update(CellArea(rc));
    return true;
}

void CGridCtrl::InvalidateAll() { viewport()->update(); }

void CGridCtrl::LayoutChanged()
{
    if (!m_bAllowDraw)
        return;
    UpdateScrollBars();
    viewport()->update();
}

void CGridCtrl::AllowDrawing(bool allow, bool resetScrollBars)
{
    if (allow && !m_bAllowDraw)
        viewport()->update();
    m_bAllowDraw = allow;
    if (resetScrollBars)
        UpdateScrollBars();
}

// ---- geometry ------------------------------------------------------------------------------------------

GridView CGridCtrl::View() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(), viewport()->height()};
}

CGridCellPos CGridCtrl::GetTopLeftScrollCell() const { return GridGeometry::TopLeftScrollCell(*this, View()); }
CGridCellRange CGridCtrl::GetVisibleCellRange(CRect *rect) const
{
    return GridGeometry::VisibleCellRange(*this, View(), rect);
}
CGridCellRange CGridCtrl::GetWhollyVisibleCellRange() const
{
    return GridGeometry::WhollyVisibleCellRange(*this, View());
}
CGridCellPos CGridCtrl::CellFromPoint(CPoint pt, bool allowFixed) const
{
    return GridGeometry::CellFromPoint(*this, View(), pt, allowFixed);
}
bool CGridCtrl::GetCellOrigin(int row, int col, CPoint *origin) const
{
    return GridGeometry::CellOrigin(*this, View(), row, col, origin);
}
bool CGridCtrl::GetCellRect(int row, int col, CRect *rect) const
{
    return GridGeometry::CellRect(*this, View(), row, col, rect);
}
bool CGridCtrl::GetCellTextRect(int row, int col, CRect *rect) const { return GetCellRect(row, col, rect); }
bool CGridCtrl::GetRangeRect(const CGridCellRange &range, CRect *rect) const
{
    return GridGeometry::RangeRect(*this, View(), range, rect);
}
bool CGridCtrl::IsCellVisible(int row, int col) const
{
    return GridGeometry::IsCellVisible(*this, View(), row, col);
}

// ---- scrolling ------------------------------------------------------------------------------------------

void CGridCtrl::UpdateScrollBars()
{
    if (!m_bAllowDraw)
        return;
    const GridView v = View();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    if (v.clientWidth - fixedW <= 0 || v.clientHeight - fixedH <= 0)
        return;
    if (!IsValidRange(GetWhollyVisibleCellRange()))
        return;
    const int hPage = v.clientWidth - fixedW, vPage = v.clientHeight - fixedH;
    m_nVScrollMax = GridGeometry::VScrollMax(*this, v);
    m_nHScrollMax = GridGeometry::HScrollMax(*this, v);
    // A bar's positions run from 0 to maximum - page + 1, as the system's bars do.
    QScrollBar *vb = verticalScrollBar();
    QScrollBar *hb = horizontalScrollBar();
    vb->setPageStep(vPage);
    hb->setPageStep(hPage);
    vb->setRange(0, m_nVScrollMax > 0 ? std::max(0, m_nVScrollMax - vPage + 1) : 0);
    hb->setRange(0, m_nHScrollMax > 0 ? std::max(0, m_nHScrollMax - hPage + 1) : 0);
}

int CGridCtrl::GetScrollPosition(int bar, bool track) const
{
    const QScrollBar *sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    return track ? sb->sliderPosition() : sb->value();
}

void CGridCtrl::SetScrollPosition(int bar, int pos, bool redraw)
{
    QScrollBar *sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    const bool was = m_bScrolling;
    m_bScrolling = !redraw;
    sb->setValue(pos);
    m_bScrolling = was;
}

void CGridCtrl::scrollContentsBy(int, int)
{
    if (!m_bScrolling)
        viewport()->update();
}

void CGridCtrl::TakeFocusForScroll()
{
    // Scrolling ends an edit in progress: the grid takes the focus from its editor or elsewhere.
    if (!hasFocus() && isVisible())
        setFocus(Qt::OtherFocusReason);
}

void CGridCtrl::OnBarAction(int bar, int action)
{
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    default: return;  // thumb drags move the bar's value themselves
    }
    // The grid steps by whole rows and columns, not by the bar's own steps.
    QScrollBar *sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    sb->setSliderPosition(sb->value());
    OnScroll(bar, code);
}

void CGridCtrl::OnHScroll(int code) { OnScroll(SB_HORZ, code); }
void CGridCtrl::OnVScroll(int code) { OnScroll(SB_VERT, code); }

void CGridCtrl::OnScroll(int bar, int code)
{
    TakeFocusForScroll();
    if (m_pTitleTip)
        m_pTitleTip->Hide();
    const bool vert = bar == SB_VERT;
    const int pos = GetScrollPosition(bar);
    const CGridCellPos tl = GetTopLeftScrollCell();
    const int maximum = vert ? m_nVScrollMax : m_nHScrollMax;
    const int fixed = vert ? GetFixedRowHeight() : GetFixedColumnWidth();
    const int client = vert ? viewport()->height() : viewport()->width();
    const int first = vert ? tl.row : tl.col;
    const int firstScrolled = vert ? m_nFixedRows : m_nFixedCols;
    const auto sizeOf = [&](int i) { return vert ? GetRowHeight(i) : GetColumnWidth(i); };
    const QRect scrolled = vert ? QRect(0, fixed, viewport()->width(), client - fixed)
                                : QRect(fixed, 0, client - fixed, viewport()->height());

    // Moves the scrolled part by the cells that left or entered it, repainting only the strip uncovered.
    const auto shiftContents = [&](int oldFirst) {
        const CGridCellPos now = GetTopLeftScrollCell();
        const int newFirst = vert ? now.row : now.col;
        int shift = 0;
        for (int i = std::min(oldFirst, newFirst); i < std::max(oldFirst, newFirst); ++i)
            shift += sizeOf(i);
        if (newFirst > oldFirst)
            shift = -shift;
        if (shift == 0)
            return;
        if (vert)
            viewport()->scroll(0, shift, scrolled);
        else
            viewport()->scroll(shift, 0, scrolled);
    };
    const auto setQuietly = [&](int p) { SetScrollPosition(bar, p, false); };

    switch (code) {
    case SB_LINEDOWN:
        if (pos < maximum) {
            setQuietly(pos + sizeOf(first));
            if (GetScrollPosition(bar) != pos)
                shiftContents(first);
        }
        break;
    case SB_LINEUP:
        if (pos >= 1 && first > firstScrolled) {
            setQuietly(std::max(pos - sizeOf(first - 1), 0));
            if (GetScrollPosition(bar) != pos)
                shiftContents(first);
        }
        break;
    case SB_PAGEDOWN:
        if (pos < maximum) {
            setQuietly(std::min(maximum, pos + client - fixed));
            viewport()->update(scrolled);
        }
        break;
    case SB_PAGEUP:
        if (pos >= 1) {
            setQuietly(std::max(0, pos - (client - fixed)));
            viewport()->update(scrolled);
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        setQuietly(GetScrollPosition(bar, true));
        if (GetTopLeftScrollCell() != tl)
            viewport()->update(scrolled);
        break;
    case SB_TOP:
        if (pos >= 1) {
            setQuietly(0);
            viewport()->update();
        }
        break;
    case SB_BOTTOM:
        if (pos < maximum) {
            setQuietly(maximum);
            viewport()->update();
        }
        break;
    default: break;
    }
}

void CGridCtrl::EnsureVisible(int row, int col)
{
    if (!IsValidCell(row, col))
        return;
    const CGridCellRange v = GetVisibleCellRange();
    // Each step scrolls one whole row or column; a step that moves nothing ends its run.
    const auto repeat = [&](int bar, int code, int times) {
        for (int i = 0; i < times; ++i) {
            const int before = GetScrollPosition(bar);
            OnScroll(bar, code);
            if (GetScrollPosition(bar) == before)
                break;
        }
    };
    repeat(SB_HORZ, SB_LINERIGHT, col - v.maxCol);
    repeat(SB_HORZ, SB_LINELEFT, v.minCol - col);
    repeat(SB_VERT, SB_LINEDOWN, row - v.maxRow);
    repeat(SB_VERT, SB_LINEUP, v.minRow - row);
    CRect rc;
    if (GetCellRect(row, col, &rc)) {
        if (rc.right > viewport()->width())
            OnScroll(SB_HORZ, SB_LINERIGHT);
        if (rc.bottom > viewport()->height())
            OnScroll(SB_VERT, SB_LINEDOWN);
    }
}

void CGridCtrl::wheelEvent(QWheelEvent *e)
{
    e->accept();
    // Deltas add up, so fine wheels and touchpads scroll as far as whole notches do.
    const int delta = std::clamp(e->angleDelta().y(), -120 * 100, 120 * 100);
    int n;
    int code;
    if (m_nWheelLines < 0) {
        n = m_wheel.Add(delta);
        code = n > 0 ? SB_PAGEUP : SB_PAGEDOWN;
    } else {
        n = m_wheel.Add(delta * std::min(m_nWheelLines, 100));
        code = n >= 1 ? SB_LINEUP : SB_LINEDOWN;
    }
    // Posted, so the scrolling happens after the wheel event is done.
    for (int i = 0, count = std::min(std::abs(n), 1000); i < count; ++i)
        QMetaObject::invokeMethod(this, [this, code] { OnVScroll(code); }, Qt::QueuedConnection);
}

void CGridCtrl::resizeEvent(QResizeEvent *e)
{
    if (g_bInGridSize)
        return;
    g_bInGridSize = true;
    QAbstractScrollArea::resizeEvent(e);
    // A resize ends an edit in progress.
    if (QWidget *f = QApplication::focusWidget(); f && f != this && isAncestorOf(f))
        setFocus(Qt::OtherFocusReason);
    UpdateScrollBars();
    g_bInGridSize = false;
}

// ---- sizes --------------------------------------------------------------------------------------------

CSize CGridCtrl::GetCellExtent(int row, int col) const
{
    const CGridCellData *cell = GetCell(row, col);
    if (!cell)
        return {0, 0};
    QFont f = cell->font;
    if (IsCellFixed(row, col))
        f.setWeight(FontWeightFromWin(600));
    const QSize s = QFontMetrics(f).size(Qt::TextSingleLine, GetItemText(row, col));
    return {s.width() + 4 * m_nMargin, s.height() + 2 * m_nMargin};
}

bool CGridCtrl::AutoSizeColumn(int col)
{
    if (col < 0 || col >= m_nCols)
        return false;
    int width = 0;
    for (int r = 0; r < m_nRows; ++r)
        width = std::max(width, GetCellExtent(r, col).cx);
    SetColumnWidth(col, width);
    UpdateScrollBars();
    return true;
}

bool CGridCtrl::AutoSizeRow(int row)
{
    if (row < 0 || row >= m_nRows)
        return false;
    int height = 0;
    for (int c = 0; c < m_nCols; ++c)
        height = std::max(height, GetCellExtent(row, c).cy);
    SetRowHeight(row, height);
    UpdateScrollBars();
    return true;
}

void CGridCtrl::AutoSizeColumns()
{
    for (int c = 0; c < m_nCols; ++c)
        AutoSizeColumn(c);
}

void CGridCtrl::AutoSizeRows()
{
    for (int r = 0; r < m_nRows; ++r)
        AutoSizeRow(r);
}

void CGridCtrl::AutoSize()
{
    std::fill(m_colWidths.begin(), m_colWidths.end(), 0);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), 0);
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c) {
            const CSize s = GetCellExtent(r, c);
            m_colWidths[static_cast<std::size_t>(c)] = std::max(m_colWidths[static_cast<std::size_t>(c)], s.cx);
            m_rowHeights[static_cast<std::size_t>(r)] = std::max(m_rowHeights[static_cast<std::size_t>(r)], s.cy);
        }
    if (m_bAllowDraw) {
        UpdateScrollBars();
        viewport()->update();
    }
}

namespace {
// Spreads the difference over the sizes so that they add up to the target (none below 0).
void Stretch(std::vector<int> &sizes, int target)
{
    const int n = static_cast<int>(sizes.size());
    if (n == 0)
        return;
    long long total = 0;
    for (int s : sizes)
        total += s;
    const long long d = target - total;
    const long long each = d / n;
    const int extra = static_cast<int>((d <= 0 ? -d : d) % n);
    for (int i = 0; i < n; ++i) {
        long long s = sizes[static_cast<std::size_t>(i)] + each;
        if (i < extra)
            s += d <= 0 ? -1 : 1;
        sizes[static_cast<std::size_t>(i)] = static_cast<int>(std::clamp<long long>(s, 0, 0x3FFFFFFF));
    }
}
}  // namespace

void CGridCtrl::StretchColumns()
{
    if (m_nCols == 0)
        return;
    Stretch(m_colWidths, viewport()->width());
    if (m_bAllowDraw)
        viewport()->update();
}

void CGridCtrl::StretchRows()
{
    if (m_nRows == 0)
        return;
    Stretch(m_rowHeights, viewport()->height());
    if (m_bAllowDraw)
        viewport()->update();
}

void CGridCtrl::StretchToFit()
{
    StretchColumns();
    StretchRows();
    StretchColumns();
}

// ---- notifications -----------------------------------------------------------------------------------

LRESULT CGridCtrl::NotifyOwner(int row, int col, int code)
{
    QWidget *owner = parentWidget();
    if (!owner || m_bDestroying)
        return 0;
    GRID_CELL_NOTIFY nm;
    nm.hdr = {this, GetCtrlId(this), code};
    nm.row = row;
    nm.col = col;
    return SendMessageTo(owner, WM_NOTIFY, WPARAM(nm.hdr.idFrom), reinterpret_cast<LPARAM>(&nm));
}

// ---- mouse -----------------------------------------------------------------------------------------------

void CGridCtrl::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const unsigned flags = MouseKeyFlags(e->buttons(), e->modifiers());
    if (e->button() == Qt::LeftButton)
        OnLButtonDown(flags, {p.x(), p.y()});
    else if (e->button() == Qt::RightButton)
        OnRButtonDown(flags, {p.x(), p.y()}, e->globalPosition().toPoint());
    e->accept();
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        OnLButtonUp({p.x(), p.y()});
    e->accept();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        OnLButtonDblClk({p.x(), p.y()});
    e->accept();
}

void CGridCtrl::mouseMoveEvent(QMouseEvent *e)
{
    // Moving the mouse selects, resizes and drags nothing.
    e->accept();
}

void CGridCtrl::SetMouseCursor()
{
    switch (m_nMouseMode) {
    case GRID_MOUSE_OVER_ROW_DIVIDER:
    case GRID_MOUSE_SIZING_ROW: viewport()->setCursor(Qt::SizeVerCursor); break;
    case GRID_MOUSE_OVER_COLUMN_DIVIDER:
    case GRID_MOUSE_SIZING_COLUMN: viewport()->setCursor(Qt::SizeHorCursor); break;
    case GRID_MOUSE_DRAGGING: break;
    default: viewport()->unsetCursor(); break;
    }
}

void CGridCtrl::OnLButtonDown(unsigned flags, CPoint pt)
{
    const bool hadFocus = hasFocus();
    m_nMouseMode = GRID_MOUSE_SELECT_ROWS;
    m_ptLeftDown = pt;
    m_leftClickDownCell = CellFromPoint(pt, true);
    if (m_leftClickDownCell.row == 0)
        return;
    if (m_leftClickDownCell.col == 0)
        m_leftClickDownCell.col = 1;  // the number column acts on the name beside it
    if (!IsValidCell(m_leftClickDownCell))
        return;
    const CGridCellPos cell = m_leftClickDownCell;

    m_selectionStart = (flags & MK_SHIFT) ? m_focus : cell;
    setFocus(Qt::MouseFocusReason);
    SetFocusCell(-1, -1);
    SetFocusCell(cell);
    SetItemState(cell.row, cell.col, GRID_STATE_SELECTED);
    viewport()->update();

    if (m_bEnableDragAndDrop && hadFocus && (GetItemState(cell.row, cell.col) & GRID_STATE_SELECTED)) {
        m_nMouseMode = GRID_MOUSE_PREPARE_DRAG;
        return;
    }
    m_bCaptured = true;

    if (m_nMouseMode == GRID_MOUSE_NONE) {
        if (m_bAllowColumnResize && IsOverColumnDivider(pt))
            m_nMouseMode = GRID_MOUSE_OVER_COLUMN_DIVIDER;
        else if (m_bAllowRowResize && IsOverRowDivider(pt))
            m_nMouseMode = GRID_MOUSE_OVER_ROW_DIVIDER;
        SetMouseCursor();
    }

    if (m_nMouseMode == GRID_MOUSE_OVER_COLUMN_DIVIDER) {
        m_nMouseMode = GRID_MOUSE_SIZING_COLUMN;
        CPoint origin;
        if (!GetCellOrigin(0, cell.col, &origin))
            return;
        if (pt.x - origin.x <= m_nResizeCaptureRange)
            --m_leftClickDownCell.col;  // the divider belongs to the column on the left
        m_ptLastMouse = pt;
        SetMouseCursor();
    } else if (m_nMouseMode == GRID_MOUSE_OVER_ROW_DIVIDER) {
        m_nMouseMode = GRID_MOUSE_SIZING_ROW;
        CPoint origin;
        if (!GetCellOrigin(cell.row, 0, &origin))
            return;
        if (pt.y - origin.y <= m_nResizeCaptureRange)
            --m_leftClickDownCell.row;
        m_ptLastMouse = pt;
        SetMouseCursor();
    } else {
        m_prevSelected.clear();
        if (flags & MK_CONTROL)
            m_prevSelected = m_selected;
        if (cell.row < m_nFixedRows) {
            OnHeaderRowClick(cell);
            return;
        }
        if (cell.col < m_nFixedCols)
            return;
        m_nMouseMode = m_bListMode ? GRID_MOUSE_SELECT_ROWS : GRID_MOUSE_SELECT_CELLS;
        ExtendSelection(cell);
    }
}

void CGridCtrl::OnLButtonUp(CPoint pt)
{
    if (m_bCaptured) {
        m_bCaptured = false;
        if (m_nAutoScrollTimer) {
            killTimer(m_nAutoScrollTimer);
            m_nAutoScrollTimer = 0;
        }
    }
    switch (m_nMouseMode) {
    case GRID_MOUSE_PREPARE_EDIT: BeginCellEdit(m_focus.row, m_focus.col, VK_LBUTTON); break;
    case GRID_MOUSE_PREPARE_DRAG: ClearSelection(); break;
    case GRID_MOUSE_SIZING_COLUMN:
    case GRID_MOUSE_SIZING_ROW:
        if (!(pt == m_ptLeftDown)) {
            CPoint origin;
            if (GetCellOrigin(m_leftClickDownCell, &origin)) {
                if (m_nMouseMode == GRID_MOUSE_SIZING_COLUMN)
                    SetColumnWidth(m_leftClickDownCell.col, pt.x - origin.x);
                else
                    SetRowHeight(m_leftClickDownCell.row, pt.y - origin.y);
                UpdateScrollBars();
                viewport()->update();
            }
        }
        break;
    default: break;
    }
    m_nMouseMode = GRID_MOUSE_NONE;
    SetMouseCursor();
    if (IsValidCell(m_leftClickDownCell))
        if (QWidget *owner = parentWidget())
            PostMessageTo(owner, WM_COMMAND, MAKEWPARAM(unsigned(GetCtrlId(this)), 0), CtrlHandle(this));
}

void CGridCtrl::OnLButtonDblClk(CPoint pt)
{
    const CGridCellPos cell = CellFromPoint(pt, true);
    if (!IsValidCell(cell) || m_nMouseMode != GRID_MOUSE_NONE)
        return;
    if (m_bEditable) {
        const CGridCellPos down = m_leftClickDownCell;
        if (!IsValidCell(down) || down.row < m_nFixedRows || down.col < m_nFixedCols)
            return;
        setFocus(Qt::MouseFocusReason);
        m_bCaptured = true;
        SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
        m_nMouseMode = GRID_MOUSE_PREPARE_EDIT;
        return;
    }
    if (cell.row >= m_nFixedRows && cell.col <= m_nFixedCols) {
        BeginCellEdit(cell.row, cell.col, VK_LBUTTON);
        m_focus = m_leftClickDownCell;
        NotifyOwner(cell.row, cell.col, NM_DBLCLK);
    }
}

void CGridCtrl::OnRButtonDown(unsigned flags, CPoint pt, const QPoint &globalPos)
{
    m_nMouseMode = GRID_MOUSE_SELECT_ROWS;
    m_ptLeftDown = pt;
    m_leftClickDownCell = CellFromPoint(pt, true);
    const CGridCellPos cell = m_leftClickDownCell;
    if (cell.row == 0 || !IsValidCell(cell)) {
        m_nMouseMode = GRID_MOUSE_NONE;
        return;
    }
    m_selectionStart = (flags & MK_SHIFT) ? m_focus : cell;
    setFocus(Qt::MouseFocusReason);
    if (!(cell == m_focus)) {
        SetFocusCell(-1, -1);
        ExtendSelection(cell);
    }
    m_rightClicked = cell;
    const QList<QAction *> actions = m_pMenu->actions();
    for (QAction *a : actions)
        if (a->data().toInt() == ID_GRID_PRESET_DELETE)
            a->setText(MenuDeleteText(g_bChinese.load() != 0));
    const int cmd = TrackContextMenu(globalPos);
    m_nMouseMode = GRID_MOUSE_NONE;
    if (cmd != 0)
        if (QWidget *owner = parentWidget())
            PostMessageTo(owner, WM_COMMAND, WPARAM(unsigned(cmd)), 0);
}

int CGridCtrl::TrackContextMenu(const QPoint &globalPos)
{
    const QAction *chosen = m_pMenu->exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

bool CGridCtrl::IsOverRowDivider(CPoint pt) const
{
    if (pt.x >= GetFixedColumnWidth())
        return false;
    const CGridCellPos cell = CellFromPoint(pt, true);
    CPoint origin;
    if (!GetCellOrigin(cell, &origin))
        return false;
    return (pt.y - origin.y <= m_nResizeCaptureRange && cell.row != 0) ||
           origin.y + GetRowHeight(cell.row) - pt.y <= m_nResizeCaptureRange;
}

bool CGridCtrl::IsOverColumnDivider(CPoint pt) const
{
    if (pt.y >= GetFixedRowHeight())
        return false;
    const CGridCellPos cell = CellFromPoint(pt, true);
    CPoint origin;
    if (!GetCellOrigin(cell, &origin))
        return false;
    return (pt.x - origin.x <= m_nResizeCaptureRange && cell.col != 0) ||
           origin.x + GetColumnWidth(cell.col) - pt.x <= m_nResizeCaptureRange;
}

void CGridCtrl::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_nAutoScrollTimer && m_nAutoScrollTimer != 0)
        OnAutoScroll();
    else
        QAbstractScrollArea::timerEvent(e);
}

void CGridCtrl::OnAutoScroll()
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    const int right = viewport()->width(), bottom = viewport()->height();
    const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
    const int x = std::clamp(p.x(), 0, std::max(0, right - 1));
    const int y = std::clamp(p.y(), 0, std::max(0, bottom - 1));
    if (p.y() > bottom) {
        OnKeyDown(VK_DOWN, false, false);
        ExtendSelection(CellFromPoint({x, bottom}));
    } else if (p.y() < fixedH) {
        OnKeyDown(VK_UP, false, false);
        ExtendSelection(CellFromPoint({x, fixedH + 1}));
    }
    if (p.x() > right) {
        OnKeyDown(VK_RIGHT, false, false);
        ExtendSelection(CellFromPoint({right, y}));
    } else if (p.x() < fixedW) {
        OnKeyDown(VK_LEFT, false, false);
        ExtendSelection(CellFromPoint({fixedW + 1, y}));
    }
}

// ---- header clicks ----------------------------------------------------------------------------------------

void CGridCtrl::OnHeaderRowClick(CGridCellPos cell)
{
    if (!IsValidCell(cell))
        return;
    if (m_bListMode) {
        if (m_bSortOnClick) {
            if (cell.col == m_nSortColumn) {
                m_bAscending = !m_bAscending;
            } else {
                m_bAscending = true;
                m_nSortColumn = cell.col;
            }
            QApplication::setOverrideCursor(Qt::WaitCursor);
            SortByText(m_nSortColumn, m_bAscending);
            QApplication::restoreOverrideCursor();
            viewport()->update();
        }
        return;
    }
    m_nMouseMode = cell.col < m_nFixedCols ? GRID_MOUSE_SELECT_ALL : GRID_MOUSE_SELECT_COLUMNS;
    ExtendSelection(cell);
}

void CGridCtrl::OnHeaderColumnClick(CGridCellPos cell)
{
    if (!IsValidCell(cell))
        return;
    m_nMouseMode = cell.row < m_nFixedRows ? GRID_MOUSE_SELECT_ALL : GRID_MOUSE_SELECT_ROWS;
    ExtendSelection(cell);
}

// ---- keyboard ------------------------------------------------------------------------------------------------

bool CGridCtrl::focusNextPrevChild(bool next)
{
    // The grid takes Tab itself while it handles it.
    if (m_bHandleTabKey)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CGridCtrl::keyPressEvent(QKeyEvent *e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    bool shift = e->modifiers() & Qt::ShiftModifier;
    if (e->key() == Qt::Key_Backtab)
        shift = true;
    const int vk = VirtualKeyFromQt(e->key());
    if (vk)
        OnKeyDown(vk, ctrl, shift);
    // The character the key types, as the system would deliver it after the key itself.
    const QString t = e->text();
    if (!t.isEmpty() && !ctrl && e->key() != Qt::Key_Delete && t.at(0).unicode() != 0x7F)
        OnChar(t.at(0).unicode(), ctrl);
    e->accept();
}

void CGridCtrl::OnKeyDown(int vk, bool ctrl, bool shift)
{
    if (!IsValidCell(m_focus))
        return;
    CGridCellPos next = m_focus;
    bool wrapped = false;
    const int lastRow = m_nRows - 1, lastCol = m_nCols - 1;

    if (ctrl) {
        switch (vk) {
        case 'A': OnEditSelectAll(); break;
        case 'C': OnEditCopy(); break;
        case 'V': OnEditPaste(); break;
        case 'X': OnEditCut(); break;
        default: break;
        }
    }

    switch (vk) {
    case VK_DELETE: {
        const CGridCellPos cell = m_focus;
        if (GetItemState(cell.row, cell.col) & GRID_STATE_READONLY)
            break;
        const QString oldText = GetItemText(cell.row, cell.col);
        const QString oldAlt = GetItemAltText(cell.row, cell.col);
        const unsigned oldModifiedBit = GetItemState(cell.row, cell.col) & GRID_STATE_MODIFIED;
        const bool oldModified = m_bModified;
        SetItemText(cell.row, cell.col, QString());
        SetModified(true, cell.row, cell.col);
        // An owner that refuses the deletion (a non-zero answer) gets the cell back as it was.
        if (NotifyOwner(cell.row, cell.col, LVN_DELETEITEM) != 0 && GetCell(cell.row, cell.col)) {
            SetItemText(cell.row, cell.col, oldText);
            SetItemAltText(cell.row, cell.col, oldAlt);
            SetItemState(cell.row, cell.col,
                         (GetItemState(cell.row, cell.col) & ~GRID_STATE_MODIFIED) | oldModifiedBit);
            m_bModified = oldModified;
        }
        RedrawCell(cell.row, cell.col);
        break;
    }
    case VK_TAB:
        if (shift) {
            if (next.col > m_nFixedCols) {
                --next.col;
            } else if (next.col == m_nFixedCols && next.row > m_nFixedRows) {
                --next.row;
                next.col = lastCol;
                wrapped = true;
            }
        } else {
            if (next.col < lastCol) {
                ++next.col;
            } else {
                next.row = next.row < lastRow ? next.row + 1 : 1;
                next.col = m_nFixedCols;
                wrapped = true;
            }
        }
        break;
    case VK_DOWN: next.row = next.row < lastRow ? next.row + 1 : 1; break;
    case VK_UP: next.row = next.row > m_nFixedRows ? next.row - 1 : lastRow; break;
    case VK_RIGHT:
        if (next.col < lastCol)
            ++next.col;
        break;
    case VK_LEFT:
        if (next.col > m_nFixedCols)
            --next.col;
        break;
    case VK_NEXT: {
        const CGridCellPos before = GetTopLeftScrollCell();
        OnVScroll(SB_PAGEDOWN);
        const int d = GetTopLeftScrollCell().row - before.row;
        next.row = d != 0 ? std::min(next.row + d, lastRow) : lastRow;
        break;
    }
    case VK_PRIOR: {
        const CGridCellPos before = GetTopLeftScrollCell();
        OnVScroll(SB_PAGEUP);
        const int d = GetTopLeftScrollCell().row - before.row;
        next.row = d != 0 ? std::max(next.row + d, m_nFixedRows) : m_nFixedRows;
        break;
    }
    case VK_HOME:
        OnVScroll(SB_TOP);
        next.row = m_nFixedRows;
        break;
    case VK_END:
        OnVScroll(SB_BOTTOM);
        next.row = lastRow;
        break;
    default: return;
    }

    if (next == m_focus)
        return;
    if (m_nMouseMode == GRID_MOUSE_NONE) {
        m_prevSelected.clear();
        m_nMouseMode = m_bListMode ? GRID_MOUSE_SELECT_ROWS : GRID_MOUSE_SELECT_CELLS;
        m_selectionStart = next;
        SetFocusCell(-1, -1);
        m_focus = next;
        ExtendSelection(next);
        m_nMouseMode = GRID_MOUSE_NONE;
    }
    if (IsCellVisible(next))
        return;
    EnsureVisible(next);
    switch (vk) {
    case VK_TAB:
        if (shift && wrapped) {
            OnVScroll(SB_LINEUP);
            SetScrollPosition(SB_HORZ, m_nHScrollMax);
        } else if (shift) {
            OnHScroll(SB_LINELEFT);
        } else if (wrapped) {
            OnVScroll(SB_LINEDOWN);
            SetScrollPosition(SB_HORZ, 0);
        } else {
            OnHScroll(SB_LINERIGHT);
        }
        break;
    case VK_LEFT: OnHScroll(SB_LINELEFT); break;
    case VK_UP: OnVScroll(SB_LINEUP); break;
    case VK_RIGHT: OnHScroll(SB_LINERIGHT); break;
    case VK_DOWN: OnVScroll(SB_LINEDOWN); break;
    default: break;
    }
    viewport()->update();
}

void CGridCtrl::OnChar(unsigned ch, bool ctrl)
{
    if (!ctrl && m_nMouseMode == GRID_MOUSE_NONE && !(ch == unsigned(VK_TAB) && m_bHandleTabKey))
        BeginCellEdit(m_focus.row, m_focus.col, ch);
}

// ---- editing as the grid drives it ---------------------------------------------------------------------------

void CGridCtrl::BeginCellEdit(int row, int col, unsigned ch)
{
    EnsureVisible(row, col);
    CRect rc;
    if (!IsValidCell(row, col) || !IsCellEditable(row, col) || !IsCellVisible(row, col) || !GetCellRect(row, col, &rc))
        return;
    NotifyOwner(row, col, LVN_BEGINLABELEDIT);
    const unsigned format = GetItemFormat(row, col);
    const unsigned style = (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : 0;
    CreateInPlaceEditControl(rc, style, IDC_GRID_INPLACE, row, col, GetItemText(row, col), ch);
}

QWidget *CGridCtrl::CreateInPlaceEditControl(const CRect &rect, unsigned style, int id, int row, int col,
                                             const QString &text, unsigned ch)
{
    return new CInPlaceEdit(this, viewport(), rect, style, id, row, col, text, ch);
}

void CGridCtrl::EndCellEdit(int row, int col, const QString &text)
{
    if (text != GetItemText(row, col)) {
        SetModified(true, row, col);
        SetItemText(row, col, text);
    }
}

LRESULT CGridCtrl::OnEndEditNotify(const GRID_NOTIFY &nm)
{
    const int row = nm.item.row, col = nm.item.col;
    EndCellEdit(row, col, nm.item.text);
    InvalidateCell({row, col});
    NotifyOwner(row, col, LVN_ENDLABELEDIT);
    const LPARAM key = nm.item.param;
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) {
        const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
        OnKeyDown(int(key), false, shift);
        BeginCellEdit(m_focus.row, m_focus.col, unsigned(key));
    }
    return 0;
}

// ---- list columns ------------------------------------------------------------------------------------------------

CComboGridCtrl::CComboGridCtrl(QWidget *parent) : CGridCtrl(0, 0, 0, 0, parent) {}

CComboGridCtrl::~CComboGridCtrl() { m_lists.clear(); }

QWidget *CComboGridCtrl::CreateInPlaceEditControl(const CRect &rect, unsigned style, int id, int row, int col,
                                                  const QString &text, unsigned ch)
{
    if (const QStringList *list = ColumnList(col))
        return new CInPlaceList(this, viewport(), rect, m_nListStyle, id, row, col, *list, text, ch);
    return CGridCtrl::CreateInPlaceEditControl(rect, style, id, row, col, text, ch);
}

bool CComboGridCtrl::SetColumnList(int col, const QStringList &list)
{
    if (col < m_nFixedCols)
        return false;
    m_lists.push_back({col, list});
    return true;
}

int CComboGridCtrl::FindColumnList(int col) const
{
    for (std::size_t i = 0; i < m_lists.size(); ++i)
        if (m_lists[i].col == col)
            return static_cast<int>(i);
    return -1;
}

const QStringList *CComboGridCtrl::ColumnList(int col) const
{
    const int i = FindColumnList(col);
    return i < 0 ? nullptr : &m_lists[static_cast<std::size_t>(i)].texts;
}

bool CComboGridCtrl::SetItemFromList(int row, int col, int index)
{
    const QStringList *list = ColumnList(col);
    if (!list || index < 0 || index >= list->size())
        return false;
    return CGridCtrl::SetItemText(row, col, list->at(index));
}

bool CComboGridCtrl::InList(int row, int col, const QString &text) const
{
    const QStringList *list = ColumnList(col);
    return !list || row < m_nFixedRows || list->contains(text, Qt::CaseSensitive);
}

bool CComboGridCtrl::SetItemText(int row, int col, const QString &text)
{
    if (!InList(row, col, text))
        return false;
    return CGridCtrl::SetItemText(row, col, text);
}

bool CComboGridCtrl::SetItem(const GRID_ITEM *item)
{
    if (!item || !GetCell(item->row, item->col))
        return false;
    if ((item->mask & GRID_MASK_TEXT) && !InList(item->row, item->col, item->text))
        return false;
    return CGridCtrl::SetItem(item);
}
