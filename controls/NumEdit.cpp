#include "controls/NumEdit.h"

#include "controls/CtrlMessages.h"
#include "controls/NumSpin.h"
#include "controls/SpinBtn.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOption>
#include <QTextLayout>
#include <QStringList>
#include <QValidator>

#include <algorithm>
#include <vector>

// The line edit inside a numeric edit. It never takes the focus nor a click itself: the numeric
// edit receives them and hands them on through these calls.
//
// It shows the numeric edit's face whatever a style sheet above says: under a style sheet a child
// takes its natural font from the application, not from its parent, and a rule that names a font
// would replace the one set here. So the face is set explicitly and set again whenever the style
// polishes the line edit or changes its font.
class NumEditField final : public QLineEdit {
public:
    explicit NumEditField(CNumEdit *owner) : QLineEdit(owner), m_owner(owner)
    {
        setFocusProxy(owner);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setFrame(false);
        setAutoFillBackground(false);
        TakeOwnersFont();
    }
    void TakeOwnersFont()
    {
        const QFont face = m_owner->font();
        if ((font() == face && testAttribute(Qt::WA_SetFont)) || m_bTakingFont)
            return;
        m_bTakingFont = true;  // setting the font polishes and changes it again
        setFont(face);
        // A rule that names a font for line edits wins over setFont; a sheet of the line edit's
        // own wins over every rule above it.
        if (font() != face)
            setStyleSheet(FontRule(face));
        m_bTakingFont = false;
    }
    bool event(QEvent *e) override
    {
        const bool done = QLineEdit::event(e);
        if (e->type() == QEvent::Polish || e->type() == QEvent::FontChange)
            TakeOwnersFont();
        return done;
    }
    bool Event(QEvent *e) { return QLineEdit::event(e); }
    void KeyPress(QKeyEvent *e) { QLineEdit::keyPressEvent(e); }
    void FocusIn(QFocusEvent *e) { QLineEdit::focusInEvent(e); }
    void FocusOut(QFocusEvent *e) { QLineEdit::focusOutEvent(e); }
    void MousePress(QMouseEvent *e) { QLineEdit::mousePressEvent(e); }
    void MouseDoubleClick(QMouseEvent *e) { QLineEdit::mouseDoubleClickEvent(e); }
    void MouseMove(QMouseEvent *e) { QLineEdit::mouseMoveEvent(e); }
    void MouseRelease(QMouseEvent *e) { QLineEdit::mouseReleaseEvent(e); }
    void ContextMenu(QContextMenuEvent *e) { QLineEdit::contextMenuEvent(e); }
    QRect CaretRect() const { return cursorRect(); }

private:
    static QString FontRule(const QFont &f)
    {
        QStringList families;
        for (const QString &family : f.families())
            families << QLatin1Char('"') + family + QLatin1Char('"');
        const QString size = f.pixelSize() > 0 ? QStringLiteral("%1px").arg(f.pixelSize())
                                               : QStringLiteral("%1pt").arg(f.pointSizeF());
        return QStringLiteral("font-family: %1; font-size: %2; font-weight: %3; font-style: %4;")
            .arg(families.join(QLatin1String(", ")), size, QString::number(f.weight()),
                 f.italic() ? QStringLiteral("italic") : QStringLiteral("normal"));
    }

    CNumEdit *m_owner;
    bool m_bTakingFont = false;
};

namespace {
// A line edit's margin left and right of its text (QLineEditPrivate::horizontalMargin).
constexpr int kHorizontalMargin = 2;
}  // namespace

struct CNumEdit::ShownText {
    QTextLayout layout;
    int naturalWidth = 0;
    int height = 0;       // the line's: the font's, or the text's where that is taller
    int ascentShift = 0;  // the line's ascent over the font's
};

CNumEdit::CNumEdit(QWidget *parent) : QWidget(parent)
{
    // What a frameless line edit would be: focus by click and tab, the base colour behind it.
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAttribute(Qt::WA_InputMethodEnabled, false);  // no Chinese input reaches the edit
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    ApplyLook();
}

CNumEdit::~CNumEdit() = default;

NumEditField *CNumEdit::EnsureEditor()
{
    if (m_pEditor)
        return m_pEditor;
    auto *e = new NumEditField(this);
    e->setAlignment(m_alignment);
    e->setMaxLength(m_nMaxLength);
    e->setValidator(m_pValidator);
    e->setReadOnly(m_bReadOnly);
    e->setText(m_strText);
    e->setPalette(palette());
    e->setGeometry(rect());
    e->lower();  // under the step button
    connect(e, &QLineEdit::textEdited, this, [this] { m_bPending = 1; });
    m_strText.clear();
    m_pShown.reset();  // the line edit paints from now on
    m_pEditor = e;
    e->show();
    return e;
}

