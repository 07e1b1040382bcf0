// The output strips in their states, the master volume strip and the curve overlay selector, as
// the output page places them, and the link badges of the ten groups.

#include "gallery/Gallery.h"

#include "services/Services.h"
#include "controls/BitButton.h"
#include "model/DeviceImage.h"
#include "model/OutputPageContract.h"
#include "panels/output/Changnal_Line.h"
#include "panels/output/GainDlg.h"
#include "panels/output/LinkButtonLogic.h"
#include "panels/output/OutRoute_Dlg.h"
#include "res/Skins.h"
#include "res/StripSkins.h"
#include "tests/support/ServiceDoubles.h"

#include <QCoreApplication>
#include <QPainter>

using Gallery::Chinese;

namespace {

using NoSync = CQuietDeviceSync;

class Ground : public QWidget {
public:
    explicit Ground(QSize size) { resize(size); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromRgb(Skins::Palette::Background));
    }
};

QImage grabShown(QWidget &w)
{
    w.show();
    QCoreApplication::processEvents();
    return w.grab().toImage();
}

}  // namespace

ZK_GALLERY(output_strips)
{
    ResetDeviceImageGlobals();
    g_nSelOutput.store(0);
    g_bMasterOn.store(0);  // the master muted: its button shows on
    g_LinkGroups[0].store(1);
    g_LinkGroups[1].store(1);
    g_LinkGroups[3].store(2);
    for (auto &f : g_CurveOverlayFlags)
        f.store(0);
    g_CurveOverlayFlags[1].store(1);
    g_CurveOverlayFlags[3].store(1);

    Ground page(QSize(790, 262));
    NoSync sync;
    CGainDlg master(sync, &page);
    master.move(3, 36);
    master.SetGain(54);  // -6 dB

    COutRoute_Dlg *strips[4];
    for (int i = 0; i < 4; ++i) {
        strips[i] = new COutRoute_Dlg(&page, i);
        strips[i]->setGeometry(int(118 + 136.5 * i) - 10, 4, 119, 254);
        strips[i]->UpdateLinkButtonLook();
    }
    // Output 1: selected, linked in group 1, gain -3.5 dB, delay 2.5 ms, line input routed.
    strips[0]->SetSelected(1);
    strips[0]->SetGain(565);
    strips[0]->SetDelay(120);
    strips[0]->SetRoute(1, 1);
    strips[0]->LinkButton()->SetCheck(1);
    // Output 2: in output 1's group, muted, inverted, line and digital inputs routed (so the
    // fourth toggle is disabled).
    strips[1]->SetSelected(1);
    strips[1]->SetGain(565);
    strips[1]->SetMute(0);
    strips[1]->SetPhase(1);
    strips[1]->SetRoute(1, 1);
    strips[1]->SetRoute(3, 1);
    strips[1]->LinkButton()->SetCheck(1);
    // Output 3: gain OFF, delay shown in centimetres, Bluetooth routed.
    strips[2]->SetGain(0);
    strips[2]->SetDelay(480);
    strips[2]->SetDelayUnit(2);
    strips[2]->SetRoute(2, 1);
    // Output 4: group 2, -12 dB, delay in inches.
    strips[3]->SetGain(480);
    strips[3]->SetDelay(960);
    strips[3]->SetDelayUnit(3);
    strips[3]->LinkButton()->SetCheck(1);

    CChangnal_Line overlay(&page);
    overlay.move(page.width() - 44, 30);
    return grabShown(page);
}

ZK_GALLERY(strip_link_badges)
{
    ResetDeviceImageGlobals();
    Skins::RegisterStripSkins();
    Ground page(QSize(12 * 50 + 8, 30));
    // Group numbers 1..10, then an editor mask and a stray value, which show the plain bitmap.
    const int values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x0F, 0};
    for (int i = 0; i < 12; ++i) {
        auto *b = new CBitButton(&page, 2844);
        const bool cn = Chinese();
        b->SetBitmaps(cn ? 890 : 892, cn ? 890 : 892, cn ? 890 : 892);
        b->SetCheckedBitmap(CLinkButtonLogic::BadgeBitmap(values[i], cn));
        b->SetCheck(values[i] != 0);
        b->move(6 + 50 * i, 6);
    }
    return grabShown(page);
}
