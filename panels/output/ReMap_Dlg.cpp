#include "panels/output/ReMap_Dlg.h"

#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/output/MixRows.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "res/MixSkins.h"
#include "res/Skins.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

CReMap_Dlg::CReMap_Dlg(QWidget *parent) : QWidget(parent)
{
    Skins::RegisterMixSkins();
    SetCtrlId(this, IDD);
    setFocusPolicy(Qt::ClickFocus);
    resize(MixLayout::kPanelSize);
    const QFont font = MakeFont(QStringLiteral("Arial"), 13);
    for (int r = 1; r <= mixrow::kRows; ++r) {
        const mixrow::Row &def = *mixrow::RowAt(r);
        RowCtrls &c = m_rows[std::size_t(r - 1)];
        c.edit = new CNumEdit(this);
        SetCtrlId(c.edit, def.edit);
        c.edit->setGeometry(MixLayout::EditRect(r - 1));
        c.edit->setFont(font);
        c.edit->setAlignment(Qt::AlignCenter);
        QPalette pal = c.edit->palette();
        pal.setColor(QPalette::Text, Qt::white);
        c.edit->setPalette(pal);
        c.slider = new CBitmapSlider(this);
        SetCtrlId(c.slider, def.slider);
        c.slider->move(MixLayout::SliderRect(r - 1).topLeft());
        c.spin = new CNumSpin(this);
        SetCtrlId(c.spin, def.spin);
        c.spin->hide();
        for (QWidget *w : {static_cast<QWidget *>(c.edit), static_cast<QWidget *>(c.slider),
                           static_cast<QWidget *>(c.spin)})
            w->installEventFilter(this);
    }
    installEventFilter(this);

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM l) { return OnSliderChange(w, l); });
    table->On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM l) { return OnSliderChange(w, l); });
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
        const int id = int(LOWORD(w));
        if (const int row = mixrow::RowOfEdit(id))
            OnEditChange(row);
        else if (const int spinRow = mixrow::RowOfSpin(id))
            OnSpinChange(spinRow);
        return 0;
    });
}

CReMap_Dlg::~CReMap_Dlg() = default;

CNumEdit *CReMap_Dlg::Edit(int row) const
{
    return row >= 1 && row <= mixrow::kRows ? m_rows[std::size_t(row - 1)].edit : nullptr;
}

CBitmapSlider *CReMap_Dlg::Slider(int row) const
{
    return row >= 1 && row <= mixrow::kRows ? m_rows[std::size_t(row - 1)].slider : nullptr;
}

CNumSpin *CReMap_Dlg::Spin(int row) const
{
    return row >= 1 && row <= mixrow::kRows ? m_rows[std::size_t(row - 1)].spin : nullptr;
}

bool CReMap_Dlg::IsSourceRow(int row) const
{
    return row >= 1 && row <= mixrow::kRows && m_rows[std::size_t(row - 1)].source;
}

void CReMap_Dlg::OnInitDialog()
{
    const bool chinese = g_bChinese.load() != 0;
    const int source = g_nInputSource.load();
    for (int r = 1; r <= mixrow::kRows; ++r) {
        RowCtrls &c = m_rows[std::size_t(r - 1)];
        const QString tip = QString::fromStdString(mixrow::TipText(r, chinese));
        c.edit->setToolTip(tip);
        c.slider->setToolTip(tip);
        c.source = mixrow::IsActiveRow(source, r);
        // The active source's rows wear the lit channel and thumb.
        c.slider->SetVertical(0);
        c.slider->SetChannelBitmaps(c.source ? kChannelSource : kChannel, c.source ? kChannelSource : kChannel, 0);
        c.slider->SetThumbBitmaps(c.source ? kThumbSource : kThumb, kThumbActive, 1, CBitmapSlider::kKeyFromPixel, 0,
                                  0);
        c.slider->SetRange(0, mixrow::kMaxLevel);
        if (r <= 6)
            c.slider->SetMargin(6, 3, 1, 2);
        else
            c.slider->SetMargin(6, 4, 1, 2);
        c.slider->SetBuddyEdit(c.edit);
        c.spin->SetBuddy(c.edit);
        c.spin->SetRange(0, mixrow::kMaxLevel);
        c.edit->SetScale(1.0);
        c.edit->SetType(33, QString());
        c.edit->SetLinkedWnd(c.slider);
    }
    LoadValues();
}

void CReMap_Dlg::LoadValues()
{
    if (!m_pRecord)
        return;
    for (int r = 1; r <= mixrow::kRows; ++r) {
        RowCtrls &c = m_rows[std::size_t(r - 1)];
        const int v = mixrow::Level(*m_pRecord, r);
        m_nCurValue = v;
        // A stored byte above 100 shows as 100; the record keeps it until the row is changed.
        c.spin->SetPos(v);
        c.edit->SetValue(v);
        c.slider->SetPos(v);
    }
}

// ---- changes ---------------------------------------------------------------------------------

void CReMap_Dlg::Apply(int row, int v)
{
    if (m_pRecord)
        mixrow::SetLevel(*m_pRecord, row, v);
    // The first output of a bridged pair carries its partner's levels too.
    if (m_pTree && m_nChannel >= 0 && m_nChannel + 1 < 8 && g_BtlPair[std::size_t(m_nChannel)].load()) {
        if (CKTV_OutData *partner = m_pTree->GetOut(m_nChannel + 1))
            mixrow::SetLevel(*partner, row, v);
    }
    if (m_pOwner)
        PostMessageTo(m_pOwner, WM_REMAP_CHANGED, mixrow::ChangeWParam(m_nChannel, row), LPARAM(v));
}

LRESULT CReMap_Dlg::OnSliderChange(WPARAM id, LPARAM)
{
    const int row = mixrow::RowOfSlider(int(id));
    if (!row)
        return 0;
    RowCtrls &c = m_rows[std::size_t(row - 1)];
    const int v = c.slider->GetPos();
    m_nCurValue = v;
    c.edit->SetValue(v);
    c.spin->SetPos(v);
    Apply(row, v);
    return 0;
}

void CReMap_Dlg::OnEditChange(int row)
{
    RowCtrls &c = m_rows[std::size_t(row - 1)];
    const int v = std::clamp(c.edit->GetValue(), 0, mixrow::kMaxLevel);
    m_nCurValue = v;
    c.spin->SetPos(v);
    c.slider->SetPos(v);
    Apply(row, v);
    if (m_pOwner)
        PostMessageTo(m_pOwner, WM_REMAP_SELECT, WPARAM(m_nChannel), 0);
}

void CReMap_Dlg::OnSpinChange(int row)
{
    RowCtrls &c = m_rows[std::size_t(row - 1)];
    const int v = std::clamp(c.spin->GetPos(), 0, mixrow::kMaxLevel);
    m_nCurValue = v;
    c.edit->SetValue(v);
    c.slider->SetPos(v);
    Apply(row, v);
}

// ---- painting and keys -----------------------------------------------------------------------

void CReMap_Dlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPixmap bg = Skins::Bitmap(kBackground);
    p.drawPixmap(0, 0, bg);
}

bool CReMap_Dlg::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            setFocus(Qt::MouseFocusReason);
            if (m_pOwner)
                PostMessageTo(m_pOwner, WM_REMAP_SELECT, WPARAM(m_nChannel), 0);
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
            key == Qt::Key_Backtab) {
            // The edit that had the focus commits its text on the focus loss.
            setFocus(Qt::OtherFocusReason);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
