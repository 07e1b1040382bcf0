// The Hi.Level mixing dialog with mixing on and tuned values, the input-connector picture in its
// three AUX modes and the advanced settings dialog with a linked output selected.

#include "gallery/Gallery.h"

#include "model/DeviceImage.h"
#include "panels/input/InputNoise.h"
#include "tests/support/ServiceDoubles.h"

namespace {

// Sets the globals a picture changes and puts them back when it is drawn.
struct ScopedBlocks {
    std::array<std::uint8_t, 8> block2 = ReadSysBlock(g_SysBlock2);
    std::array<std::uint8_t, 8> block5 = ReadSysBlock(g_SysBlock5);
    ~ScopedBlocks()
    {
        WriteSysBlock(g_SysBlock2, block2);
        WriteSysBlock(g_SysBlock5, block5);
    }
};

}  // namespace

ZK_GALLERY(hilevel_mixing)
{
    ScopedBlocks keep;
    g_nNoiseGateOn = 1;
    g_nNoiseParam1 = 70;    // −50 dBu
    g_nNoiseParamDb = 100;  // 20 dB
    g_nNoiseParamSec = 4;
    CQuietDeviceSync sync;
    CInputNoise dlg(sync);
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
