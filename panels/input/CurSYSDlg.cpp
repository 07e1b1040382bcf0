#include "panels/input/CurSYSDlg.h"

#include "controls/ConsoleStyle.h"
#include "controls/FontStatic.h"
#include "controls/GroupBoxEx.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "model/Music_InData.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QEvent>
#include <QKeyEvent>

#include <algorithm>
#include <vector>

namespace {

// The template: 730 x 271 dialog units in Arial 8.
constexpr int kWidthDlu = 730, kHeightDlu = 271;
// Boxes: four columns, two rows; the fourth column is two units wider.
constexpr int kBoxX[4] = {39, 210, 382, 554};
constexpr int kBoxY[2] = {35, 153};
constexpr int kBoxW = 166, kBoxWLast = 168, kBoxH = 108;
// Columns in a box: the limiter's edits, the curve, the compressor's edits.
constexpr int kLimitX[4] = {42, 213, 385, 557};
constexpr int kCompX[4] = {158, 329, 501, 674};
constexpr int kCurveX[4] = {88, 259, 431, 603};
constexpr int kCurveTop = 14, kCurveW = 67, kCurveH = 90;
constexpr int kEditW = 44, kEditWNarrow = 40, kEditH = 12;
// Row labels left of each row of boxes: level, attack, release (ids 5600 + 3 r + k); ratio apart.
constexpr int kLabelX = 8, kLabelW = 30;
constexpr int kRowLabelRows[3] = {13, 65, 91};
constexpr int kRatioRow = 39;
constexpr int kLabelHeight = 15;  // font height of the labels, in pixels
// The step control sits at the edit's right, inside the edit's template rectangle.
constexpr int kSpinWidth = 13;

QFont TemplateFont() { return MakePointFont(QStringLiteral("Arial"), 80); }

COLORREF TextColour() { return ToColorRef(QColor::fromRgb(Skins::Palette::Text)); }

}  // namespace

CCurSYSDlg::CCurSYSDlg(CKTV_Data &root, QWidget *parent) : QDialog(parent), m_root(root)
{
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(TemplateFont());
    ApplyConsoleDialogStyle(this);
    setFixedSize(DluSize(kWidthDlu, kHeightDlu, DialogUnitsOf(font())));
    CreateControls();
    CMessageTable::Ensure(this)->On(WM_COMMAND, [this](WPARAM w, LPARAM) { return OnCommand(int(LOWORD(w))); });
}

CCurSYSDlg::~CCurSYSDlg() = default;

