#include "panels/output/BTLRouteDlg.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/FontStatic.h"
#include "controls/TransparentStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "res/StripSkins.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <string>

namespace {

// Pixel layout (the panel takes the size of the strip it stands in for).
constexpr QRect kCaption{4, 4, 111, 18};
constexpr QRect kLegend{3, 24, 56, 198};
constexpr int kRowY = 27, kRowStep = 16;
constexpr int kMarkX = 6, kLabelX = 22, kLabelW = 35;
constexpr QRect kGainField{61, 25, 54, 17};
constexpr QPoint kSlider{60, 45};
constexpr QSize kSliderSize{56, 104};
constexpr QPoint kPolarity{66, 156};
constexpr QPoint kOnButton{66, 177};
constexpr QPoint kLinkButton{66, 198};
constexpr QRect kDelayCaption{6, 227, 52, 18};
constexpr QRect kDelayField{61, 227, 54, 18};
constexpr QRgb kLegendGround = 0xFFEEF0F3;  // the source labels' fixed grey reads on it

bool ValidRow(int row) { return row >= 0 && row < CBTLRouteDlg::kRows; }

// Background ids by pair k: Chinese, English.
constexpr int kBackgrounds[5][2] = {{963, 968}, {960, 965}, {961, 966}, {959, 964}, {962, 967}};

QFont Words(int px, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void Field(QPainter &p, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgb(Skins::Palette::Frame), 1));
    p.setBrush(QColor(0x0F, 0x11, 0x14));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
}

void PaintBackground(QPainter &p, const QRect &r, int pair, bool chinese)
{
    SkinSpec panel;
    panel.style = SkinStyle::Panel;
    Skins::Paint(p, r, panel, false);
    // The pair's name where a strip has its channel button.
    const QString caption = QString::fromStdString(
        TrArgs(StrId::PairCaption, chinese, {std::to_string(2 * pair + 1), std::to_string(2 * pair + 2)}));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgb(Skins::Palette::Accent), 1));
    p.setBrush(QColor(0x14, 0x2A, 0x33));
    p.drawRoundedRect(QRectF(kCaption).adjusted(8.5, 0.5, -8.5, -0.5), 4, 4);
    p.setFont(Words(chinese ? 12 : 11, true));
    p.setPen(QColor::fromRgb(Skins::Palette::Text));
    p.drawText(kCaption, Qt::AlignCenter, caption);
    // The legend of the sources: a light card under the marks and their labels.
    p.setPen(QPen(QColor::fromRgb(Skins::Palette::Frame), 1));
    p.setBrush(QColor::fromRgb(kLegendGround));
    p.drawRoundedRect(QRectF(kLegend).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
    Field(p, kGainField);
    Field(p, kDelayField);
    p.setFont(Words(12, true));
    p.setPen(QColor::fromRgb(Skins::Palette::TextDim));
    p.drawText(kDelayCaption, Qt::AlignLeft | Qt::AlignVCenter, QTr(StrId::StripDelay, chinese));
}

// The gain slider's channel: a slot with the marks 0, -20, -40 dB and OFF at their places.
void PaintSliderChannel(QPainter &p, const QRect &r, bool)
{
    p.fillRect(r, QColor::fromRgb(Skins::Palette::Panel));
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int top = 6, bottom = 2, thumb = 11;
    const int first = top + thumb / 2;
    const int travel = r.height() - top - bottom - thumb;
    const double slotX = 17;
    p.setPen(QPen(QColor::fromRgb(Skins::Palette::Frame), 1));
    p.setBrush(QColor(0x08, 0x09, 0x0B));
    p.drawRoundedRect(QRectF(slotX - 2, first - 3, 4, travel + 6), 2, 2);
    p.setFont(Words(9, false));
    const struct {
        int gain;
        const char *text;
    } marks[] = {{600, "0"}, {400, "-20"}, {200, "-40"}, {0, "OFF"}};
    for (const auto &m : marks) {
        const double y = first + double(travel) * (600 - m.gain) / 600.0 + 0.5;
        p.setPen(QPen(QColor(255, 255, 255, 70), 1));
        p.drawLine(QPointF(30, y), QPointF(35, y));
        p.setPen(QColor::fromRgb(Skins::Palette::TextDim));
        p.drawText(QRectF(35, y - 6, r.width() - 35, 12), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(m.text));
    }
}

}  // namespace

