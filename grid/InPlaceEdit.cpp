#include "grid/InPlaceEdit.h"

#include "controls/CtrlMessages.h"
#include "platform/qt/WindowMessages.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QStyle>
#include <QValidator>

namespace {
constexpr unsigned kVkLButton = 0x01;
constexpr int kFrameInset = 6;  // the edit box's frame and text margins, both sides

QRect EditorRect(const CRect &r) { return QRect(r.left, r.top, std::max(1, r.right - r.left), std::max(1, r.bottom - r.top)); }

bool IsPagingOrArrow(int vk)
{
    return vk == VK_PRIOR || vk == VK_NEXT || vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN;
}

// Characters that would be double-byte in the program's GBK texts cannot be typed.
bool HasWideChar(const QString &s)
{
    for (QChar ch : s)
        if (ch.unicode() >= 0x80)
            return true;
    return false;
}

// Alt+key combinations stay in the editor: no menu or window shortcut takes them from it.
bool TakeAltShortcut(QEvent *e)
{
    if (e->type() != QEvent::ShortcutOverride)
        return false;
    auto *k = static_cast<QKeyEvent *>(e);
    if (!(k->modifiers() & Qt::AltModifier))
        return false;
    k->accept();
    return true;
}

void Notify(QWidget *owner, QWidget *editor, int row, int col, const QString &text, unsigned lastKey)
{
    GRID_NOTIFY nm;
    nm.hdr = {editor, GetCtrlId(editor), LVN_ENDLABELEDIT};
    nm.item.row = row;
    nm.item.col = col;
    nm.item.mask = GRID_MASK_TEXT | GRID_MASK_PARAM;
    nm.item.text = text;
    nm.item.param = LPARAM(lastKey);
    SendMessageTo(owner, WM_NOTIFY, WPARAM(nm.hdr.idFrom), reinterpret_cast<LPARAM>(&nm));
}
}  // namespace

// Typing stops at CInPlaceEdit::kMaxTypedChars; a longer text set from the cell may still shrink.
class InPlaceLimit : public QValidator {
public:
    explicit InPlaceLimit(CInPlaceEdit *edit) : QValidator(edit), m_edit(edit) {}
    State validate(QString &input, int &) const override
    {
        return input.size() > CInPlaceEdit::kMaxTypedChars && input.size() > m_edit->m_nAcceptedLength ? Invalid
                                                                                                       : Acceptable;
    }

private:
    CInPlaceEdit *m_edit;
};

// ---- the edit editor ------------------------------------------------------------------------------

