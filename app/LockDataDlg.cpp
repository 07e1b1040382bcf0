#include "app/LockDataDlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

QLineEdit *g_pLockWriteCountEdit = nullptr;
QLineEdit *g_pLockReadCountEdit = nullptr;

namespace {

// The template's font: System 10.
QFont TemplateFont() { return MakePointFont(QStringLiteral("System"), 100); }

// The logs take only digits from the keyboard; editing and moving keys work as usual, and the
// program's own appends are not filtered.
class DigitsOnly : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(e);
            const QString text = k->text();
            const bool command = k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
            if (!command && !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit())
                return true;
        }
        return QObject::eventFilter(watched, e);
    }
};

}  // namespace

CLockDataDlg::CLockDataDlg(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const QFont font = TemplateFont();
    setFont(font);
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DialogUnitsOf(font);
    setFixedSize(DluSize(476, 219, u));

    m_lblWrite = new QLabel(this);
    m_lblWrite->move(DluRect(82, 6, 31, 9, u).topLeft());
    m_lblRead = new QLabel(this);
    m_lblRead->move(DluRect(326, 6, 25, 8, u).topLeft());

    auto *digits = new DigitsOnly(this);
    const auto log = [&](int id, QRect r) {
        auto *e = new QPlainTextEdit(this);
        SetCtrlId(e, id);
        e->setGeometry(r);
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        e->installEventFilter(digits);
        return e;
    };
    m_editWrite = log(IDC_WRITE_LOG, DluRect(8, 22, 222, 169, u));
    m_editRead = log(IDC_READ_LOG, DluRect(239, 22, 207, 169, u));

    m_btnClear = new QPushButton(this);
    SetCtrlId(m_btnClear, IDC_CLEAR);
    m_btnClear->setGeometry(DluRect(157, 197, 50, 14, u));
    m_btnClear->setAutoDefault(false);
    connect(m_btnClear, &QPushButton::clicked, this, &CLockDataDlg::OnClear);

    const auto box = [&](int id, QRect r) {
        auto *e = new QLineEdit(this);
        SetCtrlId(e, id);
        e->setGeometry(r);
        return e;
    };
    m_editWriteCount = box(IDC_WRITE_COUNT, DluRect(36, 194, 40, 14, u));
    m_editReadCount = box(IDC_READ_COUNT, DluRect(250, 195, 40, 14, u));
}

CLockDataDlg::~CLockDataDlg()
{
    // Nobody may write into the boxes of a log that has gone.
    if (g_pLockWriteCountEdit == m_editWriteCount)
        g_pLockWriteCountEdit = nullptr;
    if (g_pLockReadCountEdit == m_editReadCount)
        g_pLockReadCountEdit = nullptr;
}

void CLockDataDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    g_pLockWriteCountEdit = m_editWriteCount;
    g_pLockReadCountEdit = m_editReadCount;
    ApplyTexts();
}

void CLockDataDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::LockCaption));
    m_lblWrite->setText(QTr(StrId::LockWriteLog));
    m_lblRead->setText(QTr(StrId::LockReadLog));
    m_lblWrite->adjustSize();
    m_lblRead->adjustSize();
    m_btnClear->setText(QTr(StrId::LockClear));
}

void CLockDataDlg::ShowLog()
{
    InitDialog();
    m_editWrite->clear();
    m_editRead->clear();
    show();
}

void CLockDataDlg::AppendWriteLog(const QString &text, int withTime, int newLine)
{
    Append(m_editWrite, text, withTime, newLine);
}

void CLockDataDlg::AppendReadLog(const QString &text, int withTime, int newLine)
{
    Append(m_editRead, text, withTime, newLine);
}

void CLockDataDlg::Append(QPlainTextEdit *log, const QString &text, int withTime, int newLine)
{
    QString s = log->toPlainText() + text;
    if (withTime == 1)
        s += QStringLiteral(" (") + QString::fromStdString(FormatDelayText(QueryPerfCounter())) + QLatin1Char(')');
    if (newLine == 1)
        s += QLatin1Char('\n');
    log->setPlainText(s);
    // The last line in view.
    log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

void CLockDataDlg::OnClear()
{
    m_editWrite->clear();
    m_editRead->clear();
}

void CLockDataDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
