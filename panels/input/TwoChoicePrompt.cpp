#include "panels/input/TwoChoicePrompt.h"

#include "controls/ButtonRadio.h"
#include "controls/ConsoleStyle.h"
#include "platform/qt/WindowMessages.h"

#include <QButtonGroup>
#include <QPushButton>

namespace {
// Console text colour of the choices.
constexpr COLORREF kText = RGB(0xE4, 0xE8, 0xEE);
}  // namespace

CTwoChoicePrompt::CTwoChoicePrompt(QWidget *parent, const Layout &layout) : QDialog(parent)
{
    SetCtrlId(this, layout.idd);
    setModal(true);
    m_units = SetUpTemplateDialog(this, MakePointFont(QStringLiteral("Arial"), 90), layout.size, true);

    m_radioFirst = new CButtonRadio(this, layout.idFirst);
    m_radioFirst->setGeometry(Place(layout.first));
    m_radioFirst->SetTextColor(kText);
    m_radioSecond = new CButtonRadio(this, layout.idSecond);
    m_radioSecond->setGeometry(Place(layout.second));
    m_radioSecond->SetTextColor(kText);
    auto *group = new QButtonGroup(this);
    group->addButton(m_radioFirst, 0);
    group->addButton(m_radioSecond, 1);
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(Place(layout.ok));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(Place(layout.cancel));
    m_btnCancel->setAutoDefault(false);

    connect(m_radioFirst, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_radioSecond, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

int CTwoChoicePrompt::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTwoChoicePrompt::CheckChoice() { (m_nChoice == 1 ? m_radioSecond : m_radioFirst)->setChecked(true); }

void CTwoChoicePrompt::ReadChoice() { m_nChoice = m_radioSecond->isChecked() ? 1 : 0; }

void CTwoChoicePrompt::accept()
{
    ReadChoice();
    QDialog::accept();
}