CInPlaceEdit::CInPlaceEdit(QWidget *owner, QWidget *parent, const CRect &rect, unsigned style, int id, int row,
                           int col, const QString &text, unsigned firstChar)
    : QLineEdit(parent),
      m_owner(owner),
      m_nRow(row),
      m_nCol(col),
      m_sInitText(text),
      m_bExitOnArrows(firstChar != kVkLButton),  // an edit opened by the mouse keeps the arrows for the caret
      m_rect(EditorRect(rect))
{
    SetCtrlId(this, id);
    setFrame(true);
    setAlignment((style & ES_RIGHT) ? Qt::AlignRight | Qt::AlignVCenter
                 : (style & ES_CENTER) ? Qt::AlignHCenter | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
    setGeometry(m_rect);
    if (owner)
        setFont(owner->font());
    connect(this, &QLineEdit::textChanged, this, [this](const QString &t) { m_nAcceptedLength = int(t.size()); });
    m_nAcceptedLength = int(text.size());
    setValidator(new InPlaceLimit(this));
    setText(text);
    show();
    setFocus(Qt::OtherFocusReason);

    switch (firstChar) {
    case kVkLButton:
    case unsigned(VK_RETURN): end(false); break;
    case unsigned(VK_ESCAPE):
        // Esc on the cell is the editor's own Esc: the first text stays and the edit ends.
        EndWithKey(unsigned(VK_ESCAPE));
        break;
    case unsigned(VK_BACK):
        end(false);
        backspace();
        break;
    default:
        selectAll();
        if (firstChar != unsigned(VK_TAB) && (firstChar < 32 || firstChar > 40))
            TypeChar(QString(QChar(char16_t(firstChar))));
        break;
    }
}

void CInPlaceEdit::TypeChar(const QString &ch)
{
    if (ch.isEmpty() || HasWideChar(ch))
        return;
    insert(ch);
    Widen();
}

void CInPlaceEdit::Widen()
{
    const QFontMetrics fm(font());
    const int needed = fm.horizontalAdvance(text() + QStringLiteral("  ")) + kFrameInset;
    if (needed <= m_rect.width())
        return;
    QRect r = m_rect;
    int right = r.left() + needed;
    if (QWidget *p = parentWidget())
        right = std::min(right, p->width());
    if (right - r.left() > r.width()) {
        r.setRight(right - 1);
        m_rect = r;
        setGeometry(r);
    }
}

bool CInPlaceEdit::event(QEvent *e) { return TakeAltShortcut(e) || QLineEdit::event(e); }

void CInPlaceEdit::keyPressEvent(QKeyEvent *e)
{
    const int vk = VirtualKeyFromQt(e->key());
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (IsPagingOrArrow(vk) && (m_bExitOnArrows || ctrl)) {
        e->accept();
        EndWithKey(unsigned(vk));
        return;
    }
    if (vk == VK_TAB || vk == VK_RETURN) {
        e->accept();
        EndWithKey(unsigned(vk));
        return;
    }
    if (vk == VK_ESCAPE) {
        e->accept();
        setText(m_sInitText);
        EndWithKey(unsigned(VK_ESCAPE));
        return;
    }
    if (e->modifiers() & Qt::AltModifier) {
        e->accept();  // no Alt+key reaches a menu from the editor
        return;
    }
    if (HasWideChar(e->text())) {
        e->accept();
        return;
    }
    const bool typed = !e->text().isEmpty() && e->text().at(0).isPrint() && !ctrl;
    QLineEdit::keyPressEvent(e);
    e->accept();
    if (typed)
        Widen();
}

void CInPlaceEdit::inputMethodEvent(QInputMethodEvent *e)
{
    e->accept();  // composed (double-byte) input never reaches the editor
}

void CInPlaceEdit::contextMenuEvent(QContextMenuEvent *e) { e->accept(); }

bool CInPlaceEdit::focusNextPrevChild(bool) { return false; }  // Tab ends the edit instead

void CInPlaceEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason)
        return;
    EndEdit();
}

void CInPlaceEdit::EndWithKey(unsigned vk)
{
    m_nLastChar = vk;
    if (m_owner)
        m_owner->setFocus(Qt::OtherFocusReason);
    EndEdit();
}

void CInPlaceEdit::EndEdit()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    // An edit box holds at most maxLength() characters of the cell's text: an edit that changed
    // nothing gives the cell's whole text back rather than what the box could hold of it.
    if (m_owner)
        Notify(m_owner, this, m_nRow, m_nCol, isModified() ? text() : m_sInitText, m_nLastChar);
    hide();
    deleteLater();
}

// ---- the list editor ------------------------------------------------------------------------------------

CInPlaceComboEdit::CInPlaceComboEdit(CInPlaceList *list) : QLineEdit(list), m_list(list)
{
    SetCtrlId(this, IDC_GRID_COMBOEDIT);
}

