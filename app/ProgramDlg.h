#pragma once
// The machine-preset dialog: the six presets stored in the device, listed by number and name in a
// read-only grid, with one action by mode (0 load, 1 save as, 2 delete) on its button and on a
// double click, all three on the grid's context menu, and delete on the Delete key. The actions
// are CMachinePresetActions'; the dialog stays open until Quit. While open it is g_pProgramDlg,
// which the transfer popup keeps disabled while an action's transfer runs.

#include "grid/GridCtrl.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class CMachinePresetActions;
class QPushButton;

// Messages the dialog posts to itself; the row travels in the remembered cell.
inline constexpr unsigned WM_PROGRAM_SAVEAS = WM_USER + 400;
inline constexpr unsigned WM_PROGRAM_LOAD = WM_USER + 401;
inline constexpr unsigned WM_PROGRAM_DELETE = WM_USER + 402;

class CProgramDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 170;
    static constexpr int IDC_GRID = 2724;
    static constexpr int IDC_ACTION = 2727;
    enum Mode { kLoad = 0, kSaveAs = 1, kDelete = 2 };

    CProgramDlg(CMachinePresetActions &actions, int mode, QWidget *parent = nullptr);
    ~CProgramDlg() override;

    // Sets the dialog up and runs it until Quit (or the close box).
    int DoModal();
    // The set-up DoModal runs: grid, names, texts, g_pProgramDlg.
    void InitDialog();

    // The name dialog of a save-as for preset p: the typed name, or nullopt when cancelled.
    // By default a CSaveDlg; tests put a script in its place.
    using NameAsker = std::function<std::optional<QString>(int preset)>;
    void SetNameAsker(NameAsker asker) { m_askName = std::move(asker); }

    int Mode() const { return m_nMode; }
    int SelectedPreset() const { return m_nSelPreset; }
    CComboGridCtrl &Grid() { return m_Grid; }
    QPushButton *ActionButton() const { return m_btnAction; }
    QPushButton *CancelButton() const { return m_btnCancel; }

    // The actions, each on the row of its remembered cell (rows 1..6; the header row does nothing).
    void OnActionButton();
    void LoadPreset();
    void SaveAsPreset();
    void DeletePreset();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void SetupGrid();
    void FillGrid();
    void UpdateModeTexts();
    LRESULT OnNotify(LPARAM lParam);
    void OnCommand(WPARAM wParam);
    // Remembers the cell for an action; false for a row that names no preset.
    bool Remember(CGridCellPos &slot, CGridCellPos cell);
    // The delete action; true when the preset was deleted.
    bool RunDelete();

    CMachinePresetActions &m_actions;
    QPushButton *m_btnCancel;
    QPushButton *m_btnAction;
    int m_nMode;
    CComboGridCtrl m_Grid;
    int m_nSelPreset = 1;
    QString m_strName;
    CGridCellPos m_saveAsCell{1, 1}, m_loadCell{1, 1}, m_deleteCell{1, 1};
    NameAsker m_askName;
    bool m_bInitialised = false;
};
