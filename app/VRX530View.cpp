#include "app/VRX530View.h"

#include "app/HiLevelSourceDlg.h"
#include "app/MixInPutCom.h"

#include "app/UpgradeDlg.h"
#include "app/ViewDispatch.h"
#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/InitDlg.h"
#include "controls/MessageBox.h"
#include "controls/Show_Link.h"
#include "controls/XPButton.h"
#include "link/HidApiBackend.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "panels/level/LevelDelayDlg.h"
#include "panels/output/OutputDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>

#include <mutex>

CVRX530View *g_pMainView = nullptr;

CVRX530View::CVRX530View(CKTV_Data &doc, IHidBackend *hid, QWidget *parent) : QWidget(parent), m_doc(doc)
{
    if (!hid) {
        m_ownHid = std::make_unique<CHidApiBackend>();
        hid = m_ownHid.get();
    }
    m_table = CMessageTable::Ensure(this);
    m_command.SetOwner(m_table);
    m_sync = std::make_unique<CDeviceSync>(m_command, m_session, *this);
    m_sends = std::make_unique<CChannelSends>(m_command, m_session, *m_sync, m_doc, m_pages);
    m_backend = std::make_unique<CLinkBackend>(m_command, &m_doc, *hid, m_table);
    m_ctrl = std::make_unique<CLinkController>(m_command, m_session, *m_backend, *this, *m_sync, m_table);
    m_updateLink = std::make_unique<CUpdateLink>(*m_ctrl, *m_backend, m_backend->Engine());

    setObjectName(QStringLiteral("VRX530View"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_connect = new CXPButton(this, IDC_CONNECT);
    m_status = new CShow_Link(this, IDC_LINK_STATUS);
    connect(m_connect, &QAbstractButton::clicked, this, [this] { m_ctrl->OnConnectButton(); });

    m_progress = new CGradientProgressCtrl(this, IDC_PROGRESS);
    m_progress->hide();
    m_btnPresetName = new CBitButton(this, IDC_PRESET_NAME_BUTTON);
    m_btnPresetName->hide();

    m_popup = new CDisplayDlg(this);
    // The hidden helper that can close an open message box by pressing Enter for it.
    m_msgBox = new CMsgBox;
    m_msgBox->CreateHidden(this);
    CreateSurface();
    InstallMessageHandlers();
    InstallPresetCommands();
    InstallCommandHandlers();
    InstallSurfaceHandlers();
    ShowConnectedState(false);

    // The output page fills the view below the top band from the start, connected or not.
    m_outputPage = new COutputDlg(*m_sends, *m_sync, m_boxes, m_pages, PageHost());
    m_outputPage->SetKTVData(&m_doc);
    m_outputPage->SetViewTarget(m_table);
    m_outputPage->setGeometry(PageRect());
    m_outputPage->LoadChannelRecords();
}

CVRX530View::~CVRX530View()
{
    Shutdown();
    if (g_pXferBar.load() == m_popup->Progress())
        g_pXferBar = nullptr;
    if (g_pXferProgress.load() == m_popup->Progress())
        g_pXferProgress = nullptr;
    if (g_pXferDlg.load() == m_popup)
        g_pXferDlg = nullptr;
    if (g_pNotifyView.load() == m_table)
        g_pNotifyView = nullptr;
    if (g_pMainView == this)
        g_pMainView = nullptr;
    if (g_pCommand.load() == &m_command)
        g_pCommand = nullptr;
}

void CVRX530View::paintEvent(QPaintEvent *)
{
    // The console's panel, drawn at the view's size in the UI language straight into the window
    // (only the strip the pages leave uncovered is ever painted; no window-sized copy is kept).
    QPainter p(this);
    Skins::Draw(p, rect(), SkinType::Bitmap, g_bChinese.load() != 0 ? 285 : 284);
}

CHiLevelSourceDlg *CVRX530View::HiLevelSourceDialog() const
{
    if (!m_hiLevelSource)
        m_hiLevelSource = std::make_unique<CHiLevelSourceDlg>();
    return m_hiLevelSource.get();
}

IMessageTarget *CVRX530View::MessageTarget() const
{
    return m_table;
}

void CVRX530View::InstallMessageHandlers()
{
    m_table->OnAny([this](unsigned msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_DEV_ALLPRESETS_RECEIVED) {
            OnAllPresetsReceived();
            return 0;
        }
        const int selectedInput = g_nSelInput.load();
        DispatchLinkMessage(*m_ctrl, *m_sync, msg, w, l);
        if (msg == WM_DEV_STATUS_RECEIVED)
            ShowStatusOnLevelPage(selectedInput);
        return 0;
    });
}

void CVRX530View::StartLinkServices()
{
    g_pNotifyView = m_table;
    g_pCommand = &m_command;
    g_pXferBar = m_popup->Progress();
    g_pXferProgress = m_popup->Progress();
    g_pXferDlg = m_popup;
    // USB arrivals and removals come from udev on its own thread: hand the path over by value.
    QPointer<CVRX530View> self(this);
    m_usbMonitor.Start([self](const UsbDeviceEvent &ev) {
        const bool arrival = ev.arrival;
        const std::string path = ev.path;
        RunOnUiThread([self, arrival, path] {
            if (self)
                self->m_ctrl->OnDeviceChange(arrival, path);
        });
    });
}

void CVRX530View::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_usbMonitor.Stop();
    m_ctrl->Shutdown();
}