QLineEdit *CNumEdit::Editor() const
{
    return m_pEditor;
}

QString CNumEdit::text() const
{
    return m_pEditor ? m_pEditor->text() : m_strText;
}

void CNumEdit::setText(const QString &t)
{
    if (m_pEditor) {
        m_pEditor->setText(t);
        return;
    }
    const QString shown = t.left(m_nMaxLength);
    if (shown == m_strText)
        return;
    m_strText = shown;
    m_pShown.reset();
    update();
}

void CNumEdit::setReadOnly(bool on)
{
    m_bReadOnly = on;
    if (m_pEditor)
        m_pEditor->setReadOnly(on);
}

void CNumEdit::setMaxLength(int length)
{
    m_nMaxLength = std::clamp(length, 0, 32767);
    if (m_pEditor)
        m_pEditor->setMaxLength(m_nMaxLength);
    else
        setText(m_strText);
}

const QValidator *CNumEdit::validator() const
{
    return m_pValidator;
}

void CNumEdit::setValidator(const QValidator *validator)
{
    m_pValidator = validator;
    if (m_pEditor)
        m_pEditor->setValidator(validator);
}

void CNumEdit::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    if (m_pEditor)
        m_pEditor->setAlignment(alignment);
    else
        update();
}

void CNumEdit::selectAll()
{
    EnsureEditor()->selectAll();
}

void CNumEdit::deselect()
{
    if (m_pEditor)
        m_pEditor->deselect();
}

bool CNumEdit::hasSelectedText() const
{
    return m_pEditor && m_pEditor->hasSelectedText();
}

QString CNumEdit::selectedText() const
{
    return m_pEditor ? m_pEditor->selectedText() : QString();
}

int CNumEdit::cursorPosition() const
{
    // A line edit given its text leaves the caret at the end.
    return m_pEditor ? m_pEditor->cursorPosition() : int(m_strText.size());
}

void CNumEdit::setCursorPosition(int position)
{
    EnsureEditor()->setCursorPosition(position);
}

const CNumEdit::ShownText &CNumEdit::Shown()
{
    if (m_pShown)
        return *m_pShown;
    const QFont f = font();
    m_pShown = std::make_unique<ShownText>();
    QTextLayout &layout = m_pShown->layout;
    layout.setText(m_strText);
    layout.setFont(f);
    QTextOption option = layout.textOption();
    option.setTextDirection(layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics fm(f);
    m_pShown->naturalWidth = qRound(line.naturalTextWidth());
    m_pShown->height = std::max(fm.boundingRect(m_strText).height(), fm.height());
    m_pShown->ascentShift = qRound(line.ascent()) - fm.ascent();
    return *m_pShown;
}

QStyleOptionFrame CNumEdit::PanelOption() const
{
    QStyleOptionFrame panel;
    panel.initFrom(this);
    panel.lineWidth = 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    if (m_bReadOnly)
        panel.state |= QStyle::State_ReadOnly;
    panel.features = QStyleOptionFrame::None;
    return panel;
}

int CNumEdit::TextRoom() const
{
    const QStyleOptionFrame panel = PanelOption();
    return style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).width() - 2 * kHorizontalMargin - 1;
}

