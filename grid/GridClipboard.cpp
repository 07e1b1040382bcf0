// The grid's clipboard commands and its drag and drop: cell text travels as plain text, a line
// per row and a tab between columns (CGridModel::SelectionText), through the application's
// clipboard or a drag.

#include "grid/GridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

// ---- clipboard ---------------------------------------------------------------------------------------

QMimeData *CGridCtrl::CopySelectionToData()
{
    const std::optional<QString> text = SelectionText();
    if (!text)
        return nullptr;
    auto *data = new QMimeData;
    data->setText(*text);
    return data;
}

bool CGridCtrl::PasteData(CGridCellPos start, const QMimeData *data)
{
    if (!IsValidCell(start) || !IsCellEditable(start) || !data || !data->hasText())
        return false;
    return PasteText(start, data->text());
}

void CGridCtrl::OnEditCopy()
{
    if (QMimeData *data = CopySelectionToData())
        QGuiApplication::clipboard()->setMimeData(data);
}

void CGridCtrl::OnEditCut()
{
    if (!m_bEditable)
        return;
    QMimeData *data = CopySelectionToData();
    if (!data)
        return;
    QGuiApplication::clipboard()->setMimeData(data);
    ClearSelectedCells();
}

void CGridCtrl::OnEditPaste()
{
    if (!m_bEditable)
        return;
    CGridCellPos start = m_focus;
    if (!IsValidCell(start))
        start = GetTopLeftScrollCell();
    if (!IsValidCell(start))
        return;
    if (const QMimeData *data = QGuiApplication::clipboard()->mimeData())
        PasteData(start, data);
}

void CGridCtrl::OnEditSelectAll() { SelectAll(); }

bool CGridCtrl::IsEditCommandEnabled(int id) const
{
    const CGridCellRange sel = GetSelectedRange();
    const bool anySelected = IsValidRange(sel) && sel.Count() > 0;
    switch (id) {
    case ID_EDIT_COPY: return anySelected;
    case ID_EDIT_CUT: return m_bEditable && anySelected;
    case ID_EDIT_PASTE: {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        return IsValidCell(m_focus) && IsCellEditable(m_focus) && data && data->hasText();
    }
    case ID_EDIT_SELECT_ALL: return m_bEnableSelection;
    default: return false;
    }
}

bool CGridCtrl::OnEditCommand(int id)
{
    if (!IsEditCommandEnabled(id))
        return false;
    switch (id) {
    case ID_EDIT_COPY: OnEditCopy(); break;
    case ID_EDIT_CUT: OnEditCut(); break;
    case ID_EDIT_PASTE: OnEditPaste(); break;
    case ID_EDIT_SELECT_ALL: OnEditSelectAll(); break;
    default: return false;
    }
    return true;
}

// ---- the grid as drop target ----------------------------------------------------------------------------

namespace {
// Copy with Ctrl held, a move otherwise.
Qt::DropAction ActionOfKeys(Qt::KeyboardModifiers keys)
{
    return (keys & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}
}  // namespace

void CGridCtrl::MarkDropTarget(CGridCellPos cell, bool mark)
{
    if (!IsValidCell(cell))
        return;
    const unsigned st = GetItemState(cell.row, cell.col);
    SetItemState(cell.row, cell.col, mark ? st | GRID_STATE_DROPTARGET : st & ~GRID_STATE_DROPTARGET);
    RedrawCell(cell);
}

Qt::DropAction CGridCtrl::OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers keys, CPoint pt)
{
    if (!m_bEnableDragAndDrop || !data || !data->hasText())
        return Qt::IgnoreAction;
    m_lastDragOverCell = CellFromPoint(pt, false);
    if (!IsValidCell(m_lastDragOverCell) || !IsCellEditable(m_lastDragOverCell))
        return Qt::IgnoreAction;
    MarkDropTarget(m_lastDragOverCell, true);
    return ActionOfKeys(keys);
}

Qt::DropAction CGridCtrl::OnDragOver(const QMimeData *data, Qt::KeyboardModifiers keys, CPoint pt)
{
    if (!m_bEnableDragAndDrop || !m_bEditable || !data || !data->hasText())
        return Qt::IgnoreAction;
    const CGridCellPos cell = CellFromPoint(pt, false);
    if (!IsValidCell(cell)) {
        OnDragLeave();
        m_lastDragOverCell = CGridCellPos();
        return Qt::IgnoreAction;
    }
    if (!IsCellEditable(cell))
        return Qt::IgnoreAction;
    if (!(cell == m_lastDragOverCell)) {
        MarkDropTarget(m_lastDragOverCell, false);
        MarkDropTarget(cell, true);
        m_lastDragOverCell = cell;
    }
    return ActionOfKeys(keys);
}