void CBTLRouteDlg::RegisterSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Skins::RegisterStripSkins();
    for (int k = 0; k < 5; ++k) {
        for (int lang = 0; lang < 2; ++lang) {
            const bool chinese = lang == 0;
            Skins::RegisterPainter(SkinType::Bitmap, kBackgrounds[k][lang], StripLayout::kSize,
                                   [k, chinese](QPainter &p, const QRect &r, bool) { PaintBackground(p, r, k, chinese); });
        }
    }
    Skins::RegisterPainter(SkinType::Bitmap, kSliderChannel, kSliderSize, PaintSliderChannel);
    using S = SkinStyle;
    using St = SkinState;
    Skins::Register(SkinType::Bitmap, kSliderThumb, SkinSpec{S::FaderThumb, St::Normal, QSize(30, 11), "", "", 0});
    Skins::Register(SkinType::Bitmap, kSliderThumbActive,
                    SkinSpec{S::FaderThumb, St::Checked, QSize(30, 11), "", "", 0});
    const char *cn = Tr(StrId::StripLink, true);
    const char *en = Tr(StrId::StripLink, false);
    Skins::Register(SkinType::Bitmap, kLinkCn, SkinSpec{S::Button, St::Normal, QSize(36, 16), cn, cn, 0});
    Skins::Register(SkinType::Bitmap, kLinkEn, SkinSpec{S::Button, St::Normal, QSize(36, 16), en, en, 0});
}

CBTLRouteDlg::CBTLRouteDlg(QWidget *parent) : QWidget(parent)
{
    RegisterSkins();
    SetCtrlId(this, IDD);
    resize(StripLayout::kSize);
    for (int r = 0; r < kRows; ++r) {
        const int y = kRowY + kRowStep * r;
        auto *mark = new CBitButton(this, kMarkIds[std::size_t(r)]);
        mark->SetBitmaps(kMarkEmpty, kMarkEmpty, kMarkEmpty);
        mark->move(kMarkX, y);
        m_marks[std::size_t(r)] = mark;
        auto *label = new CFontStatic(this, IDC_LABEL_FIRST + r);
        label->SetAlignLeft(1);
        label->SetTextColor(kLabelColour);
        label->SetFontSize(13);
        label->setGeometry(kLabelX, y, kLabelW, 14);
        m_labels[std::size_t(r)] = label;
    }
    const QFont valueFont = MakeFont(QStringLiteral("Arial"), 13);
    m_gainText = new CTransparentStatic(this, IDC_GAIN_TEXT, SS_CENTER | SS_CENTERIMAGE);
    m_gainText->setGeometry(kGainField);
    m_delayText = new CTransparentStatic(this, IDC_DELAY_TEXT, SS_CENTER | SS_CENTERIMAGE);
    m_delayText->setGeometry(kDelayField);
    for (CTransparentStatic *t : {m_gainText, m_delayText}) {
        t->setFont(valueFont);
        t->SetTextColor(kValueColour);
    }
    m_slider = new CBitmapSlider(this);
    SetCtrlId(m_slider, IDC_GAIN_SLIDER);
    m_slider->SetChannelBitmaps(kSliderChannel, kSliderChannel, 0);
    m_slider->SetThumbBitmaps(kSliderThumb, kSliderThumbActive, 0);
    m_slider->SetRange(0, kGainMax);
    m_slider->SetMargin(-1, 6, 8, 2);
    m_slider->move(kSlider);
    m_btnPolarity = new CBitButton(this, IDC_POLARITY);
    m_btnPolarity->move(kPolarity);
    m_btnOn = new CBitButton(this, IDC_ON);
    m_btnOn->move(kOnButton);
    m_btnLink = new CBitButton(this, IDC_LINK);
    m_btnLink->move(kLinkButton);
    SetPolarity(0);
    SetOn(1);
    SetLinkLook();
    SetSourceLabels();
}

