#include "res/MixSkins.h"

#include "res/Skins.h"
#include "res/Strings.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <string>

namespace Skins {
namespace {

QFont wordsFont(int px, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Words shrunk to fit the width, never below the legible floor (12 px for Chinese).
void drawCaption(QPainter &p, const QRectF &r, const QString &words, QColor colour, int align, int px)
{
    const bool cn = HasChineseWords(words);
    const int floor = cn ? MinChinesePixels : 8;
    px = std::max(px, cn ? MinChinesePixels : 0);
    QFont f = wordsFont(px, true);
    while (px > floor && QFontMetrics(f).horizontalAdvance(words) > r.width())
        f.setPixelSize(--px);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, align, words);
}

void drawPanel(QPainter &p, const QRect &r)
{
    SkinSpec panel;
    panel.style = SkinStyle::Panel;
    Paint(p, r, panel, false);
}

// The source mix panel: a recessed cell per row, the edit's field at its left.
void paintRowCells(QPainter &p);

void paintPanelBackground(QPainter &p, const QRect &r)
{
    drawPanel(p, r);
    paintRowCells(p);
}

void paintRowCells(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < MixLayout::kRows; ++row) {
        const QRectF cell = QRectF(MixLayout::CellRect(row)).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(QColor(255, 255, 255, 16), 1));
        p.setBrush(QColor(0x1F, 0x23, 0x29));
        p.drawRoundedRect(cell, 4, 4);
        const QRectF field = QRectF(MixLayout::EditRect(row)).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
        p.setBrush(QColor(0x0F, 0x11, 0x14));
        p.drawRoundedRect(field, 3, 3);
    }
}

QString rowCaption(int row, bool chinese)
{
    if (row < 8)
        return QString::fromStdString(TrArgs(StrId::MixRowLine, chinese, {std::to_string(row + 1)}));
    const StrId ids[4] = {StrId::MixRowBluetoothLeft, StrId::MixRowBluetoothRight, StrId::MixRowSpdifLeft,
                          StrId::MixRowSpdifRight};
    return QString::fromUtf8(Tr(ids[row - 8], chinese));
}

// The mixer: source captions level with the panels' rows, output captions under the panels.
void paintMixerBackground(QPainter &p, const QRect &r, bool chinese)
{
    p.fillRect(r, QColor::fromRgb(Palette::Background));
    p.setRenderHint(QPainter::Antialiasing);
    // A raised band behind the captions of the sources.
    const QRectF band(2, MixLayout::kPanelTop, MixLayout::kCaptionLeft + MixLayout::kCaptionWidth - 1,
                      MixLayout::kPanelSize.height());
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(QColor::fromRgb(Palette::Panel));
    p.drawRoundedRect(band.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    for (int row = 0; row < MixLayout::kRows; ++row) {
        const QRectF at(MixLayout::kCaptionLeft, MixLayout::kPanelTop + MixLayout::kSliderTop[row] - 4,
                        MixLayout::kCaptionWidth - 6, MixLayout::kSlider.height() + 8);
        const QColor colour = QColor::fromRgb(row < 8 ? Palette::Text : Palette::Accent);
        drawCaption(p, at, rowCaption(row, chinese), colour, Qt::AlignRight | Qt::AlignVCenter, 12);
    }
    for (int i = 0; i < 8; ++i) {
        const QString words = QString::fromStdString(TrArgs(StrId::StripChannel, chinese, {std::to_string(i + 1)}));
        drawCaption(p, QRectF(MixLayout::ColumnCaptionRect(i)), words, QColor::fromRgb(Palette::Text),
                    Qt::AlignCenter, 13);
    }
}

}  // namespace

void RegisterMixSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterPainter(SkinType::Bitmap, 1016, MixLayout::kPanelSize,
                    [](QPainter &p, const QRect &r, bool) { paintPanelBackground(p, r); });
    RegisterPainter(SkinType::Bitmap, 1027, QSize(114, 579), [](QPainter &p, const QRect &r, bool) {
        drawPanel(p, r);
        p.save();
        p.translate(0, MixLayout::kPairRowShift);
        paintRowCells(p);
        p.restore();
    });
    RegisterPainter(SkinType::Bitmap, 1020, MixLayout::kMixerSize,
                    [](QPainter &p, const QRect &r, bool) { paintMixerBackground(p, r, true); });
    RegisterPainter(SkinType::Bitmap, 1021, MixLayout::kMixerSize,
                    [](QPainter &p, const QRect &r, bool) { paintMixerBackground(p, r, false); });
}

}  // namespace Skins
