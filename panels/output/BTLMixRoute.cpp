#include "panels/output/BTLMixRoute.h"

#include "controls/BitmapSlider.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "res/MixSkins.h"
#include "res/Skins.h"

#include <QLabel>
#include <QPainter>

CBTLMixRoute::CBTLMixRoute(QWidget *parent) : QWidget(parent)
{
    Skins::RegisterMixSkins();
    SetCtrlId(this, IDD);
    resize(117, 570);
    const QFont font = MakeFont(QStringLiteral("Arial"), 13);
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        const int row = int(i);
        auto *label = new QLabel(this);
        label->setGeometry(MixLayout::EditRect(row).translated(0, MixLayout::kPairRowShift));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(font);
        // Grey text on the background, which shows through.
        label->setStyleSheet(QStringLiteral("color: rgb(157, 159, 161); background: transparent;"));
        m_labels[i] = label;
        auto *slider = new CBitmapSlider(this);
        slider->SetVertical(0);
        slider->SetChannelBitmaps(1038, 1038, 0);
        slider->SetThumbBitmaps(1031, 1029, 1, CBitmapSlider::kKeyFromPixel, 0, 0);
        slider->SetRange(0, 100);
        slider->SetMargin(6, 4, 1, 2);
        slider->move(MixLayout::SliderRect(row).topLeft() + QPoint(0, MixLayout::kPairRowShift));
        m_sliders[i] = slider;
    }
}

void CBTLMixRoute::SetRowText(int row, const QString &text)
{
    if (row < 1 || row > 12)
        return;
    QLabel *label = m_labels[std::size_t(row - 1)];
    label->hide();
    label->setText(text);
    label->show();
}

void CBTLMixRoute::SetRowPos(int row, int pos)
{
    if (row >= 1 && row <= 12)
        m_sliders[std::size_t(row - 1)]->SetPos(pos);
}

QString CBTLMixRoute::RowText(int row) const
{
    return row >= 1 && row <= 12 ? m_labels[std::size_t(row - 1)]->text() : QString();
}

int CBTLMixRoute::RowPos(int row) const
{
    return row >= 1 && row <= 12 ? m_sliders[std::size_t(row - 1)]->GetPos() : -1;
}

void CBTLMixRoute::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Skins::Bitmap(kBackground, size()));
}
