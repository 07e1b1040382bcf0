#pragma once
// The real HID devices, through hidapi's hidraw backend (device nodes /dev/hidrawN).

#include "link/UsbHid.h"

class CHidApiBackend : public IHidBackend {
public:
    CHidApiBackend();
    ~CHidApiBackend() override;

    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<IHidHandle> Open(const std::string &path, OpenError &error) override;
};
