// The level and delay page: a car with front two-way doors, a centre, rear full-range speakers
// and two subwoofers, the front left doors' delays locked, outputs at various levels with the
// meters showing a status reply.

#include "gallery/Gallery.h"

#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "model/SpeakerGroups.h"
#include "model/SpeakerType.h"
#include "panels/level/LevelDelayDlg.h"
#include "tests/support/ServiceDoubles.h"

namespace {

QImage Render()
{
    CKTV_Data doc;
    CQuietDeviceSync sync;
    // Outputs: FL tweeter, FL woofer, FR tweeter, FR woofer, centre, RL full, L sub, R sub.
    static constexpr int kTypes[8] = {1, 3, 7, 9, 21, 15, 22, 23};
    static constexpr int kGains[8] = {540, 560, 540, 560, 500, 480, 600, 600};
    static constexpr int kDelays[8] = {96, 90, 40, 36, 60, 0, 140, 150};
    static constexpr int kMeters[8] = {0x07, 0x08, 0x06, 0x09 | 0x40, 0x05, 0x03, 0x09 | 0x60, 0x09 | 0x70};
    ResetSpeakerTypeStates();
    for (int i = 0; i < 8; ++i) {
        SetWorkingSpeakerType(i, kTypes[i]);
        CKTV_OutData *out = doc.GetOut(i);
        out->SetGain(kGains[i]);
        out->SetDelay(kDelays[i]);
        out->SetOn(i != 5);
        g_MeterLevels[std::size_t(6 + i)] = kMeters[i];
    }
    doc.GetOut(1)->SetPolarity(1);
    for (int i = 0; i < 6; ++i)
        doc.GetMusicIn(i)->SetGain(480 + 20 * i);
    RebuildSpeakerGroups();
    g_SpeakerGroups.frontLeft.state = 1;
    g_nMasterVolume = 54;
    g_bMasterOn = 1;
    g_nSelInput = 1;
    g_nInputLayout = 3;
    g_nInputGroup = 0;

    CLevel_Delay_Dlg page(sync);
    page.SetKTVData(&doc);
    page.RefreshAll();
    page.RefreshInputs();
    page.UpdateMeters();
    page.SelectOutput(2);
    const QImage img = Gallery::Shot(page);
    page.hide();

    for (auto &level : g_MeterLevels)
        level = 0;
    g_SpeakerGroups.frontLeft.state = 0;
    ResetSpeakerTypeStates();
    g_nMasterVolume = 60;
    g_nSelInput = 0;
    return img;
}

}  // namespace

ZK_GALLERY(level_page)
{
    return Render();
}
