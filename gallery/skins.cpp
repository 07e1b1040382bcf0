// The skin library: every described skin on one sheet per kind, the window background, and the
// program's hand cursor.

#include "gallery/Gallery.h"

#include "platform/qt/HandCursor.h"
#include "res/Skins.h"

#include <QPainter>

namespace {

QImage SkinSheet(SkinType type)
{
    std::vector<int> ids;
    for (int id = 1; id < 10000; ++id)
        if (Skins::Find(type, id) && Skins::NaturalSize(type, id).width() <= 300)
            ids.push_back(id);
    const int cols = 6, cellW = 190, cellH = 112;
    const int rows = int((ids.size() + cols - 1) / cols);
    QImage sheet(cols * cellW, std::max(1, rows) * cellH, QImage::Format_RGB32);
    sheet.fill(QColor(0x10, 0x12, 0x15));
    QPainter p(&sheet);
    p.setPen(QColor(0x8C, 0x95, 0xA3));
    for (size_t i = 0; i < ids.size(); ++i) {
        const int x = int(i % cols) * cellW, y = int(i / cols) * cellH;
        const QPixmap pm = Skins::Get(type, ids[i]);
        p.drawText(x + 6, y + 14, QString::number(ids[i]));
        QSize s = pm.size();
        if (s.width() > cellW - 12 || s.height() > cellH - 24)
            s = s.scaled(cellW - 12, cellH - 24, Qt::KeepAspectRatio);
        p.drawPixmap(QRect(QPoint(x + 6, y + 20), s), pm);
    }
    return sheet;
}

}  // namespace

ZK_GALLERY(skins_bitmap) { return SkinSheet(SkinType::Bitmap); }

ZK_GALLERY(skins_png) { return SkinSheet(SkinType::Png); }

ZK_GALLERY(skin_main_background) { return Skins::Bitmap(284).toImage(); }

ZK_GALLERY(skin_input_picture) { return Skins::Png(654).toImage(); }

ZK_GALLERY(hand_cursor) { return HandCursorPixmap().toImage().scaled(128, 128); }
