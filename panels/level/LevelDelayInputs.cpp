// The level page's input area: the choice of the active input, shared with the input page, and
// the arrangement of the six input columns for the inputs the device has.
#include "panels/level/LevelDelayDlg.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "model/DeviceImage.h"
#include "model/ModeItemTable.h"
#include "protocol/CommandFrame.h"
#include "res/Strings.h"
#include "services/PageRegistry.h"
#include "services/Services.h"
#include "platform/qt/WindowMessages.h"

using namespace levelpage;

void CLevel_Delay_Dlg::InitInputColumns()
{
    // The places the template gives the six columns; the layouts move columns onto them.
    for (int i = 0; i < kInputs; ++i)
        m_inputPlaces[std::size_t(i)] = {Control(IDC_INPUT_FADER + i)->geometry(), Control(IDC_INPUT_EDIT + i)->geometry(),
                                         Control(IDC_INPUT_BUTTON + i)->geometry()};
}

void CLevel_Delay_Dlg::ShowInputColumn(int input, bool shown)
{
    if (auto *edit = Edit(IDC_INPUT_EDIT + input))
        edit->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    if (auto *button = Button(IDC_INPUT_BUTTON + input))
        button->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    if (QWidget *fader = Control(IDC_INPUT_FADER + input))
        fader->setVisible(shown);
}

void CLevel_Delay_Dlg::MoveInputColumn(int input, int place)
{
    const InputColumn &p = m_inputPlaces[std::size_t(place)];
    // Each control keeps its own size and is centred on the place's column.
    const auto moveTo = [](QWidget *w, const QRect &r) { w->move(r.center().x() - (w->width() - 1) / 2, r.top()); };
    moveTo(Control(IDC_INPUT_FADER + input), p.fader);
    moveTo(Control(IDC_INPUT_EDIT + input), p.edit);
    moveTo(Control(IDC_INPUT_BUTTON + input), p.button);
    update();
}

void CLevel_Delay_Dlg::RefreshInputs()
{
    if (const auto places = InputColumnPlaces(g_nInputLayout.load())) {
        for (int i = 0; i < kInputs; ++i) {
            const int place = (*places)[std::size_t(i)];
            if (place < 0) {
                ShowInputColumn(i, false);
                continue;
            }
            // S/PDIF and Phone are shown where the layout has them; the others keep their
            // visibility (the AUX group decides it).
            if (i == 0 || i == 2)
                ShowInputColumn(i, true);
            MoveInputColumn(i, place);
        }
    }
    LabelInputButtons();
    CheckInputButtons();
}

void CLevel_Delay_Dlg::ShowAuxColumns()
{
    if (const auto shown = AuxColumnsShown(g_nInputGroup.load())) {
        ShowInputColumn(4, (*shown)[0]);
        ShowInputColumn(5, (*shown)[1]);
    }
}

void CLevel_Delay_Dlg::LabelInputButtons()
{
    const bool alt = g_bAltInputMode.load() != 0;
    for (int i = 0; i < kInputs; ++i) {
        const int b = (g_bChinese.load() ? 4850 : 4810) + i;
        const int checked = alt ? b + 30 : b + 20;
        Button(IDC_INPUT_BUTTON + i)->SetBitmaps(b, b + 10, b + 20, checked, checked, checked);
    }
}

void CLevel_Delay_Dlg::CheckInputButtons()
{
    const int sel = g_nSelInput.load();
    for (int i = 0; i < kInputs; ++i)
        Button(IDC_INPUT_BUTTON + i)->SetCheck(i == sel ? 1 : 0);
}

void CLevel_Delay_Dlg::SelectInput(int i)
{
    if (i < 0 || i >= kInputs)
        return;
    // The input page hears of the change with the state from before it.
    if (auto *inputPage = dynamic_cast<QObject *>(g_pInputPage))
        PostMessageTo(inputPage, WM_INPUT_REFRESH, WPARAM(g_bAltInputMode.load()), LPARAM(g_nSelInput.load()));
    if (g_bAltInputMode.load()) {
        g_bAltInputMode = 0;
        m_sync.QueueDeviceCommand(SYS_VOLUME, 0);
        LabelInputButtons();
    }
    if (i != g_nSelInput.load()) {
        g_nSelInput = i;
        g_nInputSource = static_cast<std::uint8_t>(i);
        CheckInputButtons();
        // The mixer's main source must be one the new input offers; the input page shows the
        // source it fell back to.
        if (!g_ModeItemTable.Select(i, g_nInputGroup.load()) && g_pInputPage)
            g_pInputPage->RefreshSourceButton();
        m_sync.QueueDeviceCommand(SYS_INPUT, 0);
    }
    SelectOutput(-1);
}

void CLevel_Delay_Dlg::OnInputRefresh(int altMode, int selectedInput)
{
    if (altMode != int(g_bAltInputMode.load()))
        LabelInputButtons();
    if (selectedInput != g_nSelInput.load())
        CheckInputButtons();
}
