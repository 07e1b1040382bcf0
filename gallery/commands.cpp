// The main view's popups, the version dialog and the exit prompt.

#include "gallery/Gallery.h"

#include "app/AboutDlg.h"
#include "app/SaveData_Dlg.h"
#include "app/VersionDlg.h"
#include "app/ViewMenus.h"
#include "link/LinkState.h"

#include <QCoreApplication>

namespace {

QImage ShotOfMenu(CViewPopupMenu *menu)
{
    menu->ApplyTexts();
    menu->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    const QImage img = menu->grab().toImage();
    menu->hide();
    delete menu;
    return img;
}

}  // namespace

ZK_GALLERY(data_menu)
{
    return ShotOfMenu(CViewPopupMenu::CreateDataMenu(nullptr));
}

ZK_GALLERY(options_menu)
{
    return ShotOfMenu(CViewPopupMenu::CreateOptionsMenu(nullptr));
}

ZK_GALLERY(version_dialog)
{
    SetDeviceVersion("MPZ4-WV1.05");
    CCVersionDlg dlg;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    SetDeviceVersion({});
    return img;
}

ZK_GALLERY(exit_prompt)
{
    CSaveData_Dlg dlg;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

ZK_GALLERY(about_dialog)
{
    CAboutDlg dlg;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