void CNumEdit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A style sheet's background for the edit (the console dialogs give one).
    QStyleOption background;
    background.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &background, &p, this);
    if (m_pEditor)
        return;  // the line edit paints the edit
    // What a frameless line edit with its caret at the end draws: the style's panel, then the text.
    const QStyleOptionFrame panel = PanelOption();
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
    if (m_strText.isEmpty())
        return;
    const ShownText &shown = Shown();
    const int fmHeight = shown.height;
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    const Qt::Alignment va = QStyle::visualAlignment(layoutDirection(), m_alignment);
    int vscroll = 0;
    switch (va & Qt::AlignVertical_Mask) {
    case Qt::AlignBottom: vscroll = r.y() + r.height() - fmHeight - 1; break;
    case Qt::AlignTop: vscroll = r.y() + 1; break;
    default: vscroll = r.y() + (r.height() - fmHeight + 1) / 2; break;
    }
    const QRect lineRect(r.x() + kHorizontalMargin, vscroll, r.width() - 2 * kHorizontalMargin, fmHeight);
    const int natural = shown.naturalWidth;
    const int widthUsed = natural + 1;
    int hscroll = 0;
    if (widthUsed <= lineRect.width()) {
        switch (va & ~(Qt::AlignAbsolute | Qt::AlignVertical_Mask)) {
        case Qt::AlignRight: hscroll = widthUsed - lineRect.width() + 1; break;
        case Qt::AlignHCenter: hscroll = (widthUsed - lineRect.width()) / 2; break;
        default: hscroll = 0; break;
        }
    } else if (natural >= lineRect.width()) {
        hscroll = natural - lineRect.width() + 1;  // the end of the text, where the caret is
    }
    const QPoint topLeft = lineRect.topLeft() - QPoint(hscroll, shown.ascentShift);

    p.setClipRect(r);
    p.setPen(panel.palette.text().color());
    shown.layout.draw(&p, topLeft);
}

NumEditParams CNumEdit::Params() const
{
    NumEditParams p;
    p.min = m_nMin;
    p.max = m_nMax;
    p.type = m_nType;
    p.scale = m_dScale;
    p.offset = m_dOffset;
    p.unit = m_strUnit.toStdString();
    p.temperature = m_nTemperature;
    p.chinese = g_bChinese.load() != 0;
    return p;
}

void CNumEdit::SetRange(int min, int max)
{
    m_nMin = min;
    m_nMax = max;
    m_nValue = min;
}

void CNumEdit::SetValue(int v)
{
    if (v > m_nMax || v < m_nMin)
        return;
    m_nValue = v;
    UpdateText();
}

int CNumEdit::GetValue()
{
    if (m_bPending) {
        if (const auto v = numedit::ParseSilently(text().toStdString(), m_nValue, Params()))
            m_nValue = *v;
        m_bPending = 0;
    }
    return m_nValue;
}

void CNumEdit::SetType(int type, const QString &unit)
{
    m_nType = type;
    m_strUnit = unit;
    UpdateText();
}

void CNumEdit::SetTemperature(int t)
{
    m_nTemperature = t;
    UpdateText();
}

void CNumEdit::AddValue(int delta)
{
    m_nValue = std::clamp(m_nValue + delta, m_nMin, m_nMax);
    UpdateText();
    NotifyParent(this);
}

void CNumEdit::ShowText(const QString &t)
{
    // Text set by the program is not typing: setText leaves the pending mark alone.
    if (t != text())
        setText(t);
}

int CNumEdit::UpdateText()
{
    m_nValue = numedit::StoredValue(m_nValue, Params());
    if (const auto t = numedit::Format(m_nValue, Params()))
        ShowText(QString::fromStdString(*t));
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->setText(text());
    update();
    return 1;
}

void CNumEdit::RefreshOffText()
{
    if (m_nType == 0 || m_nType == 1 || m_nType == 2) {
        UpdateText();
        return;
    }
    QString t = text();
    const bool chinese = g_bChinese.load() != 0;
    if (t == QTr(StrId::Off, !chinese))
        t = QTr(StrId::Off, chinese);
    setText(t);
}

void CNumEdit::changeEvent(QEvent *e)
{
    // The value's words (unit, OFF) follow the language; a text the user is typing stays.
    if (e->type() == QEvent::LanguageChange && !m_bPending)
        RefreshOffText();
    if (e->type() == QEvent::FontChange || e->type() == QEvent::LayoutDirectionChange)
        m_pShown.reset();
    if (e->type() == QEvent::FontChange && m_pEditor)
        m_pEditor->TakeOwnersFont();
    QWidget::changeEvent(e);
}

void CNumEdit::Commit()
{
    // Only text the user changed is committed; the mark is spent by the commit, so a later
    // focus loss without typing neither re-parses (which would move a centimetre value) nor
    // notifies again.
    if (m_bPending) {
        m_bPending = 0;
        const auto r = numedit::Commit(text().toStdString(), m_nValue, Params());
        if (r.reshow || r.notify) {
            m_nValue = r.value;
            if (const auto t = numedit::Format(m_nValue, Params()))
                ShowText(QString::fromStdString(*t));
            // The step button shows the committed text too, so it is right when the page
            // next switches the edit to stepping.
            if (m_bHasStepButton && m_pStepButton)
                m_pStepButton->setText(text());
        }
        // A page that is closing (its window already hidden) is not told any more.
        if (r.notify && window()->isVisible())
            NotifyParent(this);
    }
}

