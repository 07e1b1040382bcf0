#include "controls/PassWordEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

CPassWordEdit::CPassWordEdit(QWidget *parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Pasted text obeys the same rule as typed text.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Za-z]*")), this));
}

CPassWordEdit::~CPassWordEdit() = default;

bool CPassWordEdit::IsAccepted(QChar c)
{
    const char16_t u = c.unicode();
    return u == 8 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

void CPassWordEdit::keyPressEvent(QKeyEvent *e)
{
    const QString t = e->text();
    if (!t.isEmpty() && t[0].isPrint() && !IsAccepted(t[0])) {
        e->accept();  // every other character is dropped
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CPassWordEdit::inputMethodEvent(QInputMethodEvent *e) { e->accept(); }
