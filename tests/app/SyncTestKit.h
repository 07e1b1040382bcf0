#pragma once
// What the device-synchronisation and channel-send tests share: a host that counts what the
// operations asked of the view, and the send queue drained into decoded frames.
#include "app/DeviceSync.h"

#include "link/KTVCommand.h"
#include "protocol/SendData.h"

#include <cstdint>
#include <vector>

struct FakeHost : ISyncHost {
    int resets = 0, fills = 0, loads = 0, popups = 0, disconnects = 0, failures = 0, refreshes = 0;
    int range = -1;
    bool confirm = true, chooseFile = true;
    void ResetChanges() override { ++resets; }
    void FillImage() override { ++fills; }
    void LoadFromImage(int) override { ++loads; }
    void ApplySpeakerTypes() override {}
    void SetTransferRange(int upper) override { range = upper; }
    void ShowTransferPopup(int) override { ++popups; }
    void SetTransferFactoryResetMode() override {}
    void RefreshAfterPresetRead() override { ++refreshes; }
    void SetInputSource(int, int) override {}
    void SelectAssignedChannel() override {}
    void ShowNetworkSettings() override {}
    bool ConfirmFactoryReset() override { return confirm; }
    bool ChooseAllPresetsFile() override { return chooseFile; }
    void ShowLinkFailure() override { ++failures; }
    void Disconnect() override { ++disconnects; }
    void ClearNetReachable() override {}
};

// One queued frame, decoded.
struct Q {
    int cmd, preset, type, channel, param, index, sendNow, last, notify;
    std::vector<std::uint8_t> payload;
};

inline std::vector<Q> Drain(CKTVCommand &c)
{
    std::vector<Q> out;
    while (CSendData *f = c.GetFront()) {
        const auto &b = f->Frame();
        out.push_back({b[4], b[6], b[7], b[8], b[9], f->GetIndex(), f->GetSendNow(), f->GetLastInBatch(),
                       f->GetNotifyDone(), std::vector<std::uint8_t>(b.begin() + 14, b.end() - 2)});
        c.PopFront();
    }
    return out;
}
