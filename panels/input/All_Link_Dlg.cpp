#include "panels/input/All_Link_Dlg.h"

#include "controls/ButtonRadio.h"
#include "controls/ConsoleStyle.h"
#include "controls/StaticText.h"
#include "controls/TransparentStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>

namespace {
// Console text colour for the radios and the question.
constexpr COLORREF kText = RGB(0xE4, 0xE8, 0xEE);
}  // namespace

CAll_Link_Dlg::CAll_Link_Dlg(QWidget *parent) : QDialog(parent)
{
    SetCtrlId(this, IDD);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    const QFont font = MakePointFont(QStringLiteral("Arial"), 90);
    setFont(font);
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DialogUnitsOf(font);
    setFixedSize(DluSize(183, 78, u));
    setWindowTitle(QStringLiteral("L/R Link"));

    m_lblQuestion = new CTransparentStatic(this, IDC_QUESTION, SS_CENTER);
    m_lblQuestion->setGeometry(DluRect(8, 4, 170, 19, u));
    m_lblQuestion->SetTextColor(kText);
    m_radioFirst = new CButtonRadio(this, IDC_FIRST);
    m_radioFirst->setGeometry(DluRect(58, 25, 91, 10, u));
    m_radioFirst->SetTextColor(kText);
    m_radioSecond = new CButtonRadio(this, IDC_SECOND);
    m_radioSecond->setGeometry(DluRect(58, 39, 91, 10, u));
    m_radioSecond->SetTextColor(kText);
    auto *group = new QButtonGroup(this);
    group->addButton(m_radioFirst, 0);
    group->addButton(m_radioSecond, 1);
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(37, 56, 50, 14, u));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(101, 56, 50, 14, u));
    m_btnCancel->setAutoDefault(false);

    connect(m_radioFirst, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_radioSecond, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void CAll_Link_Dlg::OnInitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    (m_nChoice == 1 ? m_radioSecond : m_radioFirst)->setChecked(true);
    ApplyTexts();
}

void CAll_Link_Dlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::Prompt));
    m_lblQuestion->SetText(QTr(StrId::LinkSyncQuestion));
    m_radioFirst->setText(QTr(StrId::LinkCopyLeftToRight));
    m_radioSecond->setText(QTr(StrId::LinkCopyRightToLeft));
    m_btnOk->setText(QTr(StrId::Ok));
    m_btnCancel->setText(QTr(StrId::Cancel));
}

int CAll_Link_Dlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAll_Link_Dlg::ReadChoice() { m_nChoice = m_radioSecond->isChecked() ? 1 : 0; }

void CAll_Link_Dlg::accept()
{
    ReadChoice();
    QDialog::accept();
}

void CAll_Link_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
