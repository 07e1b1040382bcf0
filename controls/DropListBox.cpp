#include "controls/DropListBox.h"

#include "platform/qt/QtGlobals.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

class DropItemDelegate : public QStyledItemDelegate {
public:
    explicit DropItemDelegate(CDropListBox *list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(10, m_list->GetItemHeight());
    }

    void paint(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const override
    {
        const int row = index.row();
        const DropListItem *rec = m_list->Record(row);
        if (!rec)
            return;
        const bool selected = (opt.state & (QStyle::State_Selected | QStyle::State_HasFocus)) && !rec->separator;
        const QRect r = opt.rect;
        p->save();
        p->fillRect(r, ToQColor(selected ? m_list->SelectionColour() : m_list->BackColour()));
        const QString text = index.data().toString();
        QRect textArea = r.adjusted(4, 0, -5, 0);
        if (rec->separator) {
            p->setFont(m_list->BoldFont());
            p->setPen(ToQColor(rec->textColour));
            const QRect measured = p->fontMetrics().boundingRect(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            p->drawText(measured, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            const int y = measured.center().y();
            if (measured.right() + 2 < r.right() - 2)
                p->drawLine(measured.right() + 2, y, r.right() - 2, y);
        } else {
            p->setFont(m_list->font());
            p->setPen(ToQColor(selected ? rec->highlightColour : rec->textColour));
            const QString shown = p->fontMetrics().elidedText(text, Qt::ElideRight, textArea.width());
            p->drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, shown);
        }
        p->restore();
    }

private:
    CDropListBox *m_list;
};

}  // namespace

CDropListBox::CDropListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new DropItemDelegate(this));
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);
    ApplyColours();
}

CDropListBox::~CDropListBox() = default;

void CDropListBox::ApplyColours()
{
    m_bColoursPending = true;
    if (isVisible())
        ApplyColoursNow();
}

void CDropListBox::showEvent(QShowEvent *e)
{
    if (m_bColoursPending)
        ApplyColoursNow();
    QListWidget::showEvent(e);
}

void CDropListBox::ApplyColoursNow()
{
    m_bColoursPending = false;
    setStyleSheet(QStringLiteral(
                      "QListWidget { background: %1; border: none; }"
                      "QScrollBar:vertical { background: %1; width: 10px; margin: 0; }"
                      "QScrollBar::handle:vertical { background: %2; min-height: 14px; border-radius: 4px; margin: 1px; }"
                      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
                      .arg(ToQColor(m_clrBack).name(), ToQColor(m_clrSelection).name()));
    viewport()->update();
}

void CDropListBox::SetListFont(const QFont &font)
{
    if (m_bHasFont)
        return;
    m_bHasFont = true;
    m_font = font;
    setFont(font);
    m_fontBold = font;
    m_fontBold.setWeight(QFont::Bold);
    // The rows are drawn in the widget's font, the given one resolved against the defaults.
    m_nItemHeight = std::max(1, fontMetrics().height());
    doItemsLayout();
}

int CDropListBox::ItemHeightFor(const QFont &font)
{
    // A list resolves its font against the item views' own font when the platform gives them
    // one, otherwise against the application's.
    const QFont app = QApplication::font();
    QFont natural = app;
    for (const char *cls : {"CDropListBox", "QListWidget", "QListView", "QAbstractItemView"}) {
        const QFont f = QApplication::font(cls);
        if (!f.isCopyOf(app)) {
            natural = f;
            break;
        }
    }
    return std::max(1, QFontMetrics(font.resolve(natural)).height());
}

int CDropListBox::AddItem(const QString &text) { return InsertItem(count(), text); }

int CDropListBox::InsertItem(int index, const QString &text)
{
    if (m_records.empty())
        ++m_nGroups;
    if (m_records.size() == 1)
        SetCurSel(m_nSavedSel);
    index = std::clamp(index, 0, count());
    m_records.insert(m_records.begin() + index, DropListItem{});
    insertItem(index, text);
    return index;
}

int CDropListBox::AddGroupItem(const QString &text, int group, COLORREF textColour, COLORREF highlightColour)
{
    if (group > m_nGroups + 1)
        return -1;
    DropListItem rec{false, textColour, highlightColour};
    if (group == m_nGroups + 1) {
        ++m_nGroups;
        rec.separator = true;
    }
    m_records.push_back(rec);
    addItem(text);
    return count() - 1;
}

int CDropListBox::DeleteItem(int index)
{
    if (index < 0 || index >= count())
        return -1;
    const bool separator = m_records[size_t(index)].separator;
    int last = index + 1;
    if (separator) {
        --m_nGroups;
        while (last < count() && !m_records[size_t(last)].separator)
            ++last;
    }
    for (int i = last - 1; i >= index; --i) {
        delete takeItem(i);
        m_records.erase(m_records.begin() + i);
    }
    return count();
}

void CDropListBox::ResetContent()
{
    m_records.clear();
    m_nGroups = 0;
    m_nSavedSel = 0;
    clear();
}

void CDropListBox::SetBackColor(COLORREF c)
{
    m_clrBack = c;
    ApplyColours();
}

void CDropListBox::SetSelectionColor(COLORREF c)
{
    m_clrSelection = c;
    ApplyColours();
}

void CDropListBox::SetCurSel(int index)
{
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index);
}

QString CDropListBox::GetText(int index) const
{
    const QListWidgetItem *it = item(index);
    return it ? it->text() : QString();
}

const DropListItem *CDropListBox::Record(int index) const
{
    return index >= 0 && size_t(index) < m_records.size() ? &m_records[size_t(index)] : nullptr;
}

void CDropListBox::mouseMoveEvent(QMouseEvent *e)
{
    // The item under the mouse becomes the selection, without a notification.
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid() && idx.row() != currentRow())
        SetCurSel(idx.row());
    e->accept();
}

void CDropListBox::mousePressEvent(QMouseEvent *e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid())
        SetCurSel(idx.row());
    e->accept();
}

void CDropListBox::mouseReleaseEvent(QMouseEvent *e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    e->accept();
    if (idx.isValid() && e->button() == Qt::LeftButton) {
        const DropListItem *rec = Record(idx.row());
        if (rec && !rec->separator)
            emit picked(idx.row());
    }
}

void CDropListBox::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        const DropListItem *rec = Record(currentRow());
        if (rec && !rec->separator)
            emit picked(currentRow());
        e->accept();
        return;
    }
    QListWidget::keyPressEvent(e);
}
