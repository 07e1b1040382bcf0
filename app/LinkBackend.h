#pragma once
// The link layer the main view runs on: the worker, the USB transport over a HID backend (hidapi
// in the program, the simulated device in tests), the network link, the serial port, and the
// firmware update steps plugged into the worker.

#include "app/LinkController.h"
#include "link/FirmwareUpdate.h"
#include "link/LinkWorker.h"
#include "link/Net_Socket.h"
#include "link/SerialPort.h"
#include "link/UsbHid.h"

#include <memory>

class CKTVCommand;
class CKTV_Data;
class IMessageTarget;

class CLinkBackend : public ILinkBackend {
public:
    // doc may be null (no scheduler: the worker then only sends what is queued).
    CLinkBackend(CKTVCommand &command, CKTV_Data *doc, IHidBackend &hid, IMessageTarget *view);
    ~CLinkBackend() override;

    void StartCommThread() override;
    void StopCommThread(bool full) override;

    std::vector<std::string> EnumerateHidDevices() override;
    bool IsUsbPathFree(const std::string &path) override;
    bool OpenUsbDevice(const std::string &path) override;
    void CloseUsbDevice() override;
    void UnmarkUsbPath() override;
    std::string UsbOpenProblem() override;

    bool IsOnDeviceSubnet() override;
    bool NetReachable() override;
    void ClearNetReachable() override;
    bool NetConnect() override;
    void NetClose() override;
    void StartPing() override;
    void StopPing(bool keepThread) override;

    bool OpenSerial(const std::string &port) override;
    bool CloseSerial() override;

    CUsbHid &Usb() { return m_usb; }
    CNet_Socket &Net() { return m_net; }
    CLinkWorker &Worker() { return m_worker; }
    CFirmwareUpdateEngine &Engine() { return m_engine; }
    CFirmwareUpdater &Updater() { return m_updater; }

private:
    class UsbChannel;
    class NetChannel;
    class SerialReceiver;

    CKTVCommand &m_command;
    IMessageTarget *m_view;
    CUsbHid m_usb;
    CNet_Socket m_net;
    CLinkWorker m_worker;
    CSerialPort m_serial;
    CFirmwareUpdateEngine m_engine;
    CFirmwareUpdater m_updater;
    std::unique_ptr<UsbChannel> m_usbChannel;
    std::unique_ptr<NetChannel> m_netChannel;
    std::unique_ptr<SerialReceiver> m_serialReceiver;
};