CBTLRouteDlg::~CBTLRouteDlg() = default;

void CBTLRouteDlg::SetBackgrounds(int chinese, int english)
{
    m_nBackgroundCn = chinese;
    m_nBackgroundEn = english;
    update();
}

void CBTLRouteDlg::SetSourceLabels()
{
    const bool cn = g_bChinese.load() != 0;
    auto num = [cn](StrId id, int n) { return QString::fromStdString(TrArgs(id, cn, {std::to_string(n)})); };
    QString texts[kRows];
    for (int i = 0; i < 6; ++i)
        texts[i] = num(StrId::SourceHiLevel, i + 1);
    texts[6] = num(StrId::SourceAux, 1);
    texts[7] = num(StrId::SourceAux, 2);
    texts[8] = QTr(StrId::SourceSpdifLeft, cn);
    texts[9] = QTr(StrId::SourceSpdifRight, cn);
    texts[10] = QTr(StrId::SourceBluetoothLeft, cn);
    texts[11] = QTr(StrId::SourceBluetoothRight, cn);
    for (int r = 0; r < kRows; ++r)
        m_labels[std::size_t(r)]->SetText(texts[r]);
    update();
}

void CBTLRouteDlg::SetSourceMark(int row, bool ticked)
{
    if (!ValidRow(row))
        return;
    m_marked[std::size_t(row)] = ticked;
    const int id = ticked ? kMarkTicked : kMarkEmpty;
    m_marks[std::size_t(row)]->SetBitmaps(id, id, id);
}

bool CBTLRouteDlg::IsSourceMarked(int row) const { return ValidRow(row) && m_marked[std::size_t(row)]; }

void CBTLRouteDlg::SetGainText(const QString &text) { m_gainText->SetWindowText(text); }

void CBTLRouteDlg::SetDelayText(const QString &text) { m_delayText->SetWindowText(text); }

void CBTLRouteDlg::SetGain(int gain) { m_slider->SetInvertedPos(std::clamp(gain, 0, kGainMax)); }

void CBTLRouteDlg::SetPolarity(int polarity)
{
    m_nPolarity = polarity ? 1 : 0;
    const bool cn = g_bChinese.load() != 0;
    const int id = cn ? (m_nPolarity ? kPolarityInvertedCn : kPolarityNormalCn)
                      : (m_nPolarity ? kPolarityInvertedEn : kPolarityNormalEn);
    m_btnPolarity->SetBitmaps(id, id, id);
}

void CBTLRouteDlg::SetOn(int on)
{
    m_nOn = on ? 1 : 0;
    const int id = m_nOn ? kOn : kOff;
    m_btnOn->SetBitmaps(id, id, id);
}

void CBTLRouteDlg::SetLinkLook()
{
    const int id = g_bChinese.load() ? kLinkCn : kLinkEn;
    m_btnLink->SetBitmaps(id, id, id, 0, 0, 0);
}

CBitButton *CBTLRouteDlg::SourceMark(int row) const { return ValidRow(row) ? m_marks[std::size_t(row)] : nullptr; }

CFontStatic *CBTLRouteDlg::SourceLabel(int row) const
{
    return ValidRow(row) ? m_labels[std::size_t(row)] : nullptr;
}

void CBTLRouteDlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int id = Background(g_bChinese.load() != 0);
    if (id)
        p.drawPixmap(0, 0, Skins::Bitmap(id));
    else
        p.fillRect(rect(), QColor::fromRgb(Skins::Palette::Panel));
}

void CBTLRouteDlg::changeEvent(QEvent *e)
{
    // The background follows the language at the next paint; the page re-skins the rest.
    if (e->type() == QEvent::LanguageChange)
        update();
    QWidget::changeEvent(e);
}