void CGridCtrl::OnDragLeave() { MarkDropTarget(m_lastDragOverCell, false); }

bool CGridCtrl::OnDrop(const QMimeData *data, Qt::DropAction, CPoint)
{
    if (!m_bEnableDragAndDrop || !IsValidCell(m_lastDragOverCell) || !IsCellEditable(m_lastDragOverCell))
        return false;
    m_nMouseMode = GRID_MOUSE_NONE;
    OnDragLeave();
    return PasteData(m_lastDragOverCell, data);
}

namespace {
// The action to answer a drag with: ours when the source allows it, else a copy where allowed.
Qt::DropAction Offer(Qt::DropAction wanted, Qt::DropActions possible)
{
    if (wanted == Qt::IgnoreAction || (possible & wanted))
        return wanted;
    return (possible & Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction;
}
}  // namespace

void CGridCtrl::dragEnterEvent(QDragEnterEvent *e)
{
    if (!m_bEnableDragAndDrop || !e->mimeData() || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    const QPoint p = e->position().toPoint();
    const Qt::DropAction a = Offer(OnDragEnter(e->mimeData(), e->modifiers(), {p.x(), p.y()}), e->possibleActions());
    // Taken even over a cell that refuses, so that the moves over the other cells still arrive.
    e->setDropAction(a);
    e->accept();
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent *e)
{
    const QPoint p = e->position().toPoint();
    const Qt::DropAction a = Offer(OnDragOver(e->mimeData(), e->modifiers(), {p.x(), p.y()}), e->possibleActions());
    if (a == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    e->setDropAction(a);
    e->accept();
}

void CGridCtrl::dragLeaveEvent(QDragLeaveEvent *e)
{
    OnDragLeave();
    e->accept();
}

void CGridCtrl::dropEvent(QDropEvent *e)
{
    const QPoint p = e->position().toPoint();
    // The last move decided the target; a drop that arrives without one goes where it lands.
    if (!IsValidCell(m_lastDragOverCell) &&
        OnDragOver(e->mimeData(), e->modifiers(), {p.x(), p.y()}) == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    const Qt::DropAction a = Offer(ActionOfKeys(e->modifiers()), e->possibleActions());
    if (a != Qt::IgnoreAction && OnDrop(e->mimeData(), a, {p.x(), p.y()})) {
        e->setDropAction(a);
        e->accept();
    } else {
        e->ignore();
    }
}

// ---- the grid as drag source ------------------------------------------------------------------------------

void CGridCtrl::BeginDragSource()
{
    if (!m_bEnableDragAndDrop)
        return;
    QMimeData *data = CopySelectionToData();
    if (!data)
        return;
    const CGridCellRange sel = GetSelectedRange();
    NotifyOwner(sel.minRow, sel.minCol, LVN_BEGINDRAG);
    m_nMouseMode = GRID_MOUSE_DRAGGING;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    QPoint hot;
    if (const QPixmap image = CreateDragImage(&hot); !image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(hot);
    }
    const Qt::DropAction result = ExecDrag(drag);
    drag->deleteLater();
    if (m_nMouseMode == GRID_MOUSE_DRAGGING)
        m_nMouseMode = GRID_MOUSE_NONE;
    if (result == Qt::MoveAction)
        ClearSelectedCells();
}

Qt::DropAction CGridCtrl::ExecDrag(QDrag *drag) { return drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction); }

QPixmap CGridCtrl::CreateDragImage(QPoint *hotSpot)
{
    CRect rc;
    if (!GetCellRect(m_focus, &rc))
        return {};
    const int w = rc.Width() + 1, h = rc.Height() + 1;  // the rectangle ends on the cell's last pixel
    if (w <= 0 || h <= 0)
        return {};
    if (hotSpot)
        *hotSpot = QPoint(w, h);
    QPixmap image(w, h);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawCell(p, m_focus.row, m_focus.col, CRect{0, 0, w - 1, h - 1}, true);
    return image;
}