int CNumEdit::CommitDelayValue()
{
    if (m_nType == 0 || m_nType == 19 || m_nType == 1 || m_nType == 2)
        Commit();
    return m_nValue;
}

void CNumEdit::SetHighlight(int on)
{
    if (on == m_bHighlight)
        return;
    m_bHighlight = on;
    ApplyLook();
    update();
}

namespace {
// The palette of a look (0 highlighted, 1 normal, 2 the dimmed normal look) over a given palette.
QPalette LookOver(QPalette pal, int look)
{
    if (look == 0) {
        pal.setColor(QPalette::Base, ToQColor(CNumEdit::kFocusColour));
        pal.setColor(QPalette::Text, Qt::black);
    } else {
        pal.setColor(QPalette::Base, Qt::transparent);
        pal.setColor(QPalette::Text, look == 1 ? QColor(255, 255, 255) : QColor(200, 200, 200));
    }
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    pal.setColor(QPalette::Highlight, QColor(40, 90, 150));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    return pal;
}

// A page holds a hundred edits over one palette: they share the palette of each look instead of
// each keeping a copy of its own.
QPalette SharedLookOver(const QPalette &over, int look)
{
    struct Entry {
        QPalette over;
        int look;
        QPalette result;
    };
    static std::vector<Entry> looks;
    for (const Entry &e : looks)
        if (e.look == look && (e.over.isCopyOf(over) || e.over == over))
            return e.result;
    if (looks.size() >= 16)
        looks.clear();
    looks.push_back({over, look, LookOver(over, look)});
    return looks.back().result;
}
}  // namespace

void CNumEdit::ApplyLook()
{
    setAutoFillBackground(m_bHighlight != 0);
    setPalette(SharedLookOver(palette(), m_bHighlight ? 0 : m_bEnabledLook ? 1 : 2));
    // The line edit takes the look as its own palette: a style sheet over the dialog would
    // otherwise give it the application's selection colours.
    if (m_pEditor)
        m_pEditor->setPalette(palette());
}

void CNumEdit::SetReadOnly(int on)
{
    update();
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->setVisible(on != 0);
    setReadOnly(on != 0);
}

int CNumEdit::ShowWindow(int cmd)
{
    if (cmd != SW_HIDE && cmd != SW_SHOW)
        return m_bShown;
    const bool wasVisible = isVisible();
    if (m_bShown && cmd == SW_HIDE) {
        m_bShown = 0;
        hide();
        return wasVisible;
    }
    if (!m_bShown && cmd == SW_SHOW) {
        m_bShown = 1;
        show();
        return wasVisible;
    }
    if ((m_bShown && !isVisible() && cmd == SW_SHOW) || (!m_bShown && isVisible() && cmd == SW_HIDE)) {
        setVisible(cmd == SW_SHOW);
        return wasVisible;
    }
    return m_bShown;
}

int CNumEdit::EnableWindow(int on)
{
    const bool wasDisabled = !isEnabled();
    setEnabled(on != 0);
    return wasDisabled;
}

int CNumEdit::CreateSpinButton(int id)
{
    if (!m_pStepButton) {
        m_pStepButton = new CSpinBtn(this);
        SetCtrlId(m_pStepButton, id);
        m_pStepButton->setGeometry(rect());
        m_pStepButton->setFont(font());
        m_pStepButton->setText(QString());
        m_pStepButton->hide();
    }
    m_bHasStepButton = 1;
    return 1;
}

void CNumEdit::AttachSpin(int id, CNumSpin *spin)
{
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->SetBuddy(id, spin);
}

