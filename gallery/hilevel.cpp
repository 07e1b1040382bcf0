// The Hi.Level mixing dialog with mixing on and tuned values, the input-connector picture in its
// three AUX modes and the advanced settings dialog with a linked output selected.

#include "gallery/Gallery.h"

#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/input/Adv_Seting.h"
#include "panels/input/InMode_Dlg.h"
#include "panels/input/InputNoise.h"
#include "res/Skins.h"
#include "tests/support/ServiceDoubles.h"

#include <QColor>

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

struct CQuietBoxes : IMessageBoxService {
    int ShowMessage(const std::string &, unsigned, int) override { return IDOK; }
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

ZK_GALLERY(input_connectors)
{
    const int group = g_nInputGroup.load(), selected = g_nSelInput.load();
    const QSize size = Skins::NaturalSize(SkinType::Png, CInMode_Dlg::kPanelPng);
    Gallery::Sheet sheet(1, size.width() + 16, size.height() + 30, 3);
    // AUX mode 0 with AUX2 selected, mode 1 with AUX1, mode 2 with Hi.Level.
    const int picks[3] = {4, 3, 1};
    for (int mode = 0; mode < 3; ++mode) {
        g_nInputGroup = mode;
        g_nSelInput = picks[mode];
        CInMode_Dlg picture;
        picture.ShowAuxButtons();
        picture.CheckSelectedInput();
        sheet.Add(QStringLiteral("AUX mode %1").arg(mode), Gallery::On(picture, QColor(0x1B, 0x1E, 0x23)));
    }
    g_nInputGroup = group;
    g_nSelInput = selected;
    return sheet.Image();
}

ZK_GALLERY(advanced_settings)
{
    ScopedBlocks keep;
    const int anyLink = g_bAnyLink.load();
    std::array<int, 8> groups{};
    for (int i = 0; i < 8; ++i)
        groups[std::size_t(i)] = g_LinkGroups[std::size_t(i)].load();
    // Outputs 2 and 3 share a link group; output 2 is selected, its limiter at −6 dBu.
    g_bAnyLink = 1;
    g_LinkGroups[1] = 3;
    g_LinkGroups[2] = 3;
    g_nSys5Byte3 = 40;
    CKTV_Data root;
    root.GetOut(1)->SetLimitThreshold(240);
    CQuietDeviceSync sync;
    CPageRegistry pages;
    CQuietBoxes boxes;
    CAdv_Seting dlg(sync, pages, boxes);
    dlg.m_pRoot = &root;
    dlg.InitDialog();
    dlg.SelectRow(1);
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    g_bAnyLink = anyLink;
    for (int i = 0; i < 8; ++i)
        g_LinkGroups[std::size_t(i)] = groups[std::size_t(i)];
    return img;
}
