// The input page: AUX1 selected with a shaped input equaliser, in PEQ and in GEQ mode.

#include "gallery/Gallery.h"

#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/ModeItemTable.h"
#include "model/Music_InData.h"
#include "panels/input/InPutDlg.h"
#include "services/Services.h"
#include "tests/support/ServiceDoubles.h"

namespace {

void ShapeInput(CMusic_InData &in)
{
    const struct {
        int band, freq, gainCode, q;
    } bands[] = {{0, 40, 150, 60}, {2, 100, 250, 90}, {5, 400, 170, 40}, {8, 1600, 230, 110},
                 {11, 5000, 260, 70}, {13, 10000, 140, 50}};
    for (const auto &b : bands) {
        CFilter *f = in.GetBand(b.band);
        f->SetZero(0);
        f->SetFreq(b.freq, 1);
        f->SetBandwidthIndex(b.q);
        f->SetGainCode(b.gainCode);
    }
    in.GetBand(6)->SetZero(1);
}

QImage Render(bool geq)
{
    CKTV_Data doc;
    CQuietChannelSends sends;
    CQuietDeviceSync sync;
    CAppMessageBoxes boxes;
    g_ModeItemTable.Init();
    g_nSelInput = 3;
    g_nInputSource = 3;
    g_nInputGroup = 0;
    g_ModeItemTable.mainSource = 1;
    g_ModeItemTable.Select(3, 0);
    CMusic_InData &in = *doc.GetMusicIn(3);
    in.SetEqMode(geq ? 1 : 0);
    ShapeInput(in);
    CInPutDlg page(sends, sync, boxes);
    page.SetKTVData(&doc);
    page.ShowSelectedInput();
    page.FocusBand(8);
    const QImage img = Gallery::Shot(page);
    page.hide();
    g_nSelInput = 0;
    g_nInputSource = 0;
    g_ModeItemTable.Init();
    return img;
}

}  // namespace

ZK_GALLERY(input_page)
{
    return Render(false);
}

ZK_GALLERY(input_page_geq)
{
    return Render(true);
}
