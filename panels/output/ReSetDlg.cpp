#include "panels/output/ReSetDlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

CReSetDlg::CReSetDlg(QWidget *parent) : QDialog(parent)
{
    SetCtrlId(this, IDD);
    setModal(true);
    const DialogUnits u = SetUpTemplateDialog(this, MakePointFont(QStringLiteral("Arial"), 90), QSize(183, 78), true);
    setWindowTitle(QStringLiteral("ReSet"));

    m_btnEmpty = new QPushButton(this);
    SetCtrlId(m_btnEmpty, IDOK);
    m_btnEmpty->setGeometry(DluRect(9, 56, 50, 14, u));
    m_btnEmpty->setDefault(true);
    m_btnDefault = new QPushButton(this);
    SetCtrlId(m_btnDefault, IDC_DEFAULT);
    m_btnDefault->setGeometry(DluRect(67, 56, 50, 14, u));
    m_btnDefault->setAutoDefault(false);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(125, 56, 50, 14, u));
    m_btnCancel->setAutoDefault(false);
    m_lblMessage = new QLabel(this);
    SetCtrlId(m_lblMessage, IDC_MESSAGE);
    m_lblMessage->setGeometry(DluRect(1, 30, 180, 16, u));
    m_lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    connect(m_btnEmpty, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_btnDefault, &QPushButton::clicked, this, [this] { OnDefault(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
}

void CReSetDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    ApplyTexts();
    m_nResult = 1;
}

void CReSetDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::Prompt));
    m_btnEmpty->setText(QTr(StrId::MapResetEmptied));
    m_btnDefault->setText(QTr(StrId::MapResetDefault));
    m_btnCancel->setText(QTr(StrId::Cancel));
    m_lblMessage->setText(QTr(StrId::MapResetQuestion));
    // A face wider than the template's would cut the question: the dialog grows by what is
    // missing and the buttons keep their places about the centre.
    const int need = QFontMetrics(m_lblMessage->font()).horizontalAdvance(m_lblMessage->text()) + 8;
    if (need > m_lblMessage->width()) {
        const int grow = need - m_lblMessage->width();
        setFixedSize(width() + grow, height());
        m_lblMessage->resize(need, m_lblMessage->height());
        for (QPushButton *b : {m_btnEmpty, m_btnDefault, m_btnCancel})
            b->move(b->x() + grow / 2, b->y());
    }
}

int CReSetDlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CReSetDlg::OnOK()
{
    m_nResult = 1;
    accept();
}

void CReSetDlg::OnDefault()
{
    m_nResult = 2;
    accept();
}

void CReSetDlg::OnCancel()
{
    m_nResult = 0;
    QDialog::reject();
}

void CReSetDlg::reject()
{
    // Esc and the close box.
    OnCancel();
}

void CReSetDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
