// The skin library: lookups by id, size and language, the cache and the key colour of masked
// thumbs (the gallery program draws every skin for a person to look at).

#include "res/ProgramIcon.h"
#include "res/Skins.h"

#include "platform/GlobalData.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

namespace {

QApplication &app() { return QtTestApp(); }

// Number of distinct colours: a skin that is one flat colour is a placeholder, not a skin.
int colourCount(const QImage &img)
{
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); y += 1)
        for (int x = 0; x < img.width(); x += 1)
            seen.insert(img.pixel(x, y));
    return seen.size();
}

TEST(Skins, NaturalSizeAndRequestedSize)
{
    app();
    EXPECT_EQ(Skins::NaturalSize(SkinType::Bitmap, 284), QSize(1200, 695));
    EXPECT_EQ(Skins::Bitmap(4948).size(), QSize(18, 18));
    EXPECT_EQ(Skins::Bitmap(4948, QSize(40, 30)).size(), QSize(40, 30));
    EXPECT_EQ(Skins::Png(654).size(), QSize(860, 175));
    EXPECT_TRUE(Skins::Bitmap(0).isNull()) << "id 0 means no bitmap";
    // An id nobody described still paints a real face at the requested size.
    const QPixmap unknown = Skins::Bitmap(31999, QSize(50, 20));
    EXPECT_EQ(unknown.size(), QSize(50, 20));
    EXPECT_GT(colourCount(unknown.toImage()), 4);
    EXPECT_EQ(Skins::Find(SkinType::Bitmap, 31999), nullptr);
    EXPECT_FALSE(Skins::Has(SkinType::Bitmap, 31999));
    EXPECT_FALSE(Skins::Has(SkinType::Png, 0));
    EXPECT_TRUE(Skins::Has(SkinType::Png, 654));
    EXPECT_FALSE(Skins::Has(SkinType::Png, 284)) << "bitmap and PNG ids are apart";
}

TEST(Skins, LanguageAndCache)
{
    app();
    // A skin with words in both languages differs by language; a one-language id does not.
    const QImage en = Skins::Bitmap(1042, {}, SkinLang::English).toImage();
    const QImage cn = Skins::Bitmap(1042, {}, SkinLang::Chinese).toImage();
    EXPECT_NE(en, cn);
    EXPECT_EQ(Skins::Bitmap(1022, {}, SkinLang::English).toImage(), Skins::Bitmap(1022, {}, SkinLang::Chinese).toImage());
    // Current follows the language flag.
    const int saved = g_bChinese.load();
    g_bChinese = 1;
    EXPECT_EQ(Skins::Bitmap(1042).toImage(), cn);
    g_bChinese = 0;
    EXPECT_EQ(Skins::Bitmap(1042).toImage(), en);
    g_bChinese = saved;
    // The cache hands back the same pixmap.
    EXPECT_EQ(Skins::Bitmap(1042, {}, SkinLang::English).cacheKey(), Skins::Bitmap(1042, {}, SkinLang::English).cacheKey());
}

TEST(Skins, CacheStaysWithinItsBudgetThroughManyWindowSizes)
{
    app();
    Skins::ClearCache();
    for (int i = 0; i < 40; ++i)
        (void)Skins::Bitmap(284, QSize(1204 + i, 699 + i));
    EXPECT_LE(Skins::CachedBytes(), Skins::CacheBudgetBytes());
    EXPECT_GT(Skins::CachedBytes(), 0);
    // The newest size is still kept, and small skins come back from the cache.
    EXPECT_EQ(Skins::Bitmap(284, QSize(1243, 738)).cacheKey(), Skins::Bitmap(284, QSize(1243, 738)).cacheKey());
    EXPECT_EQ(Skins::Bitmap(1042).cacheKey(), Skins::Bitmap(1042).cacheKey());
}

TEST(Skins, DrawPaintsWhatGetRendersWithoutCachingIt)
{
    app();
    Skins::RegisterPainter(SkinType::Bitmap, 31990, QSize(60, 30), [](QPainter &p, const QRect &r, bool chinese) {
        p.fillRect(r.adjusted(4, 4, -30, -4), chinese ? Qt::red : Qt::green);
    });
    // Window-sized panels, a registered painter and an undescribed id, at an offset inside a
    // larger device: the same pixels as the cached pixmap, nothing outside the rectangle touched.
    const struct {
        int id;
        QSize size;
        SkinLang lang;
    } cases[] = {{284, {1200, 695}, SkinLang::English}, {285, {1210, 700}, SkinLang::Chinese},
                 {31990, {60, 30}, SkinLang::Chinese}, {31999, {50, 20}, SkinLang::English}};
    for (const auto &c : cases) {
        Skins::ClearCache();
        QImage device(c.size + QSize(10, 6), QImage::Format_ARGB32_Premultiplied);
        device.fill(Qt::magenta);
        {
            QPainter p(&device);
            Skins::Draw(p, QRect(QPoint(7, 3), c.size), SkinType::Bitmap, c.id, c.lang);
        }
        EXPECT_EQ(Skins::CachedBytes(), 0) << c.id;
        const QImage want = Skins::Bitmap(c.id, c.size, c.lang).toImage().convertToFormat(device.format());
        EXPECT_EQ(device.copy(QRect(QPoint(7, 3), c.size)), want) << c.id;
        EXPECT_EQ(device.pixel(2, 1), QColor(Qt::magenta).rgba()) << c.id;
        EXPECT_EQ(device.pixel(c.size.width() + 8, c.size.height() + 4), QColor(Qt::magenta).rgba()) << c.id;
    }
}