// ---- firmware ----------------------------------------------------------------------------------

void CVRX530View::OnFirmwareUpdate()
{
    CUpgradeDlg dlg(*m_updateLink, this);
    dlg.settings = &m_settings;
    dlg.exec();
    g_bUpdating = 0;
}

// ---- ILinkView -----------------------------------------------------------------------------------

void CVRX530View::ShowConnectedState(bool connected)
{
    // Normal, hover and pressed looks of the button by connection state and language.
    m_connectedLook = connected;
    const bool cn = g_bChinese.load() != 0;
    auto *button = static_cast<CXPButton *>(m_connect);
    if (connected)
        cn ? button->SetBitmaps(8741, 8750, 8750, 0, 0, 0) : button->SetBitmaps(8743, 8752, 8752, 0, 0, 0);
    else
        cn ? button->SetBitmaps(8751, 8740, 8740, 0, 0, 0) : button->SetBitmaps(8753, 8742, 8742, 0, 0, 0);
    button->SetCheck(1);
    button->setAccessibleName(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    m_pages.EnableAdvancedDeviceButton(connected);
    if (connected) {
        m_status->StopBlink();
        m_status->SetText(QTr(StrId::Connected));
    } else {
        m_status->SetText(QTr(StrId::NotConnected));
        m_status->StartBlink();
    }
}

void CVRX530View::changeEvent(QEvent *e)
{
    // The Connect button's skins and the status text are per language; the background follows
    // the language at every paint.
    if (e->type() == QEvent::LanguageChange && m_connect && m_status)
        m_surfaceReady ? ApplyLanguage() : ShowConnectedState(m_connectedLook);
    QWidget::changeEvent(e);
}

void CVRX530View::HideTransferPopup()
{
    m_popup->Hide();
}

int CVRX530View::PopupMenu(const std::vector<std::pair<int, std::string>> &items)
{
    QMenu menu(this);
    for (const auto &[id, label] : items)
        menu.addAction(QString::fromStdString(label))->setData(id);
    const QPoint at = m_connect->mapToGlobal(QPoint(0, m_connect->height() + 2));
    QAction *chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

void CVRX530View::SetUpdateTip(const std::string &text)
{
    m_updateLink->SetTip(text);
}

bool CVRX530View::UpdateDialogOpen()
{
    return m_updateLink->DialogOpen();
}

void CVRX530View::ResetHiddenControls()
{
    m_progress->SetPos(0);
    if (m_editPresetName)
        m_editPresetName->clear();
    m_btnPresetName->setText(QString());
    m_btnPresetName->SetCheck(0);
}

// ---- ISyncHost -----------------------------------------------------------------------------------

void CVRX530View::ResetChanges()
{
    m_doc.ResetChanges(0);
}

void CVRX530View::FillImage()
{
    m_doc.FillImage();
}

void CVRX530View::LoadFromImage(int preset)
{
    DeviceImage image;
    {
        std::lock_guard lock(g_csImage);
        image = g_CurImage;
    }
    m_doc.LoadFromImage(image, preset);
}

void CVRX530View::SetTransferRange(int upper)
{
    m_popup->Progress()->SetRange(0, upper);
    m_popup->Progress()->SetPos(0);
}

void CVRX530View::ShowTransferPopup(int flag)
{
    m_popup->Show(flag);
}

void CVRX530View::SetTransferFactoryResetMode()
{
    m_popup->SetFactoryResetMode();
}

void CVRX530View::RefreshAfterPresetRead()
{
    RefreshChannelAssignments();
    RefreshFromImage();
    ShowPresetNameLocalized();
    m_pages.ReloadAdvancedSettings();
}

void CVRX530View::SelectAssignedChannel()
{
    m_pages.SelectAssignedChannel();
}

void CVRX530View::ShowNetworkSettings()
{
    m_pages.ShowNetworkSettings();
}

bool CVRX530View::ConfirmFactoryReset()
{
    CInitDlg dlg(this);
    return dlg.DoModal() == IDOK;
}

bool CVRX530View::ChooseAllPresetsFile()
{
    return m_presetCommands && m_presetCommands->ChooseAllPresetsFile();
}

void CVRX530View::Disconnect()
{
    if (m_ctrl->Connected())
        m_ctrl->OnConnectButton();
}