void CNumEdit::ClickFromStepButton()
{
    NotifyParent(this);
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

bool CNumEdit::event(QEvent *e)
{
    // The line edit claims the keys it edits with (Home, End, Ctrl+C, ...) before shortcuts do.
    if (e->type() == QEvent::ShortcutOverride && m_pEditor)
        return m_pEditor->Event(e);
    return QWidget::event(e);
}

void CNumEdit::contextMenuEvent(QContextMenuEvent *e)
{
    NumEditField *editor = EnsureEditor();
    if (e->reason() != QContextMenuEvent::Keyboard) {
        editor->ContextMenu(e);
        return;
    }
    // The Menu key opens the menu at the caret, where a line edit of its own would open it (the
    // window asks the focused widget, the numeric edit, which has no caret).
    const QPoint at = editor->mapTo(this, editor->CaretRect().center());
    QContextMenuEvent atCaret(QContextMenuEvent::Keyboard, at, mapToGlobal(at), e->modifiers());
    editor->ContextMenu(&atCaret);
    e->setAccepted(atCaret.isAccepted());
}

bool CNumEdit::FocusGoesToOwnMenu(const QFocusEvent *e) const
{
    const QWidget *popup = QApplication::activePopupWidget();
    return e->reason() == Qt::PopupFocusReason && m_pEditor && popup && popup->parentWidget() == m_pEditor;
}

void CNumEdit::focusInEvent(QFocusEvent *e)
{
    EnsureEditor()->FocusIn(e);
    QWidget::focusInEvent(e);
    // Qt gives a clicked widget the focus before the press reaches it.
    m_bFocusByClick = e->reason() == Qt::MouseFocusReason;
    // The focus back from a popup or from another window finds the caret and selection it left,
    // as a line edit does (a paste from the edit's menu goes to the caret).
    const bool back = m_bFocusLeftWindowOrMenu &&
                      (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason);
    m_bFocusLeftWindowOrMenu = false;
    SetHighlight(1);
    if (m_pLinked)
        m_pLinked->update();
    if (!isReadOnly()) {
        if (!back)
            selectAll();
    } else {
        deselect();
        if (m_bHasStepButton && m_pStepButton)
            m_pStepButton->SetActive(1);
    }
}

void CNumEdit::focusOutEvent(QFocusEvent *e)
{
    const bool toOwnMenu = FocusGoesToOwnMenu(e);
    if (m_pEditor)
        m_pEditor->FocusOut(e);
    QWidget::focusOutEvent(e);
    m_bFocusByClick = false;
    m_bFocusLeftWindowOrMenu = e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason;
    // The edit's own menu does not end the editing (its Paste and Undo work on the typed text):
    // the text is committed, and the edit's look changed, when the focus really leaves.
    if (toOwnMenu)
        return;
    Commit();
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->SetActive(0);
    SetHighlight(0);
    update();
    if (m_pLinked)
        m_pLinked->update();
}

void CNumEdit::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (isReadOnly() && (mods & Qt::ShiftModifier)) {
        e->accept();
        return;
    }
    // Only single-byte characters are typed: a double-byte character is dropped.
    const QString t = e->text();
    for (const QChar ch : t) {
        if (ch.unicode() > 0x7F) {
            e->accept();
            return;
        }
    }
    // Keys the edit does not use (Enter, Escape) stay unaccepted, so a dialog around the edit
    // still gets its default button and its cancel.
    EnsureEditor()->KeyPress(e);
    if (mods & (Qt::ControlModifier | Qt::ShiftModifier))
        return;
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_NUMEDIT_KEY, WPARAM(GetCtrlId(this)), LPARAM(VirtualKeyFromQt(e->key())));
}

void CNumEdit::inputMethodEvent(QInputMethodEvent *e)
{
    e->accept();  // composed (double-byte) input never reaches the edit
}

void CNumEdit::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        EnsureEditor()->MousePress(e);
        return;
    }
    if (parentWidget())
        NotifyParent(this);
    if (!hasFocus() || m_bFocusByClick) {
        m_bFocusByClick = false;
        // The click is not passed on: the caret is not placed and the focus gain selects all.
        setFocus(Qt::MouseFocusReason);
        m_bSwallowRelease = true;
        e->accept();
        return;
    }
    m_bSwallowRelease = false;
    EnsureEditor()->MousePress(e);
    if (isReadOnly())
        deselect();
}

void CNumEdit::mouseDoubleClickEvent(QMouseEvent *e)
{
    EnsureEditor()->MouseDoubleClick(e);
    if (!isReadOnly())
        selectAll();
    else
        deselect();  // read-only: no selection, as the focus gain leaves it
}

void CNumEdit::mouseMoveEvent(QMouseEvent *e)
{
    if (isReadOnly()) {
        e->accept();  // no drag selection
        return;
    }
    if (m_pEditor)
        m_pEditor->MouseMove(e);
}

void CNumEdit::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_bSwallowRelease && e->button() == Qt::LeftButton) {
        m_bSwallowRelease = false;
        e->accept();
        return;
    }
    if (m_pEditor)
        m_pEditor->MouseRelease(e);
}

void CNumEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (m_pEditor)
        m_pEditor->setGeometry(rect());
    if (m_pStepButton)
        m_pStepButton->setGeometry(rect());
}
