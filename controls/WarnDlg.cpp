#include "controls/WarnDlg.h"

#include "controls/TransparentStatic.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

CWarnDlg::CWarnDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("VRX530 Software"));
    setFixedSize(DluSize(163, 63));
    setFont(DefaultDialogFont());
    m_pText = new CTransparentStatic(this, 2753, SS_CENTER | SS_CENTERIMAGE);
    m_pText->setGeometry(DluRect(7, 7, 149, 30));
    m_pText->SetTextColor(RGB(228, 232, 238));
    m_pButton = new QPushButton(this);
    SetCtrlId(m_pButton, 1);
    m_pButton->setGeometry(DluRect(56, 42, 50, 14));
    m_pButton->setDefault(true);
    m_pButton->setStyleSheet(QStringLiteral(
        "QPushButton { color: #E4E8EE; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3A404B, stop:1 #262A31);"
        " border: 1px solid #0D0F12; border-radius: 3px; }"
        "QPushButton:hover { border-color: #28B4E6; }"
        "QPushButton:pressed { background: #1B1E23; }"));
    connect(m_pButton, &QPushButton::clicked, this, &QDialog::accept);
}

CWarnDlg::~CWarnDlg() = default;

bool CWarnDlg::OnInitDialog()
{
    m_pText->SetText(m_strMessage);
    m_pButton->setText(QTr(StrId::Quit));
    return true;
}

void CWarnDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        m_pButton->setText(QTr(StrId::Quit));
    QDialog::changeEvent(e);
}

void CWarnDlg::showEvent(QShowEvent *e)
{
    OnInitDialog();
    QDialog::showEvent(e);
}

void CWarnDlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(Skins::Palette::Background));
    p.setPen(QColor(Skins::Palette::Frame));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
