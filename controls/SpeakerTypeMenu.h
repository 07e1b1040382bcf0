#pragma once
// The process-wide speaker-type popup menu: one item per speaker type 0..24, command 4100 + type,
// with the type's name, in Chinese (menu 106) or in English (menu 107). The program's start-up
// loads the Chinese one and the output page's language switch loads it again in the UI
// language; nothing shows it. A load only records the id: the menu itself is made when first asked
// for. UI thread only, with the application object alive; a made menu goes with the application
// object at the latest.

#include <QMenu>
#include <QPointer>

class QAction;

class CSpeakerTypeMenu {
public:
    static constexpr int IDR_CHINESE = 106, IDR_ENGLISH = 107;
    static constexpr int ID_FIRST_TYPE = 4100;  // the item of type t is 4100 + t

    // Destroys the loaded menu and loads menu `menuId`; another id than 106 or 107 leaves none
    // loaded and returns false.
    bool LoadMenu(int menuId);
    void DestroyMenu();
    // The loaded menu's id, 0 while none is loaded.
    int MenuId() const { return m_nMenuId; }
    // The loaded menu, made at the first call after a load; null while none is loaded.
    QMenu *Menu() const;
    // The item with command `id`, or null.
    QAction *Item(int id) const;

private:
    mutable QPointer<QMenu> m_menu;
    int m_nMenuId = 0;
};

extern CSpeakerTypeMenu g_menuSpeakerType;
