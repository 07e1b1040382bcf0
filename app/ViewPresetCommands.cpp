// The main view's preset commands: the Data menu's machine-preset dialog (720..722), the PC preset
// files (723..726), the exit prompt's save, the all-presets file written when the device's presets
// have arrived, and the name shown after an all-presets load. The work is CPresetFileCommands' and
// CMachinePresetActions'; here are the file dialog, the remembered folders and the view's displays
// they reach through IPresetFileHost.

#include "app/VRX530View.h"

#include "app/MachinePresets.h"
#include "app/PresetFileCommands.h"
#include "app/ProgramDlg.h"
#include "controls/BitButton.h"
#include "controls/FileDialogEx.h"
#include "model/DeviceImage.h"
#include "model/TextFields.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"

#include <QFileDialog>

#include <algorithm>
#include <array>
#include <mutex>

// What the preset file commands need of the view: the file dialog, the folders of the settings
// file and the view's displays.
class CViewPresetFileHost final : public IPresetFileHost {
public:
    explicit CViewPresetFileHost(CVRX530View &view) : m_view(view) {}

    std::string LoadFileFolder(int kind) override
    {
        m_view.LoadFileFolder(kind);
        return m_view.FolderSettings().Folder(kind);
    }
    void SaveFileFolder(int kind, const std::string &folder) override
    {
        m_view.FolderSettings().SetFolder(kind, folder);
        m_view.SaveFileFolder(kind);
    }
    std::optional<std::string> ChooseFile(bool save, const std::string &defaultExt, const std::string &filter,
                                          const std::string &folder) override
    {
        QFileDialog dlg(&m_view);
        dlg.setObjectName(QStringLiteral("PresetFileDialog"));
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // A save takes new names and asks before replacing a file; a load takes existing files.
        dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dlg.setNameFilters(CFileDialogEx::ToNameFilters(QString::fromStdString(filter)));
        dlg.setDefaultSuffix(QString::fromStdString(defaultExt));
        if (!folder.empty())
            dlg.setDirectory(QString::fromStdString(folder));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles().first().toStdString();
    }
    void RefreshChannelAssignments() override { m_view.RefreshChannelAssignments(); }
    void SetPresetNameFromText(const std::string &text) override { m_view.SetPresetNameFromText(text); }
    void RefreshFromImage() override { m_view.RefreshFromImage(); }
    void CheckChannelSelection() override { m_view.Pages().CheckChannelSelection(); }
    void ShowLoadedPresetName() override { m_view.ShowLoadedPresetName(); }

private:
    CVRX530View &m_view;
};

void CVRX530View::InstallPresetCommands()
{
    m_presetHost = std::make_unique<CViewPresetFileHost>(*this);
    m_presetFiles = std::make_unique<CPresetFileCommands>(m_doc, *m_sync, m_boxes, *m_presetHost);
    m_machinePresets =
        std::make_unique<CMachinePresetActions>(*m_sync, *m_ctrl, m_boxes, [this] { ShowPresetName(1); });
    m_presetCommands = m_presetFiles.get();
}

// ---- the machine-preset dialog ----------------------------------------------------------------

void CVRX530View::RunMachinePresetDialog(int mode)
{
    CProgramDlg dlg(*m_machinePresets, mode, this);
    dlg.DoModal();
    g_pProgramDlg = nullptr;
}

void CVRX530View::OnMachinePresetLoad() { RunMachinePresetDialog(CProgramDlg::kLoad); }
void CVRX530View::OnMachinePresetSaveAs() { RunMachinePresetDialog(CProgramDlg::kSaveAs); }
void CVRX530View::OnMachinePresetDelete() { RunMachinePresetDialog(CProgramDlg::kDelete); }

// ---- preset files ------------------------------------------------------------------------------

void CVRX530View::OnMenuLoadPresetFile() { OnLoadPresetFile(); }
void CVRX530View::OnMenuLoadAllPresets() { OnLoadAllPresetsFile(); }
void CVRX530View::OnMenuSavePresetFile() { OnSavePresetFile(); }
void CVRX530View::OnMenuSaveAllPresets() { m_sync->RequestAllPresets(); }

int CVRX530View::OnSavePresetFile() { return m_presetCommands ? m_presetCommands->SavePresetFile() : 0; }
bool CVRX530View::OnLoadPresetFile() { return m_presetCommands && m_presetCommands->LoadPresetFile(); }
bool CVRX530View::OnLoadAllPresetsFile() { return m_presetCommands && m_presetCommands->LoadAllPresetsFile(); }
bool CVRX530View::OnChooseAllPresetsFile()
{
    return m_presetCommands && m_presetCommands->ChooseAllPresetsFile();
}

void CVRX530View::OnAllPresetsReceived()
{
    // The transfer ends whether or not the file could be written.
    if (m_presetCommands)
        m_presetCommands->WriteAllPresetsFile();
    g_bTransferring = 0;
}

bool CVRX530View::SaveOutputMapFile() { return m_presetFiles->SaveOutputMapFile(); }
bool CVRX530View::LoadOutputMapFile() { return m_presetFiles->LoadOutputMapFile(); }

void CVRX530View::ShowLoadedPresetName()
{
    std::array<std::uint8_t, DeviceImage::kNameSize> field{};
    {
        std::lock_guard lock(g_csImage);
        std::copy(g_CurImage.Name().begin(), g_CurImage.Name().end(), field.begin());
    }
    const std::string name = BufferToCString(field.data(), static_cast<int>(field.size()));
    m_btnPresetName->SetCheck(name.empty() ? 0 : 1);
    // "Custom" is stored and sent as it stands and shown in the interface's language.
    const QString shown = name == g_strCustomName ? QTr(StrId::PresetCustom) : QString::fromStdString(name);
    m_btnPresetName->setText(shown);
    g_bNamePending = 1;
}