void CCurSYSDlg::CreateControls()
{
    const DialogUnits u = DialogUnitsOf(font());
    const auto editPair = [&](int editId, int spinId, QRect r) {
        auto *edit = new CNumEdit(this);
        SetCtrlId(edit, editId);
        edit->setGeometry(r.adjusted(0, 0, -kSpinWidth, 0));
        edit->setAlignment(Qt::AlignCenter);
        auto *spin = new CNumSpin(this);
        SetCtrlId(spin, spinId);
        spin->setGeometry(r.right() - kSpinWidth + 1, r.top(), kSpinWidth, r.height());
        return std::pair{edit, spin};
    };

    for (int i = 0; i < kOutputs; ++i) {
        const int col = i % 4;
        const int top = kBoxY[i / 4];
        auto *box = new CGroupBoxEx(this, IDC_BOX + i);
        box->setGeometry(DluRect(kBoxX[col], top, col == 3 ? kBoxWLast : kBoxW, kBoxH, u));
        box->SetTextColor(TextColour(), false);
        box->SetLineColors(ToColorRef(QColor::fromRgb(Skins::Palette::Frame)),
                           ToColorRef(QColor::fromRgb(Skins::Palette::PanelLight).lighter(130)), false);
        box->lower();
        m_box[std::size_t(i)] = box;

        for (int v = 0; v < kValues; ++v) {
            const ValueSpec &s = kValueSpecs[std::size_t(v)];
            const int x = s.column == 0 ? kLimitX[col] : kCompX[col];
            const int w = (s.column == 0 && col == 3) ? kEditWNarrow : kEditW;
            const auto [edit, spin] = editPair(s.editId + i, s.spinId + i, DluRect(x, top + s.row, w, kEditH, u));
            m_edit[Index(i, Value(v))] = edit;
            m_spin[Index(i, Value(v))] = spin;
        }
        auto *curve = new CCOM_EXT_LIMStatic(this, IDC_CURVE + i);
        curve->setGeometry(DluRect(kCurveX[col], top + kCurveTop, kCurveW, kCurveH, u));
        m_curve[std::size_t(i)] = curve;
    }

    const auto label = [&](int id, QRect r) {
        auto *l = new CFontStatic(this, id);
        l->setGeometry(r);
        return l;
    };
    for (int r = 0; r < 2; ++r) {
        for (int k = 0; k < 3; ++k)
            m_rowLabel[std::size_t(3 * r + k)] =
                label(IDC_ROW_LABEL + 3 * r + k, DluRect(kLabelX, kBoxY[r] + kRowLabelRows[k], kLabelW, kEditH, u));
        m_ratioLabel[std::size_t(r)] = label(r == 0 ? IDC_RATIO_LABEL_TOP : IDC_RATIO_LABEL_BOTTOM,
                                             DluRect(kLabelX, kBoxY[r] + kRatioRow, kLabelW, kEditH, u));
    }
    m_sourceLabel = label(IDC_SOURCE_LABEL, DluRect(42, 7, 60, 10, u));
    m_noiseLabel = label(IDC_NOISE_LABEL, DluRect(130, 2, 60, 10, u));
    // Nothing fills the source list and a pick of it does nothing: it stays empty and disabled.
    m_source = new QComboBox(this);
    SetCtrlId(m_source, IDC_SOURCE);
    m_source->setGeometry(DluRect(39, 18, 60, 12, u));
    m_source->setEnabled(false);
    const auto [noiseEdit, noiseSpin] = editPair(IDC_NOISE_EDIT, IDC_NOISE_SPIN, DluRect(127, 13, kEditW, kEditH, u));
    m_noiseEdit = noiseEdit;
    m_noiseSpin = noiseSpin;
}

void CCurSYSDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    for (CFontStatic *l : m_rowLabel) {
        l->SetFontStatic(QString(), kLabelHeight, TextColour(), SS_LEFT);
        l->SetAlignLeft(1);
    }
    for (CFontStatic *l : m_ratioLabel) {
        l->SetFontStatic(QString(), kLabelHeight, TextColour(), SS_LEFT);
        l->SetAlignLeft(1);
    }
    for (CFontStatic *l : {m_sourceLabel, m_noiseLabel})
        l->SetFontStatic(QString(), kLabelHeight, TextColour(), SS_LEFT);
    ApplyTexts();

    m_noiseSpin->SetBuddy(m_noiseEdit);
    m_noiseEdit->SetScale(1.0);
    m_noiseEdit->SetOffset(120.0);
    m_noiseEdit->SetType(23, QString());
    m_noiseEdit->setMaxLength(8);
    m_noiseSpin->SetRange(kNoiseMin, kNoiseMax);

    InitControls();
    LoadValues();
}

int CCurSYSDlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CCurSYSDlg::InitControls()
{
    for (int i = 0; i < kOutputs; ++i) {
        for (int v = 0; v < kValues; ++v) {
            const ValueSpec &s = kValueSpecs[std::size_t(v)];
            CNumEdit *edit = m_edit[Index(i, Value(v))];
            CNumSpin *spin = m_spin[Index(i, Value(v))];
            spin->SetBuddy(edit);
            edit->SetScale(s.scale);
            edit->SetOffset(s.offset);
            edit->SetType(s.type, QString::fromLatin1(s.unit));
            spin->SetRange(s.min, s.max);
        }
        CCOM_EXT_LIMStatic *curve = m_curve[std::size_t(i)];
        curve->CalcLayout();
        curve->SetMode(CCOM_EXT_LIMStatic::kModeLimiter);
    }
}