// Rows of a skin that hold light text pixels: the height of the words' ink.
int inkRows(const QImage &img)
{
    int rows = 0;
    for (int y = 0; y < img.height(); ++y) {
        bool ink = false;
        for (int x = 2; x < img.width() - 2 && !ink; ++x)
            ink = qGray(img.pixel(x, y)) > 170;
        rows += ink;
    }
    return rows;
}

TEST(Skins, ChineseWordsAreNeverShrunkBelowTwelvePixels)
{
    app();
    // Small faces with two Chinese characters, and the delay unit selector's words.
    for (int id : {890, 891, 971, 1022}) {
        const QImage img = Skins::Bitmap(id, {}, SkinLang::Chinese).toImage();
        EXPECT_GE(inkRows(img), 9) << id << ": words drawn at about 7 px have 5 to 6 rows of ink";
    }
    for (const char *words : {"毫秒", "联调", "反相", "混音"}) {
        const SkinSpec spec{SkinStyle::Button, SkinState::Normal, QSize(30, 15), "", words};
        EXPECT_GE(inkRows(Skins::Render(spec, spec.size, true).toImage()), 9) << words;
    }
    EXPECT_TRUE(Skins::HasChineseWords(QStringLiteral("ms 毫秒")));
    EXPECT_FALSE(Skins::HasChineseWords(QStringLiteral("inch")));
}

TEST(Skins, ContrastAndReadableBackdrop)
{
    EXPECT_NEAR(Skins::Contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(Skins::Contrast(Qt::red, Qt::red), 1.0, 1e-9);
    const struct {
        QColor text;
        bool onPanel;
    } cases[] = {{Qt::black, false}, {QColor(0, 0, 128), false}, {Qt::red, false}, {Qt::white, true}, {QColor(0xE4, 0xE8, 0xEE), true}};
    for (const auto &c : cases) {
        const QColor back = Skins::ReadableBackdrop(c.text);
        EXPECT_GE(Skins::Contrast(c.text, back), Skins::MinTextContrast) << c.text.name().toStdString();
        EXPECT_EQ(back == QColor::fromRgb(Skins::Palette::Panel), c.onPanel) << c.text.name().toStdString();
    }
}

TEST(Skins, RegisterReplacesAndDropsCache)
{
    app();
    const QImage before = Skins::Bitmap(30001, QSize(40, 20)).toImage();
    Skins::Register(SkinType::Bitmap, 30001, SkinSpec{SkinStyle::Button, SkinState::Checked, QSize(40, 20), "GO"});
    ASSERT_NE(Skins::Find(SkinType::Bitmap, 30001), nullptr);
    EXPECT_NE(Skins::Bitmap(30001).toImage(), before);
    Skins::RegisterPainter(SkinType::Bitmap, 30002, QSize(8, 8), [](QPainter &p, const QRect &r, bool) {
        p.fillRect(r, Qt::red);
    });
    EXPECT_EQ(Skins::Bitmap(30002).toImage().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_TRUE(Skins::Has(SkinType::Bitmap, 30002));
}

TEST(Skins, ThumbsKeepTheKeyColourOutsideTheirShape)
{
    app();
    for (int id : {280, 282, 358, 611, 612, 613, 626, 627, 1029, 1031}) {
        const QImage img = Skins::Bitmap(id).toImage();
        ASSERT_FALSE(img.isNull()) << id;
        EXPECT_EQ(img.pixel(0, 0), Skins::Palette::Key) << id;
        EXPECT_NE(img.pixel(img.width() / 2, img.height() / 2), Skins::Palette::Key) << id;
    }
}

TEST(ProgramIcon, EachSizeIsTheDrawingAtThatSize)
{
    // The icon draws a size only when asked for it; what it hands out must be the drawing itself.
    app();
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    ASSERT_EQ(sizes.size(), 7);
    for (const QSize &s : sizes) {
        const QImage shown = icon.pixmap(s).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(shown.size(), s);
        EXPECT_EQ(shown, ProgramIconPixmap(s.width()).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << s.width();
    }
    EXPECT_NE(icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage(), icon.pixmap(QSize(32, 32)).toImage());
}

}  // namespace
