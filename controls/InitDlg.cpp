#include "controls/InitDlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

CInitDlg::CInitDlg(QWidget *parent) : QDialog(parent), m_nResult(IDCANCEL)
{
    InitQtGlobals();
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DefaultDialogFont());
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DefaultDialogUnits();
    setFixedSize(DluSize(163, 74, u));

    m_lblHeading = new QLabel(this);
    SetCtrlId(m_lblHeading, IDC_HEADING);
    m_lblHeading->setGeometry(DluRect(64, 16, 43, 8, u));
    m_lblText = new QLabel(this);
    SetCtrlId(m_lblText, IDC_TEXT);
    m_lblText->setGeometry(DluRect(7, 30, 156, 8, u));
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(26, 50, 37, 12, u));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(107, 50, 37, 12, u));
    connect(m_btnOk, &QPushButton::clicked, this, [this] {
        m_nResult = IDOK;
        accept();
    });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] {
        m_nResult = IDCANCEL;
        reject();
    });
    connect(this, &QDialog::rejected, this, [this] { m_nResult = IDCANCEL; });
}

void CInitDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    m_lblHeading->setFont(g_fontArial16Heavy);
    // Red on the dialog's own background.
    QPalette pal = m_lblHeading->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_lblHeading->setPalette(pal);
    m_lblHeading->setAutoFillBackground(false);
    m_lblHeading->setStyleSheet(QStringLiteral("color: #ff0000; background: transparent;"));
    // The heavy heading is taller than its template box.
    const QRect g = m_lblHeading->geometry();
    m_lblHeading->setGeometry(g.x(), g.y() - 4, g.width(), g.height() + 8);
    applyTexts();
}

void CInitDlg::applyTexts()
{
    setWindowTitle(QTr(StrId::ResetConfirmTitle));
    m_lblHeading->setText(QTr(StrId::ResetConfirmHeading));
    // The heavy heading is wider than its template box: it grows about its centre, nothing is cut.
    const int need = QFontMetrics(m_lblHeading->font()).horizontalAdvance(m_lblHeading->text()) + 2;
    if (need > m_lblHeading->width()) {
        const QRect g = m_lblHeading->geometry();
        m_lblHeading->setGeometry(g.center().x() - need / 2, g.y(), need, g.height());
    }
    m_lblText->setText(QTr(StrId::ResetConfirmText));
    // With a wider face than the template's the line would be cut at the dialog's edge: the dialog
    // grows by what is missing and the other controls keep their places about the centre.
    const int needText = m_lblText->fontMetrics().horizontalAdvance(m_lblText->text()) + 4;
    if (needText > m_lblText->width()) {
        const int grow = needText - m_lblText->width();
        setFixedSize(width() + grow, height());
        m_lblText->resize(needText, m_lblText->height());
        for (QWidget *w : {static_cast<QWidget *>(m_lblHeading), static_cast<QWidget *>(m_btnOk),
                           static_cast<QWidget *>(m_btnCancel)})
            w->move(w->x() + grow / 2, w->y());
    }
    m_btnOk->setText(QTr(StrId::Ok));
    m_btnCancel->setText(QTr(StrId::ResetConfirmCancel));
}

void CInitDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        applyTexts();
    QDialog::changeEvent(e);
}

int CInitDlg::DoModal()
{
    InitDialog();
    m_nResult = IDCANCEL;
    exec();
    return m_nResult;
}
