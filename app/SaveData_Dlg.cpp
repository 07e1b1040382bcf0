#include "app/SaveData_Dlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {
// The template's font: Arial 9.
QFont TemplateFont() { return MakePointFont(QStringLiteral("Arial"), 90); }
}  // namespace

CSaveData_Dlg::CSaveData_Dlg(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    const DialogUnits u = SetUpTemplateDialog(this, TemplateFont(), QSize(183, 78), true);

    m_btnYes = new QPushButton(this);
    SetCtrlId(m_btnYes, IDOK);
    m_btnYes->setGeometry(DluRect(9, 56, 50, 14, u));
    m_btnYes->setDefault(true);
    m_btnNo = new QPushButton(this);
    SetCtrlId(m_btnNo, IDC_NO);
    m_btnNo->setGeometry(DluRect(67, 56, 50, 14, u));
    m_btnNo->setAutoDefault(false);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(125, 56, 50, 14, u));
    m_btnCancel->setAutoDefault(false);
    m_lblQuestion = new QLabel(this);
    SetCtrlId(m_lblQuestion, IDC_QUESTION);
    m_lblQuestion->setGeometry(DluRect(1, 30, 180, 16, u));
    m_lblQuestion->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    connect(m_btnYes, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_btnNo, &QPushButton::clicked, this, [this] { OnNo(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
}

void CSaveData_Dlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    ApplyTexts();
    m_nResult = 1;
}

void CSaveData_Dlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::Prompt));
    m_btnYes->setText(QTr(StrId::Yes));
    m_btnNo->setText(QTr(StrId::No));
    m_btnCancel->setText(QTr(StrId::Cancel));
    m_lblQuestion->setText(QTr(StrId::ExitQuestion));
    // A face wider than the template's would cut the question at the dialog's edge: the dialog
    // grows by what is missing and the buttons keep their places about the centre.
    const int need = QFontMetrics(m_lblQuestion->font()).horizontalAdvance(m_lblQuestion->text()) + 8;
    if (need > m_lblQuestion->width()) {
        const int grow = need - m_lblQuestion->width();
        setFixedSize(width() + grow, height());
        m_lblQuestion->resize(need, m_lblQuestion->height());
        for (QPushButton *b : {m_btnYes, m_btnNo, m_btnCancel})
            b->move(b->x() + grow / 2, b->y());
    }
}

int CSaveData_Dlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CSaveData_Dlg::OnOK()
{
    m_nResult = IDYES;
    accept();
}

void CSaveData_Dlg::OnNo()
{
    m_nResult = IDNO;
    QDialog::reject();
}

void CSaveData_Dlg::OnCancel()
{
    m_nResult = IDCANCEL;
    QDialog::reject();
}

void CSaveData_Dlg::reject()
{
    // Esc and the close box.
    OnCancel();
}

void CSaveData_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
