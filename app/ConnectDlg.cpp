#include "app/ConnectDlg.h"

#include "controls/ButtonRadio.h"
#include "link/SerialPort.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QPushButton>

std::atomic<int> g_bLinkModeUnchanged{0};

CConnectDlg::CConnectDlg(QWidget *parent) : QDialog(parent)
{
    // 199 x 88 dialog units of the template's 8-point font.
    // The dialog's own background brush.
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, g_brDialogBk);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(298, 143);
    m_usb = new CButtonRadio(QString(), this, IDC_USB);
    m_wifi = new CButtonRadio(QString(), this, IDC_WIFI);
    m_com = new CButtonRadio(QString(), this, IDC_COM);
    for (CButtonRadio *r : {m_usb, m_wifi, m_com})
        r->SetTextColor(RGB(0, 0, 0));
    auto *group = new QButtonGroup(this);
    group->addButton(m_usb, 0);
    group->addButton(m_wifi, 1);
    group->addButton(m_com, 2);
    m_usb->setGeometry(12, 10, 274, 22);
    m_wifi->setGeometry(12, 36, 274, 22);
    m_com->setGeometry(12, 62, 150, 22);
    m_ports = new QComboBox(this);
    m_ports->setGeometry(166, 62, 120, 24);
    SetCtrlId(m_ports, IDC_PORTS);
    m_link = new QPushButton(this);
    m_link->setDefault(true);
    m_link->setGeometry(104, 104, 90, 28);

    switch (g_nLinkMode.load()) {
    case LINK_USB: m_selected = 0; break;
    case LINK_TCP: m_selected = 1; break;
    case LINK_SERIAL: m_selected = 2; break;
    default: m_selected = 0; break;
    }
    (m_selected == 0 ? m_usb : m_selected == 1 ? m_wifi : m_com)->setChecked(true);
    m_ports->setEnabled(g_nLinkMode.load() == LINK_SERIAL);
    ApplyTexts();
    m_comPort = g_strComPort.Get();
    FillPortList();

    connect(m_usb, &QAbstractButton::clicked, this, [this] { OnUsbRadio(); });
    connect(m_wifi, &QAbstractButton::clicked, this, [this] { OnWifiRadio(); });
    connect(m_com, &QAbstractButton::clicked, this, [this] { OnComRadio(); });
    connect(m_ports, &QComboBox::currentIndexChanged, this, [this] { OnPortSelected(); });
    connect(m_link, &QPushButton::clicked, this, [this] { OnOK(); });
}

void CConnectDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::ConnectTitle));
    m_usb->setText(QTr(StrId::ConnectUsb));
    m_wifi->setText(QTr(StrId::ConnectWifi));
    m_com->setText(QTr(StrId::ConnectCom));
    m_link->setText(QTr(StrId::ConnectTitle));
}

void CConnectDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        ApplyTexts();
    QDialog::changeEvent(e);
}

void CConnectDlg::FillPortList()
{
    std::vector<SerialPortInfo> ports;
    ListComPorts(ports, false);
    const QSignalBlocker block(m_ports);
    m_ports->clear();
    for (const auto &p : ports)
        m_ports->addItem(QString::fromStdString(p.portName));
    const std::string chosen = ChooseComPort(ports, m_comPort);
    if (ports.empty())
        m_ports->addItem(QStringLiteral("NULL"));
    m_ports->setCurrentText(QString::fromStdString(chosen));
}

void CConnectDlg::ReadControls()
{
    m_selected = m_usb->isChecked() ? 0 : m_wifi->isChecked() ? 1 : 2;
    m_comPort = m_ports->currentText().toStdString();
}

void CConnectDlg::OnUsbRadio()
{
    ReadControls();
    m_ports->setEnabled(false);
}

void CConnectDlg::OnWifiRadio()
{
    ReadControls();
    m_ports->setEnabled(false);
}

void CConnectDlg::OnComRadio()
{
    ReadControls();
    m_ports->setEnabled(true);
}

void CConnectDlg::OnPortSelected()
{
    m_comPort = m_ports->currentText().toStdString();
}

void CConnectDlg::OnOK()
{
    ReadControls();
    const int mode = m_selected == 0 ? LINK_USB : m_selected == 1 ? LINK_TCP : LINK_SERIAL;
    g_bLinkModeUnchanged = mode == g_nLinkMode.load() ? 1 : 0;
    g_nLinkMode = mode;
    if (mode == LINK_SERIAL)
        g_strComPort = m_comPort;
    accept();
}
