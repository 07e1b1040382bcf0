#include "app/MixInPutCom.h"

#include "app/ViewLogic.h"
#include "controls/BitmapSlider.h"
#include "controls/ConsoleStyle.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "panels/output/MixRows.h"
#include "panels/output/BTLMixRoute.h"
#include "panels/output/ReMap_Dlg.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/MixSkins.h"
#include "res/Skins.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <string>

namespace {

// Which input source (g_nInputSource) each hidden source label stands for.
constexpr int kLabelSource[12] = {1, 1, 1, 1, 1, 1, 3, 3, 0, 0, 2, 2};

QString LabelText(int i)
{
    switch (i) {
    case 6: case 7: return QString::fromStdString(TrArgs(StrId::MixLabelAux, {std::to_string(i - 5)}));
    case 8: return QTr(StrId::MixLabelOpticalLeft);
    case 9: return QTr(StrId::MixLabelOpticalRight);
    case 10: return QTr(StrId::MixLabelBleLeft);
    case 11: return QTr(StrId::MixLabelBleRight);
    default: return QString::fromStdString(TrArgs(StrId::MixLabelHiLevel, {std::to_string(i + 1)}));
    }
}

}  // namespace

CMixInPutCom::CMixInPutCom(QWidget *parent) : QDialog(parent)
{
    Skins::RegisterMixSkins();
    SetCtrlId(this, IDD);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    ApplyConsoleDialogStyle(this);
    setFixedSize(MixLayout::kMixerSize);
    setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i < 12; ++i) {
        m_labels[std::size_t(i)] = new CFontStatic(this, IDC_LABEL_FIRST + i);
        m_labels[std::size_t(i)]->hide();  // the template gives them no visible style
    }
    auto *table = CMessageTable::Ensure(this);
    table->On(WM_REMAP_CHANGED, [this](WPARAM w, LPARAM l) { return OnReMapChanged(w, l); });
    table->On(WM_REMAP_SELECT, [this](WPARAM w, LPARAM l) { return OnReMapSelect(w, l); });
}

CMixInPutCom::~CMixInPutCom() = default;

CReMap_Dlg *CMixInPutCom::Panel(int i) const { return i >= 0 && i < 8 ? m_panels[std::size_t(i)] : nullptr; }
IPairMixPanel *CMixInPutCom::PairPanel(int k) const { return k >= 0 && k < 4 ? m_pairs[std::size_t(k)].get() : nullptr; }
CFontStatic *CMixInPutCom::SourceLabel(int i) const { return i >= 0 && i < 12 ? m_labels[std::size_t(i)] : nullptr; }
QRect CMixInPutCom::FrameRect(int i) { return MixLayout::FrameRect(i); }

int CMixInPutCom::DoModal()
{
    OnInitDialog();
    const int result = exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    DestroyPanels();
    return result;
}

void CMixInPutCom::OnInitDialog()
{
    DestroyPanels();
    setFont(g_fontArial16);
    for (int i = 0; i < 8; ++i) {
        auto *panel = new CReMap_Dlg(this);
        panel->m_pOwner = this;
        panel->m_nChannel = i;
        panel->m_pRecord = m_pTree ? m_pTree->GetOut(i) : nullptr;
        panel->m_pTree = m_pTree;
        panel->OnInitDialog();
        panel->setGeometry(MixLayout::PanelRect(i));
        panel->show();
        m_panels[std::size_t(i)] = panel;
    }
    for (int k = 0; k < 4; ++k) {
        auto pair = std::make_unique<CBTLMixRoute>(this);
        const CReMap_Dlg *first = m_panels[std::size_t(2 * k)];
        for (int r = 1; r <= mixrow::kRows; ++r) {
            pair->SetRowText(r, first->Edit(r)->text());
            pair->SetRowPos(r, first->Slider(r)->GetPos());
        }
        pair->setGeometry(MixLayout::PairPanelRect(k));
        pair->hide();
        m_pairs[std::size_t(k)] = std::move(pair);
    }
    for (int k = 0; k < 4; ++k) {
        if (g_BtlPair[std::size_t(2 * k)].load() == 1) {
            m_panels[std::size_t(2 * k + 1)]->hide();
            m_pairs[std::size_t(k)]->Window()->show();
            m_pairs[std::size_t(k)]->Window()->update();
        }
    }
    m_nSelected = m_nLastSelected = 0;
    const int source = g_nInputSource.load();
    for (int i = 0; i < 12; ++i)
        m_labels[std::size_t(i)]->SetTextColor(kLabelSource[i] == source ? RGB(255, 255, 255) : kLabelGrey);
    // Everything the user may press watches for Enter, Esc and Tab and for presses.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    ApplyTexts();
    // The dialog itself holds the focus at first, so no edit shows a selection.
    setFocus(Qt::OtherFocusReason);
    update();
}

void CMixInPutCom::DestroyPanels()
{
    for (auto &panel : m_panels) {
        delete panel;
        panel = nullptr;
    }
    for (auto &pair : m_pairs)
        pair.reset();
}

void CMixInPutCom::ApplyTexts()
{
    setWindowTitle(QTr(StrId::MixerCaption));
    for (int i = 0; i < 12; ++i)
        m_labels[std::size_t(i)]->SetText(LabelText(i));
    update();
}

// ---- messages of the panels --------------------------------------------------------------------

LRESULT CMixInPutCom::OnReMapChanged(WPARAM wParam, LPARAM lParam)
{
    const int channel = mixrow::ChangeOutput(wParam);
    const int row = mixrow::ChangeRow(wParam);
    if (channel >= 0 && channel < 8 && g_BtlPair[std::size_t(channel)].load() == 1) {
        const CReMap_Dlg *panel = m_panels[std::size_t(channel)];
        IPairMixPanel *pair = m_pairs[std::size_t(channel / 2)].get();
        if (panel && pair && row >= 1 && row <= mixrow::kRows) {
            pair->SetRowText(row, panel->Edit(row)->text());
            pair->SetRowPos(row, panel->Slider(row)->GetPos());
        }
    }
    if (m_pOwnerView)
        PostMessageTo(m_pOwnerView, ViewMsg::MixTable, wParam, lParam);
    return 0;
}

LRESULT CMixInPutCom::OnReMapSelect(WPARAM wParam, LPARAM)
{
    const int channel = int(wParam);
    if (channel == m_nLastSelected || channel < 0 || channel >= 8)
        return 0;
    update(FrameRect(m_nSelected));
    m_nSelected = m_nLastSelected = channel;
    update(FrameRect(m_nSelected));
    return 0;
}

// ---- painting and keys -----------------------------------------------------------------------

void CMixInPutCom::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Skins::Bitmap(g_bChinese.load() ? kBackgroundChinese : kBackgroundEnglish));
    p.setPen(QPen(QColor(GetRValue(kFrameColour), GetGValue(kFrameColour), GetBValue(kFrameColour)), 1));
    p.setBrush(Qt::NoBrush);
    // The frame's right and bottom edges are inside the rectangle, as a GDI rectangle leaves them out.
    const QRect f = FrameRect(m_nSelected);
    p.drawRect(f.adjusted(0, 0, -1, -1));
}

void CMixInPutCom::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
        key == Qt::Key_Backtab) {
        setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool CMixInPutCom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
            key == Qt::Key_Backtab) {
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CMixInPutCom::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        ApplyTexts();
    QDialog::changeEvent(e);
}
