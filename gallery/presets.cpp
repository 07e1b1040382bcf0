// The machine-preset dialog in its three modes and the preset-name dialog, with six presets as a
// device might hold them (one deleted, one with a long name).

#include "gallery/Gallery.h"

#include "app/MachinePresets.h"
#include "app/ProgramDlg.h"
#include "app/SaveDlg.h"
#include "model/DeviceImage.h"
#include "model/TextFields.h"
#include "tests/support/ServiceDoubles.h"

#include <QApplication>

namespace {

using NoSync = CQuietDeviceSync;

struct NoLink : ILinkStatus {
    bool Connected() const override { return true; }
    void ShowLinkFailure() override {}
    void ReconnectLink() override {}
};

struct NoBoxes : IMessageBoxService {
    int ShowMessage(const std::string &, unsigned, int) override { return IDOK; }
};

// Six stored names in the interface's language.
void FillPresets()
{
    const bool cn = Gallery::Chinese();
    const char *en[] = {"Custom", "Club Night", "Live Stage", "", "Highway Cruise", "Karaoke Hall"};
    const char *zh[] = {"自定义", "夜店", "现场舞台", "", "高速巡航", "卡拉OK厅"};
    for (int p = 1; p <= kMachinePresetCount; ++p) {
        auto &image = g_MachinePresets[static_cast<std::size_t>(p - 1)];
        std::fill(image.bytes.begin(), image.bytes.begin() + DeviceImage::kNameSize, 0);
        CStringToBufferTerminated(image.data(), DeviceImage::kNameSize, cn ? zh[p - 1] : en[p - 1]);
    }
}

QImage ProgramDialog(int mode)
{
    FillPresets();
    NoSync sync;
    NoLink link;
    NoBoxes boxes;
    CMachinePresetActions actions(sync, link, boxes, [] {});
    CProgramDlg dlg(actions, mode);
    dlg.InitDialog();
    // Preset 3 chosen, as after a click on its row.
    dlg.Grid().SetSelectedRange(3, 0, 3, 1);
    dlg.Grid().SetFocusCell(3, 1);
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

}  // namespace

ZK_GALLERY(machine_presets_load) { return ProgramDialog(CProgramDlg::kLoad); }
ZK_GALLERY(machine_presets_save_as) { return ProgramDialog(CProgramDlg::kSaveAs); }
ZK_GALLERY(machine_presets_delete) { return ProgramDialog(CProgramDlg::kDelete); }

ZK_GALLERY(preset_name_dialog)
{
    FillPresets();
    CSaveDlg dlg;
    dlg.m_nPreset = 5;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
