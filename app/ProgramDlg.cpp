#include "app/ProgramDlg.h"

#include "app/MachinePresets.h"
#include "app/SaveDlg.h"
#include "controls/ConsoleStyle.h"
#include "controls/DisplayDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace {

constexpr int kRows = 7;  // the header and presets 1..6
constexpr int kCols = 2;  // number, name
constexpr unsigned kCellFormat = 0x8025;  // centred on one line, ellipsis at the end
constexpr int kNameColumnWidth = 262;

// The console's colours in the roles the grid reads its colours from.
QPalette ConsoleGridPalette(QPalette pal)
{
    using namespace Skins::Palette;
    const auto set = [&](QPalette::ColorRole role, QRgb c) { pal.setColor(role, QColor::fromRgb(c)); };
    set(QPalette::Window, Panel);
    set(QPalette::WindowText, Text);
    set(QPalette::Base, 0xFF1F2329);
    set(QPalette::Text, Text);
    set(QPalette::Button, PanelLight);
    set(QPalette::ButtonText, Text);
    set(QPalette::Dark, Background);
    set(QPalette::Light, 0xFF4A515D);
    set(QPalette::Midlight, 0xFF3E4450);
    set(QPalette::Shadow, Frame);
    set(QPalette::Highlight, 0xFF0B6A8C);
    set(QPalette::HighlightedText, 0xFFFFFFFF);
    return pal;
}

bool IsPresetRow(int row) { return row >= 1 && row <= 6; }

}  // namespace

CProgramDlg::CProgramDlg(CMachinePresetActions &actions, int mode, QWidget *parent)
    : QDialog(parent), m_actions(actions), m_nMode(mode >= kLoad && mode <= kDelete ? mode : kLoad)
{
    InitQtGlobals();
    setModal(true);
    // Template 170: 245 x 120 dialog units of Arial 9.
    const DialogUnits u = SetUpTemplateDialog(this, MakePointFont(QStringLiteral("Arial"), 90), QSize(245, 120), false);

    // The template's placeholder, which the grid takes over.
    auto *placeholder = new QFrame(this);
    placeholder->setFrameStyle(QFrame::Box | QFrame::Plain);
    placeholder->setGeometry(DluRect(21, 4, 201, 92, u));
    SetCtrlId(placeholder, IDC_GRID);
    m_btnAction = new QPushButton(this);
    SetCtrlId(m_btnAction, IDC_ACTION);
    m_btnAction->setGeometry(DluRect(52, 101, 50, 14, u));
    m_btnCancel = new QPushButton(this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(141, 101, 50, 14, u));
    // Enter never presses a button here (see eventFilter).
    for (QPushButton *b : {m_btnAction, m_btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
    }
    connect(m_btnAction, &QPushButton::clicked, this, [this] { OnActionButton(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });

    m_askName = [this](int preset) -> std::optional<QString> {
        CSaveDlg dlg(this);
        dlg.m_nPreset = preset;
        if (dlg.DoModal() != IDOK)
            return std::nullopt;
        return dlg.m_strName;
    };

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_NOTIFY, [this](WPARAM, LPARAM l) { return OnNotify(l); });
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
        OnCommand(w);
        return 0;
    });
    table->On(WM_PROGRAM_SAVEAS, [this](WPARAM, LPARAM) -> LRESULT {
        if (IsPresetRow(m_saveAsCell.row))
            SaveAsPreset();
        return 0;
    });
    table->On(WM_PROGRAM_LOAD, [this](WPARAM, LPARAM) -> LRESULT {
        if (IsPresetRow(m_loadCell.row))
            LoadPreset();
        return 0;
    });
    table->On(WM_PROGRAM_DELETE, [this](WPARAM, LPARAM) -> LRESULT {
        if (IsPresetRow(m_deleteCell.row))
            DeletePreset();
        return 0;
    });

    // The transfer popup finds the dialog through g_pProgramDlg while it is open.
    CDisplayDlg::SetProgramDlgLookup([] { return static_cast<QWidget *>(g_pProgramDlg.load()); });
}