void CCurSYSDlg::LoadValues()
{
    m_pNoiseGate = m_root.GetMusicIn(0);
    m_noiseSpin->SetPos(m_pNoiseGate->GetThreshold());
    for (int i = 0; i < kOutputs; ++i) {
        const CKTV_OutData &out = *m_root.GetOut(i);
        Spin(i, LimitThreshold)->SetPos(out.GetLimitThreshold());
        Spin(i, LimitAttack)->SetPos(out.GetLimitAttack());
        Spin(i, LimitRelease)->SetPos(out.GetLimitRelease() + 50);
        // The records keep no compressor values: every compressor control starts at its minimum.
        for (Value v : {CompThreshold, CompAttack, CompRelease, Ratio})
            Spin(i, v)->SetPos(kValueSpecs[std::size_t(v)].min);
        m_curve[std::size_t(i)]->SetChannelArray(&m_root);
        m_curve[std::size_t(i)]->SelectChannel(i);
    }
}

void CCurSYSDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::DynCaption));
    for (int i = 0; i < kOutputs; ++i)
        m_box[std::size_t(i)]->SetText(QString::fromStdString(TrArgs(StrId::DynChannelBox, {std::to_string(i + 1)})));
    for (int r = 0; r < 2; ++r) {
        m_rowLabel[std::size_t(3 * r)]->SetText(QTr(StrId::DynLevel));
        m_rowLabel[std::size_t(3 * r + 1)]->SetText(QTr(StrId::DynAttack));
        m_rowLabel[std::size_t(3 * r + 2)]->SetText(QTr(StrId::DynRelease));
        m_ratioLabel[std::size_t(r)]->SetText(QTr(StrId::DynRatio));
    }
    m_sourceLabel->SetText(QTr(StrId::DynSource));
    m_noiseLabel->SetText(QTr(StrId::DynNoiseGate));
    FitRowLabels();
}

void CCurSYSDlg::FitRowLabels()
{
    // A row label wider than its template box moves left, so that it ends before the boxes'
    // frame instead of being cut or crossing it.
    const int boxLeft = m_box[0]->x();
    const int templateX = DluRect(kLabelX, 0, 1, 1, DialogUnitsOf(font())).x();
    std::vector<CFontStatic *> labels(m_rowLabel.begin(), m_rowLabel.end());
    labels.insert(labels.end(), m_ratioLabel.begin(), m_ratioLabel.end());
    for (CFontStatic *l : labels) {
        const int need = QFontMetrics(MakeFont(QStringLiteral("Arial"), l->FontHeight(), 400))
                             .horizontalAdvance(l->GetWindowText()) + 2;
        const int width = std::max(need, boxLeft - 2 - templateX);
        const int x = std::max(0, std::min(templateX, boxLeft - 2 - width));
        l->setGeometry(x, l->y(), width, l->height());
    }
}

LRESULT CCurSYSDlg::OnCommand(int id)
{
    if (id == IDC_NOISE_EDIT || id == IDC_NOISE_SPIN) {
        OnNoiseGate();
        return 0;
    }
    using Handler = void (CCurSYSDlg::*)(int);
    static constexpr Handler kHandlers[kValues] = {
        &CCurSYSDlg::OnLimitThreshold, &CCurSYSDlg::OnLimitAttack, &CCurSYSDlg::OnLimitRelease,
        &CCurSYSDlg::OnCompThreshold,  &CCurSYSDlg::OnCompAttack,  &CCurSYSDlg::OnCompRelease,
        &CCurSYSDlg::OnRatio,
    };
    for (int v = 0; v < kValues; ++v) {
        const ValueSpec &s = kValueSpecs[std::size_t(v)];
        for (int base : {s.editId, s.spinId}) {
            if (id >= base && id < base + kOutputs) {
                (this->*kHandlers[v])(id - base);
                return 0;
            }
        }
    }
    return 0;
}

