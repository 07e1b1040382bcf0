// The output page as the main view shows it: a shaped equaliser and crossovers on output 2,
// offline and connected.

#include "gallery/Gallery.h"
#include "gallery/OutputPageRig.h"

#include "services/PageRegistry.h"
#include "services/Services.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "controls/ComBoxBtn.h"
#include "controls/DropWnd.h"
#include "panels/output/OutputDlg.h"
#include "tests/support/ServiceDoubles.h"

#include <QCoreApplication>
#include <QPainter>

void Gallery::ShapeOutput(CKTV_OutData &out)
{
    const struct {
        int band, freq, gainCode, q;
    } bands[] = {{1, 32, 150, 60}, {4, 63, 240, 90}, {8, 160, 170, 40}, {12, 400, 215, 120},
                 {15, 800, 180, 30}, {19, 2500, 265, 110}, {23, 5000, 240, 80}, {27, 10000, 150, 50}};
    for (const auto &b : bands) {
        CFilter *f = out.GetBand(b.band);
        f->SetZero(0);
        f->SetFreq(b.freq, 1);
        f->SetBandwidthIndex(b.q);
        f->SetGainCode(b.gainCode);
    }
    out.GetHpf()->SetFreq(60, 1);
    out.GetHpf()->SetFamily(CFilter::kFamilyButterworth, 1);
    out.GetHpf()->SetSlope(3, 1);
    out.GetLpf()->SetFreq(12000, 1);
    out.GetLpf()->SetSlope(1, 1);
}

namespace {

QImage Render(bool online)
{
    g_bDeviceOnline = online ? 1 : 0;
    QImage img;
    {
        Gallery::OutputPageRig rig;
        rig.page.SelectBandLabel(19);
        img = Gallery::Shot(rig.page);
    }
    g_bDeviceOnline = 0;
    return img;
}

}  // namespace

ZK_GALLERY(output_page)
{
    return Render(false);
}

ZK_GALLERY(output_page_online)
{
    return Render(true);
}

// The high-pass family list open over the page, cut to the crossover corner.
ZK_GALLERY(output_crossover_list_open)
{
    Gallery::OutputPageRig rig;
    COutputDlg &page = rig.page;
    QImage img = Gallery::Shot(page);
    CComBoxBtn *list = page.HpfFamilyList();
    list->OpenList();
    QCoreApplication::processEvents();
    CDropWnd *drop = list->DropWnd();
    QImage out;
    if (drop && drop->isVisible()) {
        const QRect at(page.mapFromGlobal(drop->mapToGlobal(QPoint(0, 0))), drop->size());
        QPainter p(&img);
        p.drawImage(at.topLeft(), drop->grab().toImage());
        p.end();
        const QRect button(list->mapTo(&page, QPoint(0, 0)), list->size());
        out = img.copy(button.united(at).adjusted(-30, -48, 120, 30).intersected(img.rect()));
        drop->Hide();
    }
    return out;
}