CProgramDlg::~CProgramDlg()
{
    // The view clears it after the modal loop; a dialog that goes first never leaves it dangling.
    CProgramDlg *self = this;
    g_pProgramDlg.compare_exchange_strong(self, nullptr);
}

// ---- set-up ------------------------------------------------------------------------------------

void CProgramDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    m_nSelPreset = 1;
    DDX_GridCtrl(this, IDC_GRID, m_Grid);
    m_Grid.setPalette(ConsoleGridPalette(m_Grid.palette()));
    m_Grid.installEventFilter(this);
    SetupGrid();
    FillGrid();
    g_pProgramDlg = this;
}

void CProgramDlg::SetupGrid()
{
    m_Grid.SetRowCount(kRows);
    m_Grid.SetFixedRowCount(1);
    m_Grid.SetColumnCount(kCols);
    m_Grid.SetFixedColumnCount(1);
    m_Grid.SetColumnWidth(1, kNameColumnWidth);
    m_Grid.SetRowResizing(false);
    m_Grid.SetSingleSelect(true);
    m_Grid.SetEditable(false);
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kCols; ++col) {
            GRID_ITEM item;
            item.row = row;
            item.col = col;
            item.mask = GRID_MASK_TEXT | GRID_MASK_FORMAT;
            item.format = kCellFormat;
            m_Grid.SetItem(&item);
        }
    m_Grid.SetItemText(0, 0, QStringLiteral("No."));
    m_Grid.SetItemText(0, 1, QStringLiteral("Name"));
    m_Grid.SetSelectedRange(1, 0, 1, m_Grid.GetColumnCount() - 1);
    m_Grid.EnsureVisible(1, 0);
    m_Grid.SetLineColor(RGB(51, 153, 255));
    m_Grid.SetFont(g_fontArial16);
}

void CProgramDlg::FillGrid()
{
    for (int p = 1; p <= 6; ++p) {
        const QString name = QString::fromStdString(CMachinePresetActions::PresetName(p));
        m_strName = name;
        m_Grid.SetItemText(p, 1, name);
        m_Grid.SetItemText(p, 0, QString::number(p));
    }
    m_Grid.SetFocusCell(1, 1);
    UpdateModeTexts();
    update();
}

void CProgramDlg::UpdateModeTexts()
{
    m_Grid.SetEditable(false);
    static constexpr StrId kTitle[] = {StrId::PresetLoadTitle, StrId::PresetSaveAsTitle, StrId::PresetDeleteTitle};
    static constexpr StrId kButton[] = {StrId::PresetLoadButton, StrId::PresetSaveButton, StrId::PresetDeleteButton};
    setWindowTitle(QTr(kTitle[m_nMode]));
    m_btnAction->setText(QTr(kButton[m_nMode]));
    m_Grid.SetItemText(0, 0, QTr(StrId::PresetHeaderNumber));
    m_Grid.SetItemText(0, 1, QTr(StrId::PresetHeaderName));
    m_Grid.RedrawRow(0);
    m_btnCancel->setText(QTr(StrId::Quit));
}

void CProgramDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        UpdateModeTexts();
    QDialog::changeEvent(e);
}

int CProgramDlg::DoModal()
{
    InitDialog();
    return exec();
}

// ---- events ------------------------------------------------------------------------------------

bool CProgramDlg::Remember(CGridCellPos &slot, CGridCellPos cell)
{
    if (!IsPresetRow(cell.row))
        return false;
    slot = cell;
    return true;
}

void CProgramDlg::OnActionButton()
{
    const CGridCellPos focus = m_Grid.GetFocusCell();
    switch (m_nMode) {
    case kLoad:
        if (Remember(m_loadCell, focus))
            LoadPreset();
        break;
    case kSaveAs:
        if (Remember(m_saveAsCell, focus))
            SaveAsPreset();
        break;
    default:
        if (Remember(m_deleteCell, focus))
            DeletePreset();
        break;
    }
}

