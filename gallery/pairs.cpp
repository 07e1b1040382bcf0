// Bridged pairs: the output page with outputs 3 and 4 (indexes 2 and 3) bridged, the pair panel
// standing in the second strip's place.

#include "gallery/Gallery.h"
#include "gallery/OutputPageRig.h"

#include "services/PageRegistry.h"
#include "services/Services.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/input/Link_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "res/Skins.h"
#include "tests/support/ServiceDoubles.h"

ZK_GALLERY(output_page_pair)
{
    Gallery::OutputPageRig rig;
    COutputDlg &page = rig.page;
    CKTV_OutData &first = rig.Shown();
    // Lines 1, 2 and AUX1 and the left S/PDIF feed the pair (after the load, which takes the
    // levels from the image).
    for (int k = 0; k < 8; ++k)
        first.SetGroup33Byte(k, k == 0 || k == 1 || k == 6 ? 90 : 0);
    first.SetExtra(0, 100);
    first.SetExtra(1, 0);
    first.SetGain(520);
    first.SetDelay(150);
    first.SetPolarity(1);
    page.RefreshChannel();
    page.OnPairButton(1);
    const QImage img = Gallery::Shot(page);
    for (auto &v : g_BtlPair)
        v = 0;
    return img;
}

namespace {

// The strips' masks for the link editor's pictures: outputs 5 and 6 (indexes 4 and 5) linked.
class PictureMasks : public ILinkMaskHost {
public:
    PictureMasks()
    {
        for (int i = 0; i < 8; ++i)
            m_masks[std::size_t(i)] = 1 << i;
        m_masks[4] = m_masks[5] = 0x30;
        m_masks[6] = m_masks[7] = 0xC0;
    }
    int LinkMask(int i) const override { return m_masks[std::size_t(i)]; }
    void SetLinkMask(int i, int m) override { m_masks[std::size_t(i)] = m; }
    void PostLinkApply(int, int) override {}

private:
    std::array<int, 8> m_masks{};
};

QImage LinkEditor(bool create)
{
    PictureMasks masks;
    CAppMessageBoxes boxes;
    CLink_Dlg dlg(masks, boxes);
    dlg.m_nOwnOutput = create ? 2 : 1;
    dlg.m_bCreateMode = create ? 1 : 0;
    dlg.m_bJoinMode = create ? 0 : 1;
    dlg.InitDialog();
    return Gallery::Shot(dlg);
}

}  // namespace

ZK_GALLERY(link_editor_create)
{
    return LinkEditor(true);
}

ZK_GALLERY(link_editor_join)
{
    return LinkEditor(false);
}
