#include "controls/SpeakerTypeMenu.h"

#include "model/SpeakerType.h"

#include <QCoreApplication>
#include <QMenu>

CSpeakerTypeMenu g_menuSpeakerType;

namespace {

// A menu must not outlive the application object, whose destructor runs this first.
void DestroyAtExit()
{
    g_menuSpeakerType.DestroyMenu();
}

}  // namespace

bool CSpeakerTypeMenu::LoadMenu(int menuId)
{
    DestroyMenu();
    if (menuId != IDR_CHINESE && menuId != IDR_ENGLISH)
        return false;
    static const bool cleanupAdded = [] {
        qAddPostRoutine(DestroyAtExit);
        return true;
    }();
    (void)cleanupAdded;
    m_nMenuId = menuId;
    return true;
}

QMenu *CSpeakerTypeMenu::Menu() const
{
    if (m_menu || m_nMenuId == 0)
        return m_menu;
    const bool chinese = m_nMenuId == IDR_CHINESE;
    m_menu = new QMenu;
    m_menu->setObjectName(QStringLiteral("SpeakerTypeMenu"));
    // The names keep the doubled ampersand of "FL-M && T", which the menu shows as one.
    for (int t = 0; t < kSpeakerTypeCount; ++t) {
        QAction *item = m_menu->addAction(QString::fromUtf8(SpeakerTypeName(t, chinese)));
        item->setData(ID_FIRST_TYPE + t);
    }
    return m_menu;
}

void CSpeakerTypeMenu::DestroyMenu()
{
    delete m_menu.data();
    m_menu = nullptr;
    m_nMenuId = 0;
}

QAction *CSpeakerTypeMenu::Item(int id) const
{
    QMenu *menu = Menu();
    if (!menu)
        return nullptr;
    for (QAction *a : menu->actions())
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}