LRESULT CProgramDlg::OnNotify(LPARAM lParam)
{
    const auto *nm = reinterpret_cast<const GRID_CELL_NOTIFY *>(lParam);
    if (!nm || nm->hdr.idFrom != IDC_GRID)
        return 0;
    const CGridCellPos cell(nm->row, nm->col);
    auto *table = CMessageTable::Of(this);
    switch (nm->hdr.code) {
    case NM_DBLCLK:
        // The action runs once the grid has finished with the double click.
        if (m_nMode == kLoad && Remember(m_loadCell, cell))
            table->PostMessage(WM_PROGRAM_LOAD);
        else if (m_nMode == kSaveAs && Remember(m_saveAsCell, cell))
            table->PostMessage(WM_PROGRAM_SAVEAS);
        else if (m_nMode == kDelete && Remember(m_deleteCell, cell))
            table->PostMessage(WM_PROGRAM_DELETE);
        return 0;
    case LVN_ENDLABELEDIT:
        if (Remember(m_saveAsCell, cell))
            table->PostMessage(WM_PROGRAM_SAVEAS);
        return 0;
    case LVN_DELETEITEM:
        // The grid has emptied the cell; a non-zero answer gives it its text back, so a preset
        // that was not deleted (No, or no device) shows its name again.
        if (!Remember(m_deleteCell, cell))
            return 1;
        return RunDelete() ? 0 : 1;
    default:
        return 0;
    }
}

void CProgramDlg::OnCommand(WPARAM wParam)
{
    const CGridCellPos cell = m_Grid.GetRightClickedCell();
    switch (LOWORD(wParam)) {
    case ID_GRID_PRESET_LOAD:
        if (Remember(m_loadCell, cell))
            LoadPreset();
        break;
    case ID_GRID_PRESET_SAVEAS:
        if (Remember(m_saveAsCell, cell))
            SaveAsPreset();
        break;
    case ID_GRID_PRESET_DELETE:
        if (Remember(m_deleteCell, cell))
            DeletePreset();
        break;
    default:
        break;  // the grid's click notices
    }
}

bool CProgramDlg::eventFilter(QObject *watched, QEvent *e)
{
    // Enter and Esc only move the focus to the dialog: they neither act nor close it. The grid
    // still sees its keys; the buttons see none of these, so Enter never presses one and Tab or
    // the arrows do not move between them.
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        const bool enterOrEsc = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
        if (enterOrEsc)
            setFocus();
        if (watched != &m_Grid) {
            const bool navigation = key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Left ||
                                    key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
            if (enterOrEsc || navigation)
                return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void CProgramDlg::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        setFocus();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- actions -----------------------------------------------------------------------------------

void CProgramDlg::LoadPreset()
{
    m_nSelPreset = m_loadCell.row;
    m_actions.Load(m_nSelPreset);
}

void CProgramDlg::SaveAsPreset()
{
    const int row = m_saveAsCell.row;
    if (!IsPresetRow(row) || !m_askName)
        return;
    const std::optional<QString> name = m_askName(row);
    if (!name)
        return;
    m_strName = *name;
    m_nSelPreset = row;
    if (m_actions.SaveAs(row, m_strName.toStdString()) == CMachinePresetActions::SaveResult::Stored)
        m_Grid.SetItemText(row, 1, m_strName);  // as typed; the view shows it trimmed
    m_Grid.SetItemText(row, 0, QString::number(row));
    m_Grid.RedrawRow(row);
}

void CProgramDlg::DeletePreset()
{
    RunDelete();
}

bool CProgramDlg::RunDelete()
{
    const int row = m_deleteCell.row;
    if (!IsPresetRow(row))
        return false;
    m_nSelPreset = row;
    const bool deleted = m_actions.Delete(row);
    if (deleted) {
        m_strName.clear();
        m_Grid.SetItemText(row, 1, QString());
    }
    // A delete from the number column leaves the number.
    m_Grid.SetItemText(row, 0, QString::number(row));
    m_Grid.RedrawRow(row);
    return deleted;
}