template <typename Fn> void CCurSYSDlg::SyncLinked(int i, Value v, Fn value, bool refreshCurve)
{
    for (int j : LinkedOutputs(i)) {
        Spin(j, v)->SetPos(value(*m_root.GetOut(j)));
        if (refreshCurve)
            m_curve[std::size_t(j)]->Refresh();
    }
}

void CCurSYSDlg::OnLimitThreshold(int i)
{
    CNumSpin *spin = Spin(i, LimitThreshold);
    int v = spin->GetPos();
    CKTV_OutData &out = *m_root.GetOut(i);
    // The limiter stays at or above the compressor's threshold as the record reports it.
    if (v < out.GetZeroWord()) {
        v = out.GetZeroWord();
        spin->SetPos(v);
    }
    out.SetLimitThreshold(v);
    m_curve[std::size_t(i)]->Refresh();
    SyncLinked(i, LimitThreshold, [](const CKTV_OutData &o) { return o.GetLimitThreshold(); }, true);
}

void CCurSYSDlg::OnLimitAttack(int i)
{
    m_root.GetOut(i)->SetLimitAttack(Spin(i, LimitAttack)->GetPos());
    SyncLinked(i, LimitAttack, [](const CKTV_OutData &o) { return o.GetLimitAttack(); }, false);
}

void CCurSYSDlg::OnLimitRelease(int i)
{
    m_root.GetOut(i)->SetLimitRelease(Spin(i, LimitRelease)->GetPos() - 50);
    SyncLinked(i, LimitRelease, [](const CKTV_OutData &o) { return o.GetLimitRelease() + 50; }, false);
}

void CCurSYSDlg::OnCompThreshold(int i)
{
    CNumSpin *spin = Spin(i, CompThreshold);
    int v = spin->GetPos();
    CKTV_OutData &out = *m_root.GetOut(i);
    // The compressor stays at or below the limiter's threshold.
    if (v > out.GetLimitThreshold()) {
        v = out.GetLimitThreshold();
        spin->SetPos(v);
    }
    out.OnMixChanged(v);
    m_curve[std::size_t(i)]->Refresh();
    SyncLinked(i, CompThreshold, [](const CKTV_OutData &o) { return o.GetZeroWord(); }, true);
}

void CCurSYSDlg::OnCompAttack(int i)
{
    m_root.GetOut(i)->LinkGroup34Alt(Spin(i, CompAttack)->GetPos());
    SyncLinked(i, CompAttack, [](const CKTV_OutData &o) { return o.GetZeroWord2(); }, false);
}

void CCurSYSDlg::OnCompRelease(int i)
{
    m_root.GetOut(i)->LinkGroup34Alt2(Spin(i, CompRelease)->GetPos() - 50);
    SyncLinked(i, CompRelease, [](const CKTV_OutData &o) { return o.GetZeroWord3() + 50; }, false);
}

void CCurSYSDlg::OnRatio(int i)
{
    m_root.GetOut(i)->SetExtra0(Spin(i, Ratio)->GetPos());
    m_curve[std::size_t(i)]->Refresh();
    SyncLinked(i, Ratio, [](const CKTV_OutData &o) { return o.GetZeroByte(); }, true);
}

void CCurSYSDlg::OnNoiseGate()
{
    if (m_pNoiseGate)
        m_pNoiseGate->SetThreshold(m_noiseSpin->GetPos());
}

void CCurSYSDlg::keyPressEvent(QKeyEvent *e)
{
    // Enter and Escape neither confirm nor close: the focus goes to the dialog, which commits a
    // typed value.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void CCurSYSDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