void CInPlaceComboEdit::keyPressEvent(QKeyEvent *e)
{
    if (HasWideChar(e->text()) || (e->modifiers() & Qt::AltModifier)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CInPlaceComboEdit::inputMethodEvent(QInputMethodEvent *e) { e->accept(); }

void CInPlaceComboEdit::contextMenuEvent(QContextMenuEvent *e) { e->accept(); }

void CInPlaceComboEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    if (m_list && !m_list->FocusStaysInside() && e->reason() != Qt::PopupFocusReason &&
        e->reason() != Qt::ActiveWindowFocusReason)
        m_list->EndEdit();
}

CInPlaceList::CInPlaceList(QWidget *owner, QWidget *parent, const CRect &rect, int comboStyle, int id, int row,
                           int col, const QStringList &items, const QString &text, unsigned firstChar)
    : QComboBox(parent), m_owner(owner), m_sInitText(text), m_nRow(row), m_nCol(col)
{
    SetCtrlId(this, id);
    const bool hasEdit = comboStyle != CBS_DROPDOWNLIST;
    if (hasEdit) {
        setEditable(true);
        m_edit = new CInPlaceComboEdit(this);
        setLineEdit(m_edit);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
    }
    setMaxVisibleItems(m_nNumLines);
    addItems(items);
    if (owner)
        setFont(owner->font());

    // Wide enough for the widest text, a scroll bar and two spaces.
    const QFontMetrics fm(font());
    int widest = 0;
    for (const QString &s : items)
        widest = std::max(widest, fm.horizontalAdvance(s));
    m_nDroppedWidth =
        widest + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * fm.horizontalAdvance(QLatin1Char(' '));
    QRect r = EditorRect(rect);
    if (r.width() < m_nDroppedWidth)
        r.setWidth(m_nDroppedWidth);
    setGeometry(r);
    view()->setMinimumWidth(m_nDroppedWidth);

    const int match = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (match >= 0)
        setCurrentIndex(match);
    else if (hasEdit)
        setEditText(text);
    else
        setCurrentIndex(-1);

    show();
    setFocus(Qt::OtherFocusReason);
    if (firstChar == unsigned(VK_ESCAPE)) {
        // Esc on the cell is the editor's own Esc: the first text stays and the edit ends.
        EndWithKey(unsigned(VK_ESCAPE));
        return;
    }
    if (!m_edit)
        return;
    switch (firstChar) {
    case kVkLButton:
    case unsigned(VK_RETURN):
        m_edit->deselect();
        m_edit->end(false);
        break;
    case unsigned(VK_BACK):
        m_edit->deselect();
        m_edit->end(false);
        m_edit->backspace();
        break;
    default:
        m_edit->selectAll();
        if (firstChar < 33 || firstChar > 40) {
            const QString ch = QString(QChar(char16_t(firstChar)));
            if (!HasWideChar(ch) && ch.at(0).isPrint())
                m_edit->insert(ch);
        }
        break;
    }
}

bool CInPlaceList::FocusStaysInside() const
{
    const QWidget *f = QApplication::focusWidget();
    return f && (f == this || f == m_edit || isAncestorOf(f) || (view() && view()->isAncestorOf(f)) || f == view());
}

bool CInPlaceList::focusNextPrevChild(bool) { return false; }

bool CInPlaceList::event(QEvent *e) { return TakeAltShortcut(e) || QComboBox::event(e); }

void CInPlaceList::keyPressEvent(QKeyEvent *e)
{
    const int vk = VirtualKeyFromQt(e->key());
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (IsPagingOrArrow(vk) && (m_bExitOnArrows || ctrl)) {
        e->accept();
        EndWithKey(unsigned(vk));
        return;
    }
    if (vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) {
        e->accept();
        if (vk == VK_ESCAPE) {
            if (m_edit)
                setEditText(m_sInitText);
            else
                setCurrentIndex(findText(m_sInitText, Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
        EndWithKey(unsigned(vk));
        return;
    }
    if (HasWideChar(e->text()) || (e->modifiers() & Qt::AltModifier)) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void CInPlaceList::focusOutEvent(QFocusEvent *e)
{
    QComboBox::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason || FocusStaysInside())
        return;
    EndEdit();
}

void CInPlaceList::EndWithKey(unsigned vk)
{
    m_nLastChar = vk;
    if (m_owner)
        m_owner->setFocus(Qt::OtherFocusReason);
    EndEdit();
}

void CInPlaceList::EndEdit()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    // Esc gives the first text back, also where a list alone cannot show it (a text outside the list).
    if (m_owner)
        Notify(m_owner, this, m_nRow, m_nCol, m_nLastChar == unsigned(VK_ESCAPE) ? m_sInitText : currentText(),
               m_nLastChar);
    hidePopup();
    hide();
    deleteLater();
}
