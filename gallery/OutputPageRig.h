#pragma once
// The output page as the gallery's pictures show it: output 3 (index 2) selected, its equaliser
// and crossovers shaped (Gallery::ShapeOutput), loaded on quiet services. The selection goes back
// to the first output with the rig.

#include "gallery/Gallery.h"

#include "model/KTV_Data.h"
#include "panels/output/OutputDlg.h"
#include "model/DeviceImage.h"
#include "services/PageRegistry.h"
#include "services/Services.h"
#include "tests/support/ServiceDoubles.h"

namespace Gallery {

class OutputPageRig {
    // First of the members: the page is made with the selection in place and gone before it ends.
    struct Selection {
        Selection() { g_nSelOutput = 2; }
        ~Selection() { g_nSelOutput = 0; }
    } m_selection;

public:
    OutputPageRig() : page(sends, sync, boxes, pages)
    {
        ShapeOutput(Shown());
        page.SetKTVData(&doc);
        page.LoadChannelRecords();
    }
    ~OutputPageRig() { page.hide(); }
    OutputPageRig(const OutputPageRig &) = delete;
    OutputPageRig &operator=(const OutputPageRig &) = delete;

    CKTV_OutData &Shown() { return *doc.GetOut(2); }

    CKTV_Data doc;
    CQuietChannelSends sends;
    CQuietDeviceSync sync;
    CAppMessageBoxes boxes;
    CPageRegistry pages;
    COutputDlg page;
};

}  // namespace Gallery
