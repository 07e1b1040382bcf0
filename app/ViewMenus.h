#pragma once
// The main view's two popup menus, "Data" and "Options", with their command ids and their texts in
// the UI language (set again at each language change and before each opening). An item can be
// blocked: it keeps its normal look but neither a click, Enter nor its mnemonic chooses it, and the
// menu stays open, as a menu item disabled without greying behaves.

#include <QMenu>

namespace ViewCmd {
// Data menu
constexpr int LoadMachinePreset = 720;
constexpr int SaveMachinePreset = 721;
constexpr int DeleteMachinePreset = 722;
constexpr int LoadPresetFile = 723;
constexpr int LoadAllPresets = 724;
constexpr int SavePresetFile = 725;
constexpr int SaveAllPresets = 726;
// Options menu (728, Advanced, is deleted from it)
constexpr int FirmwareUpdate = 727;
constexpr int Advanced = 728;
constexpr int Language = 729;
constexpr int Help = 730;
constexpr int About = 731;
constexpr int FactoryReset = 738;
}  // namespace ViewCmd

class CViewPopupMenu : public QMenu {
    Q_OBJECT
public:
    // Menu 112 "Data": 720, 721, 722, separator, 723, 725, separator, 724, 726.
    static CViewPopupMenu *CreateDataMenu(QWidget *parent);
    // Menu 113 "Options": 729, 727, 738, 730, 731.
    static CViewPopupMenu *CreateOptionsMenu(QWidget *parent);

    explicit CViewPopupMenu(QWidget *parent = nullptr);

    QAction *AddCommand(int id);
    // The item of a command, or null.
    QAction *ActionOf(int id) const;
    // The command of an item, 0 for a separator or none.
    static int CommandOf(const QAction *action);
    // Blocks or frees the item at a position (separators count); positions past the end are ignored.
    void SetBlockedAt(int position, bool blocked);
    static bool IsBlocked(const QAction *action);
    // Re-reads every item's text in the UI language.
    void ApplyTexts();

protected:
    void changeEvent(QEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};

// The text of a menu command in the UI language. The language command names the other language:
// "English" in the Chinese UI; in the English UI "中文" on a Chinese (zh_CN) system, else "Chinese".
QString MenuCommandText(int id);

// True when the system's default locale is Chinese as spoken in China (Windows' 0x0804).
bool SystemLocaleIsChineseChina();
