#include "controls/ChEnEdit.h"

#include "platform/Gbk.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

namespace {

// Refuses whatever the edit does not accept: typing, pasting and dropping all pass through it.
class CGbkNameValidator : public QValidator {
public:
    explicit CGbkNameValidator(CChEnEdit *edit) : QValidator(edit), m_edit(edit) {}
    State validate(QString &input, int &) const override
    {
        return m_edit->Accepts(input) ? Acceptable : Invalid;
    }

private:
    CChEnEdit *m_edit;
};

}  // namespace

CChEnEdit::CChEnEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new CGbkNameValidator(this));
}
CChEnEdit::~CChEnEdit() = default;

int CChEnEdit::GbkBytes(const QString &character)
{
    if (character.isEmpty())
        return 0;
    if (character[0].unicode() < 0x80)
        return 1;
    const auto gbk = Utf8ToGbk(character.toStdString());
    return gbk && gbk->size() == 1 ? 1 : 2;
}

int CChEnEdit::GbkBytes(QChar c) { return GbkBytes(QString(c)); }

namespace {
// The character starting at i: one code unit, or two for a surrogate pair.
int CharUnits(const QString &text, int i)
{
    return (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
}
}  // namespace

int CChEnEdit::GbkLength(const QString &text)
{
    int n = 0;
    for (int i = 0; i < text.size();) {
        const int units = CharUnits(text, i);
        n += GbkBytes(text.mid(i, units));
        i += units;
    }
    return n;
}

QString CChEnEdit::AlignText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    int singles = 0;
    for (int i = 0; i < text.size();) {
        const int units = CharUnits(text, i);
        const QString ch = text.mid(i, units);
        i += units;
        if (GbkBytes(ch) == 1) {
            ++singles;
            out += ch;
            continue;
        }
        if (singles % 2 == 1)
            out += QLatin1Char(' ');
        singles = 0;
        out += ch;
    }
    return out;
}

bool CChEnEdit::Accepts(const QString &text) const
{
    if (!Utf8ToGbk(text.toStdString()))
        return false;
    return m_nLimit == 0 || GbkLength(m_bAlign ? AlignText(text) : text) <= m_nLimit;
}

QString CChEnEdit::TextWithTyped(const QString &typed) const
{
    QString t = text();
    if (hasSelectedText())
        return t.replace(selectionStart(), selectedText().size(), typed);
    return t.insert(cursorPosition(), typed);
}

// A typed run: a space goes before its first double-byte character when the text so far ends
// on an odd byte.
QString CChEnEdit::AlignTyped(const QString &typed) const
{
    if (!m_bAlign || typed.isEmpty() || GbkBytes(typed.left(CharUnits(typed, 0))) == 1)
        return typed;
    return (GbkLength(text()) % 2 == 1) ? QStringLiteral(" ") + typed : typed;
}

void CChEnEdit::keyPressEvent(QKeyEvent *e)
{
    const QString t = e->text();
    // A character that would not be taken leaves the text alone, without an alignment blank.
    if (!t.isEmpty() && t[0].isPrint() && !Accepts(TextWithTyped(t))) {
        e->accept();
        return;
    }
    if (m_bAlign && !t.isEmpty() && GbkBytes(t.left(CharUnits(t, 0))) == 2 && GbkLength(text()) % 2 == 1)
        insert(QStringLiteral(" "));
    QLineEdit::keyPressEvent(e);
}

void CChEnEdit::inputMethodEvent(QInputMethodEvent *e)
{
    if (m_bAlign && !e->commitString().isEmpty()) {
        QInputMethodEvent aligned(e->preeditString(), e->attributes());
        aligned.setCommitString(AlignTyped(e->commitString()), e->replacementStart(), e->replacementLength());
        QLineEdit::inputMethodEvent(&aligned);
        return;
    }
    QLineEdit::inputMethodEvent(e);
}

void CChEnEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    // The edit's own menu does not end the editing: its Paste goes to the caret, which aligning
    // the text now would move to the end. The text is aligned when the focus really leaves.
    const QWidget *popup = QApplication::activePopupWidget();
    if (e->reason() == Qt::PopupFocusReason && popup && popup->parentWidget() == this)
        return;
    if (m_bAlign) {
        const QString aligned = AlignText(text());
        if (aligned != text())
            setText(aligned);
    }
}
