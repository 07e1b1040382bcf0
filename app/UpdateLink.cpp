#include "app/UpdateLink.h"

#include "app/LinkController.h"
#include "link/FirmwareFile.h"
#include "link/FirmwareUpdate.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"
#include "res/Strings.h"

CUpdateLink::CUpdateLink(CLinkController &controller, ILinkBackend &backend, CFirmwareUpdateEngine &engine)
    : m_controller(controller), m_backend(backend), m_engine(engine)
{
}

std::vector<std::string> CUpdateLink::FindDevices()
{
    return m_backend.EnumerateHidDevices();
}

bool CUpdateLink::NetReachable()
{
    return m_backend.NetReachable();
}

void CUpdateLink::CloseLink()
{
    m_controller.CloseLink();
}

bool CUpdateLink::OpenUsbForUpdate(const std::string &path)
{
    return m_controller.OpenUsbForUpdate(path);
}

bool CUpdateLink::OpenNetworkForUpdate()
{
    return m_controller.OpenNetworkForUpdate();
}

bool CUpdateLink::StartUpdateLink(int polling)
{
    return m_controller.StartUpdateLink(polling);
}

void CUpdateLink::AbortUpdateLink()
{
    m_controller.AbortUpdateLink();
}

void CUpdateLink::ForgetUpdateLinkMode()
{
    m_controller.ForgetUpdateLinkMode();
}

bool CUpdateLink::LoadFirmwareFile()
{
    FirmwareFile file;
    const auto result = FirmwareFile::Load(g_strFirmwareFile.Get(), file);
    if (result != FirmwareFile::Result::Ok) {
        const bool cn = g_bChinese.load() != 0;
        ShowMessage(Tr(StrId::UpdateFileError, cn), MB_OK, cn ? -2 : -3);
        if (result == FirmwareFile::Result::CannotOpen)
            g_strFirmwareFile = std::string();
        return false;
    }
    for (auto &b : g_HexInfo)
        b = 0;
    m_engine.Load(file);
    return true;
}

int CUpdateLink::BlockTotal() const
{
    return m_engine.BlockTotal();
}

void CUpdateLink::SetTip(const std::string &text)
{
    if (m_tip)
        m_tip(text);
}
