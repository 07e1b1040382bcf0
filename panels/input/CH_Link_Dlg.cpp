#include "panels/input/CH_Link_Dlg.h"

#include "controls/ButtonRadio.h"
#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace {
constexpr COLORREF kText = RGB(0xE4, 0xE8, 0xEE);
}  // namespace

CCH_Link_Dlg::CCH_Link_Dlg(QWidget *parent) : QDialog(parent)
{
    SetCtrlId(this, IDD);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    const QFont font = MakePointFont(QStringLiteral("Arial"), 90);
    setFont(font);
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DialogUnitsOf(font);
    setFixedSize(DluSize(166, 96, u));

    m_lblQuestion = new QLabel(this);
    m_lblQuestion->setGeometry(DluRect(6, 11, 150, 14, u));
    m_radioFirst = new CButtonRadio(this, IDC_FIRST);
    m_radioFirst->setGeometry(DluRect(6, 33, 101, 10, u));
    m_radioFirst->SetTextColor(kText);
    m_radioSecond = new CButtonRadio(this, IDC_SECOND);
    m_radioSecond->setGeometry(DluRect(6, 49, 101, 10, u));
    m_radioSecond->SetTextColor(kText);
    auto *group = new QButtonGroup(this);
    group->addButton(m_radioFirst, 0);
    group->addButton(m_radioSecond, 1);
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(56, 79, 50, 14, u));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(112, 79, 50, 14, u));
    m_btnCancel->setAutoDefault(false);

    connect(m_radioFirst, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_radioSecond, &QAbstractButton::clicked, this, [this] { ReadChoice(); });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void CCH_Link_Dlg::OnInitDialog()
{
    (m_nChoice == 1 ? m_radioSecond : m_radioFirst)->setChecked(true);
    // The prompt's texts are English whatever the language.
    m_lblQuestion->setText(QTr(StrId::LinkChannelQuestion, false));
    m_btnOk->setText(QStringLiteral("OK"));
    m_btnCancel->setText(QStringLiteral("Cancel"));
    if (m_nPair < 0 || m_nPair > 2) {
        setWindowTitle(QTr(StrId::LinkChannelCaption, false));
        m_radioFirst->setText(QString());
        m_radioSecond->setText(QString());
        return;
    }
    const std::string first = std::to_string(2 * m_nPair + 1), second = std::to_string(2 * m_nPair + 2);
    setWindowTitle(QString::fromStdString(TrArgs(StrId::LinkChannelPairCaption, false, {first, second})));
    m_radioFirst->setText(QString::fromStdString(TrArgs(StrId::LinkChannelApplied, false, {first})));
    m_radioSecond->setText(QString::fromStdString(TrArgs(StrId::LinkChannelApplied, false, {second})));
}

int CCH_Link_Dlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CCH_Link_Dlg::ReadChoice() { m_nChoice = m_radioSecond->isChecked() ? 1 : 0; }

void CCH_Link_Dlg::accept()
{
    ReadChoice();
    QDialog::accept();
}
