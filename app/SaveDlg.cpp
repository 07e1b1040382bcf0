#include "app/SaveDlg.h"

#include "app/MachinePresets.h"
#include "controls/ChEnEdit.h"
#include "controls/ConsoleStyle.h"
#include "platform/WinCompat.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

CSaveDlg::CSaveDlg(QWidget *parent) : QDialog(parent)
{
    InitQtGlobals();
    setModal(true);
    // Template 666: 135 x 51 dialog units of Arial 9.
    const DialogUnits u = SetUpTemplateDialog(this, MakePointFont(QStringLiteral("Arial"), 90), QSize(135, 51), false);

    m_editName = new CChEnEdit(this);
    SetCtrlId(m_editName, IDC_NAME);
    m_editName->setGeometry(DluRect(43, 7, 79, 13, u));
    m_editName->SetLimitText(kNameBytes);
    m_lblPreset = new QLabel(this);
    SetCtrlId(m_lblPreset, IDC_LABEL);
    m_lblPreset->setGeometry(DluRect(4, 10, 38, 8, u));
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(10, 31, 50, 14, u));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(75, 31, 50, 14, u));
    connect(m_btnOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(this, &QDialog::rejected, this, [this] { m_nResult = IDCANCEL; });
}

void CSaveDlg::InitDialog()
{
    m_editName->EnableAlign(true);
    m_editName->setText(QString::fromStdString(CMachinePresetActions::PresetName(m_nPreset)));
    m_editName->selectAll();
    LoadTexts();
    m_editName->setFocus();
}

void CSaveDlg::LoadTexts()
{
    m_strLabel = QTr(StrId::PresetNameLabel).replace(QStringLiteral("%1"), QString::number(m_nPreset));
    m_lblPreset->setText(m_strLabel);
    m_btnOk->setText(QTr(StrId::Ok));
    m_btnCancel->setText(QTr(StrId::Cancel));
    setWindowTitle(QTr(StrId::PresetNameTitle));
}

void CSaveDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        LoadTexts();
    QDialog::changeEvent(e);
}

void CSaveDlg::OnOK()
{
    m_strName = m_editName->text();
    m_nResult = IDOK;
    accept();
}

int CSaveDlg::DoModal()
{
    InitDialog();
    m_nResult = IDCANCEL;
    exec();
    return m_nResult;
}
