#include "panels/output/Changnal_Line.h"

#include "controls/BitButton.h"
#include "model/DeviceImage.h"
#include "model/OutputPageContract.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "res/StripSkins.h"

#include <QKeyEvent>
#include <QPainter>

CChangnal_Line::CChangnal_Line(QWidget *parent) : QWidget(parent)
{
    Skins::RegisterStripSkins();
    SetCtrlId(this, IDD);
    resize(OverlayLayout::kSize);
    for (int i = 0; i < kToggles; ++i) {
        auto *b = new CBitButton(this, IDC_FIRST + i);
        b->SetBitmaps(984 + 3 * i, 985 + 3 * i, 986 + 3 * i, 986 + 3 * i, 986 + 3 * i, 986 + 3 * i);
        if (i < 8) {
            b->move(OverlayLayout::kToggleX, OverlayLayout::kToggleY + OverlayLayout::kToggleStep * i);
        } else {
            b->hide();
            b->setEnabled(false);
        }
        connect(b, &QAbstractButton::clicked, this, [this, i] { OnOutputToggle(i); });
        m_toggles[static_cast<std::size_t>(i)] = b;
    }
    SyncFromFlags();
}

CBitButton *CChangnal_Line::Toggle(int i) const
{
    return (i >= 0 && i < kToggles) ? m_toggles[static_cast<std::size_t>(i)] : nullptr;
}

void CChangnal_Line::OnOutputToggle(int i)
{
    if (i < 0 || i >= kToggles)
        return;
    CBitButton *b = m_toggles[static_cast<std::size_t>(i)];
    const int on = b->GetCheck() ? 0 : 1;
    g_CurveOverlayFlags[static_cast<std::size_t>(i)].store(on);
    b->SetCheck(on);
    // The graph never overlays the output it shows: its toggle changes the table only.
    if (i != g_nSelOutput.load() && m_refresh)
        m_refresh();
}

void CChangnal_Line::SyncFromFlags()
{
    for (int i = 0; i < kToggles; ++i)
        m_toggles[static_cast<std::size_t>(i)]->SetCheck(g_CurveOverlayFlags[static_cast<std::size_t>(i)].load() ? 1 : 0);
}

void CChangnal_Line::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Skins::Bitmap(kBackground));
}

void CChangnal_Line::keyPressEvent(QKeyEvent *e)
{
    // Enter and Escape close nothing.
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}
