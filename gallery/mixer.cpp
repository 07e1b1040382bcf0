// The mixer dialog with eight outputs of varied source levels, the Hi.Level source active; the
// output map reset question and the two link prompts.
#include "gallery/Gallery.h"

#include "app/HiLevelSourceDlg.h"
#include "app/MixInPutCom.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/input/All_Link_Dlg.h"
#include "panels/input/CH_Link_Dlg.h"
#include "panels/output/MixRows.h"
#include "panels/output/ReMap_Dlg.h"
#include "panels/output/ReSetDlg.h"
#include "platform/qt/WindowMessages.h"

#include <QCoreApplication>

ZK_GALLERY(mixer_dialog)
{
    CKTV_Data tree;
    for (int c = 0; c < 8; ++c)
        for (int r = 1; r <= mixrow::kRows; ++r)
            mixrow::SetLevel(*tree.GetOut(c), r, (c * 13 + r * 29) % 101);
    const int source = g_nInputSource.load();
    g_nInputSource = 1;
    CMixInPutCom dlg;
    dlg.m_pTree = &tree;
    dlg.OnInitDialog();
    SendMessageTo(&dlg, WM_REMAP_SELECT, 2, 0);
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    dlg.DestroyPanels();
    g_nInputSource = source;
    return img;
}

// Outputs 3 and 4 bridged: the pair panel stands in for output 4's panel.
ZK_GALLERY(mixer_dialog_bridged)
{
    CKTV_Data tree;
    for (int c = 0; c < 8; ++c)
        for (int r = 1; r <= mixrow::kRows; ++r)
            mixrow::SetLevel(*tree.GetOut(c), r, (c * 17 + r * 23) % 101);
    const int pair = g_BtlPair[2].load();
    g_BtlPair[2] = 1;
    CMixInPutCom dlg;
    dlg.m_pTree = &tree;
    dlg.OnInitDialog();
    SendMessageTo(&dlg, WM_REMAP_SELECT, 2, 0);
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    dlg.DestroyPanels();
    g_BtlPair[2] = pair;
    return img;
}

ZK_GALLERY(map_reset_dialog)
{
    CReSetDlg dlg;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

ZK_GALLERY(link_prompt_sides)
{
    CAll_Link_Dlg dlg;
    dlg.OnInitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

ZK_GALLERY(link_prompt_channel)
{
    CCH_Link_Dlg dlg;
    dlg.m_nPair = 1;
    dlg.OnInitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

// The empty dialog the main view holds beside the mixer.
ZK_GALLERY(hilevel_source_dialog)
{
    CHiLevelSourceDlg dlg;
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
