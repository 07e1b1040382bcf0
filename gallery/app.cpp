// The main window and the dialogs of the application shell.

#include "gallery/Gallery.h"

#include "app/UpgradeDlg.h"
#include "app/VRX530View.h"
#include "model/KTV_Data.h"

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

ZK_GALLERY(main_view)
{
    ViewRig rig;
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
