#include "app/ViewMenus.h"

#include "platform/qt/Language.h"
#include "res/Skins.h"

#include <QColor>

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMouseEvent>

namespace {

constexpr const char *kCommandProperty = "zkCommand";
constexpr const char *kBlockedProperty = "zkBlocked";

struct MenuText {
    int id;
    StrId text;
};
constexpr MenuText kMenuTexts[] = {
    {ViewCmd::LoadMachinePreset, StrId::MenuLoadMachinePreset},
    {ViewCmd::SaveMachinePreset, StrId::MenuSaveMachinePreset},
    {ViewCmd::DeleteMachinePreset, StrId::MenuDeleteMachinePreset},
    {ViewCmd::LoadPresetFile, StrId::MenuLoadPresetFile},
    {ViewCmd::LoadAllPresets, StrId::MenuLoadAllPresets},
    {ViewCmd::SavePresetFile, StrId::MenuSavePresetFile},
    {ViewCmd::SaveAllPresets, StrId::MenuSaveAllPresets},
    {ViewCmd::FirmwareUpdate, StrId::MenuFirmwareUpdate},
    {ViewCmd::Advanced, StrId::MenuAdvanced},
    {ViewCmd::FactoryReset, StrId::MenuFactoryReset},
    {ViewCmd::Language, StrId::MenuLanguage},
    {ViewCmd::Help, StrId::MenuHelp},
    {ViewCmd::About, StrId::MenuAbout},
};

// The mnemonic letter of a menu text ("Help(&F)" gives F), upper case; 0 when none.
QChar MnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&')
                return text[i + 1].toUpper();
            ++i;  // "&&" is a literal ampersand
        }
    }
    return {};
}

}  // namespace

bool SystemLocaleIsChineseChina()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::Chinese && system.territory() == QLocale::China;
}

QString MenuCommandText(int id)
{
    if (id == ViewCmd::Language && !g_bChinese.load() && SystemLocaleIsChineseChina())
        return QTr(StrId::MenuLanguageChinese);
    for (const MenuText &t : kMenuTexts) {
        if (t.id == id)
            return QTr(t.text);
    }
    return {};
}

CViewPopupMenu::CViewPopupMenu(QWidget *parent) : QMenu(parent)
{
    // The console's panel with a hairline edge; the hovered item lit in the accent colour.
    using namespace Skins::Palette;
    const auto hex = [](QRgb c) { return QColor::fromRgb(c).name(); };
    setStyleSheet(QStringLiteral("QMenu { background: %1; color: %2; border: 1px solid %3; padding: 3px 0; }"
                                 "QMenu::item { padding: 5px 28px 5px 18px; background: transparent; }"
                                 "QMenu::item:selected { background: %4; color: white; }"
                                 "QMenu::separator { height: 1px; background: %5; margin: 4px 8px; }")
                      .arg(hex(Panel), hex(Text), hex(PanelLight), hex(0xFF0B6A8C), hex(PanelLight)));
}

CViewPopupMenu *CViewPopupMenu::CreateDataMenu(QWidget *parent)
{
    auto *menu = new CViewPopupMenu(parent);
    menu->setObjectName(QStringLiteral("DataMenu"));
    menu->AddCommand(ViewCmd::LoadMachinePreset);
    menu->AddCommand(ViewCmd::SaveMachinePreset);
    menu->AddCommand(ViewCmd::DeleteMachinePreset);
    menu->addSeparator();
    menu->AddCommand(ViewCmd::LoadPresetFile);
    menu->AddCommand(ViewCmd::SavePresetFile);
    menu->addSeparator();
    menu->AddCommand(ViewCmd::LoadAllPresets);
    menu->AddCommand(ViewCmd::SaveAllPresets);
    return menu;
}

CViewPopupMenu *CViewPopupMenu::CreateOptionsMenu(QWidget *parent)
{
    auto *menu = new CViewPopupMenu(parent);
    menu->setObjectName(QStringLiteral("OptionsMenu"));
    // The resource's order is 729, 727, 728, 738, 730, 731; the view deletes 728 (Advanced) so its
    // dialog can never be chosen.
    menu->AddCommand(ViewCmd::Language);
    menu->AddCommand(ViewCmd::FirmwareUpdate);
    menu->AddCommand(ViewCmd::FactoryReset);
    menu->AddCommand(ViewCmd::Help);
    menu->AddCommand(ViewCmd::About);
    return menu;
}

QAction *CViewPopupMenu::AddCommand(int id)
{
    QAction *a = addAction(MenuCommandText(id));
    a->setProperty(kCommandProperty, id);
    return a;
}

QAction *CViewPopupMenu::ActionOf(int id) const
{
    for (QAction *a : actions()) {
        if (CommandOf(a) == id)
            return a;
    }
    return nullptr;
}

int CViewPopupMenu::CommandOf(const QAction *action)
{
    return action ? action->property(kCommandProperty).toInt() : 0;
}

void CViewPopupMenu::SetBlockedAt(int position, bool blocked)
{
    const QList<QAction *> all = actions();
    if (position >= 0 && position < all.size())
        all[position]->setProperty(kBlockedProperty, blocked);
}

bool CViewPopupMenu::IsBlocked(const QAction *action)
{
    return action && action->property(kBlockedProperty).toBool();
}

void CViewPopupMenu::ApplyTexts()
{
    for (QAction *a : actions()) {
        if (const int id = CommandOf(a))
            a->setText(MenuCommandText(id));
    }
}

void CViewPopupMenu::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        ApplyTexts();
    QMenu::changeEvent(e);
}

void CViewPopupMenu::mouseReleaseEvent(QMouseEvent *e)
{
    // A blocked item is not chosen; the menu stays open.
    if (IsBlocked(actionAt(e->position().toPoint()))) {
        e->accept();
        return;
    }
    QMenu::mouseReleaseEvent(e);
}

void CViewPopupMenu::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_Select) {
        if (IsBlocked(activeAction())) {
            e->accept();
            return;
        }
    } else if (!e->text().isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // A mnemonic chooses its item when no other item shares the letter: a blocked item's
        // letter only moves the highlight to it.
        const QChar letter = e->text().front().toUpper();
        QAction *match = nullptr;
        int matches = 0;
        for (QAction *a : actions()) {
            if (!a->isSeparator() && a->isVisible() && MnemonicOf(a->text()) == letter) {
                match = a;
                ++matches;
            }
        }
        if (matches == 1 && IsBlocked(match)) {
            setActiveAction(match);
            e->accept();
            return;
        }
    }
    QMenu::keyPressEvent(e);
}
