// The main window and the dialogs of the application shell.

#include "gallery/Gallery.h"

#include "app/UpgradeDlg.h"
#include "app/VRX530View.h"
#include "model/KTV_Data.h"
#include "platform/Settings.h"

namespace {

// The view as the program shows it, on the loopback address of the gallery's settings.
struct ViewRig {
    CKTV_Data doc;
    CVRX530View view{doc};
    ViewRig()
    {
        view.Backend().Net().SetPinger([](const std::string &) { return false; });
        view.resize(1204, 699);
    }
};

}  // namespace

// The main window after its initial update: title strip, tab, skins of the language.
ZK_GALLERY(main_view)
{
    // The saved language is the one being drawn (the initial update applies the saved one).
    AppSettings().Write("DspMcu", "Language", Gallery::Chinese() ? "Chinese" : "English");
    ViewRig rig;
    rig.view.OnInitialUpdate();
    return Gallery::Shot(rig.view);
}

// Connected, with the preset renamed "Custom" by an edit.
ZK_GALLERY(main_view_connected)
{
    AppSettings().Write("DspMcu", "Language", Gallery::Chinese() ? "Chinese" : "English");
    ViewRig rig;
    rig.view.OnInitialUpdate();
    rig.view.ShowConnectedState(true);
    rig.view.OnPresetCustom();
    return Gallery::Shot(rig.view);
}

ZK_GALLERY(update_dialog)
{
    ViewRig rig;
    CUpgradeDlg dlg(rig.view.UpdateLink());
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
