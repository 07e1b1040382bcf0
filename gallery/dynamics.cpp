// The limiter curve at three thresholds, and the dynamics dialog of the eight outputs with a few
// limiters set, two outputs linked and the noise gate on.

#include "gallery/Gallery.h"

#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "panels/input/CurSYSDlg.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "res/Strings.h"

#include <QString>

using namespace Gallery;

ZK_GALLERY(limiter_curve)
{
    static CKTV_Data root;
    struct Shown {
        int output;
        int threshold;
    };
    const Shown shown[] = {{0, 420}, {2, 300}, {5, 150}};
    Sheet sheet(3, 260, 300, 1);
    for (const Shown &s : shown) {
        root.GetOut(s.output)->SetLimitThreshold(s.threshold);
        CCOM_EXT_LIMStatic curve;
        curve.resize(240, 250);
        curve.CalcLayout();
        curve.SetMode(CCOM_EXT_LIMStatic::kModeLimiter);
        curve.SetChannelArray(&root);
        curve.SelectChannel(s.output);
        const QString label = QString::fromStdString(TrArgs(StrId::StripChannel, {std::to_string(s.output + 1)})) +
                              QStringLiteral("  %1dBu").arg(s.threshold * 0.1 - 30, 0, 'f', 1);
        sheet.Add(label, Shot(curve));
        curve.hide();
    }
    return sheet.Image();
}

ZK_GALLERY(dynamics_dialog)
{
    static CKTV_Data root;
    static bool set = false;
    if (!set) {
        set = true;
        const int thresholds[8] = {300, 300, 250, 360, 420, 180, 330, 270};
        for (int i = 0; i < 8; ++i) {
            CKTV_OutData &out = *root.GetOut(i);
            out.SetLimitThreshold(thresholds[i]);
            out.SetLimitAttack(i % 2 ? 4 : 26);
            out.SetLimitRelease(i % 3 ? 450 : 150);
        }
        root.GetMusicIn(0)->SetThreshold(40);
    }
    CCurSYSDlg dlg(root);
    dlg.InitDialog();
    // As a user first sees it: no edit focused, so no value shows a selection.
    dlg.show();
    dlg.setFocus();
    QImage img = Shot(dlg);
    dlg.hide();
    return img;
}
