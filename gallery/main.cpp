// Draws every registered gallery entry in Chinese and in English and writes
// <out>/<name>-<zh|en>.png. Usage: zk470-gallery [--out DIR] [NAME...] (names select entries).
#include "gallery/Gallery.h"

#include "controls/ConsoleStyle.h"
#include "model/InitGlobalData.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Gallery {

std::vector<Entry> &Entries()
{
    static std::vector<Entry> entries;
    return entries;
}

bool Chinese() { return g_bChinese.load() != 0; }

QImage Shot(QWidget &w)
{
    w.show();
    QCoreApplication::processEvents();
    return w.grab().toImage();
}

QImage On(QWidget &w, QColor background)
{
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    w.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

Sheet::Sheet(int cols, int cellW, int cellH, int rows)
    : m_cols(cols), m_w(cellW), m_h(cellH), m_img(cols * cellW, rows * cellH, QImage::Format_RGB32)
{
    m_img.fill(QColor(0x1B, 0x1E, 0x23));
}

void Sheet::Add(const QString &label, const QImage &img)
{
    QPainter p(&m_img);
    const int x = (m_n % m_cols) * m_w, y = (m_n / m_cols) * m_h;
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(QColor(0x8C, 0x95, 0xA3));
    p.drawText(QRect(x + 8, y + 4, m_w - 16, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
    p.drawImage(x + 8, y + 22, img);
    ++m_n;
}

}  // namespace Gallery

namespace {

// Settings of our own that name loopback only, so nothing drawn here reaches for the device.
bool UseLoopbackSettings(const QTemporaryDir &dir)
{
    if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("ZK-470")))
        return false;
    QFile f(dir.path() + QStringLiteral("/ZK-470/QX-ZK-470-GV1.00_GB2312.conf"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("[Network]\nAddress=127.0.0.1\n");
    f.close();
    return setenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()).constData(), 1) == 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QString out = QStringLiteral(ZK_GALLERY_DIR);
    QStringList only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: %s [--out DIR] [NAME...]\n", argv[0]);
            return 0;
        } else
            only << QString::fromLocal8Bit(argv[i]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QTemporaryDir settingsDir;
    if (!UseLoopbackSettings(settingsDir)) {
        std::fprintf(stderr, "zk470-gallery: cannot write its settings folder\n");
        return 2;
    }
    PrepareUiEnvironment();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    RegisterFontSubstitutions();
    ApplyConsolePalette(app);  // as the program does
    InitQtGlobals();
    InitGlobalData();
    LoadNetworkSettings(AppSettings());
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "zk470-gallery: cannot make %s\n", qPrintable(out));
        return 2;
    }

    int written = 0, failed = 0;
    for (const auto &e : Gallery::Entries()) {
        if (!only.isEmpty() && !only.contains(QLatin1String(e.name)))
            continue;
        for (const bool chinese : {true, false}) {
            g_bChinese = chinese ? 1 : 0;
            const QImage img = e.render();
            const QString file = QStringLiteral("%1/%2-%3.png").arg(out, QLatin1String(e.name), chinese ? "zh" : "en");
            if (img.isNull() || !img.save(file)) {
                std::fprintf(stderr, "zk470-gallery: %s (%s) was not drawn\n", e.name, chinese ? "zh" : "en");
                ++failed;
                continue;
            }
            ++written;
        }
    }
    g_bChinese = 0;
    std::printf("zk470-gallery: %d pictures in %s\n", written, qPrintable(out));
    return failed == 0 && written > 0 ? 0 : 1;
}
