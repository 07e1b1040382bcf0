#include "platform/qt/Fonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QStringList>

#include <cmath>
#include <mutex>

namespace {
const QString kSans = QStringLiteral("Liberation Sans");
const QString kSansNarrow = QStringLiteral("Liberation Sans Narrow");
const QString kSerif = QStringLiteral("Liberation Serif");
const QString kMono = QStringLiteral("Liberation Mono");
const QString kChinese = QStringLiteral("WenQuanYi Micro Hei");

int mulDiv(int a, int b, int c)
{
    // Rounds half away from zero, as MulDiv does.
    const long long p = (long long)a * b;
    return int(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

bool isChineseFace(const QString &face)
{
    static const QStringList faces = {QStringLiteral("SimSun"),     QStringLiteral("NSimSun"),
                                      QStringLiteral("宋体"),       QStringLiteral("新宋体"),
                                      QStringLiteral("SimHei"),     QStringLiteral("黑体"),
                                      QStringLiteral("Microsoft YaHei"), QStringLiteral("微软雅黑"),
                                      QStringLiteral("KaiTi"),      QStringLiteral("楷体"),
                                      QStringLiteral("FangSong"),   QStringLiteral("仿宋")};
    return faces.contains(face, Qt::CaseInsensitive);
}

// Cell height (ascent + descent) per pixel of character height, measured once per family list:
// measuring loads the face at 100 pixels, which costs about a millisecond. A family keeps its line
// metrics across weights and slants (the faces we map to, Liberation and WenQuanYi, share them
// exactly), so the regular upright face stands for all of them.
double cellRatio(const QFont &f)
{
    if (!QGuiApplication::instance())
        return 1.15;
    const QString key = f.families().join(QLatin1Char('\n'));
    static std::mutex lock;
    static QHash<QString, double> measured;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (const auto it = measured.constFind(key); it != measured.constEnd())
            return *it;
    }
    QFont probe = f;
    probe.setWeight(QFont::Normal);
    probe.setItalic(false);
    probe.setPixelSize(100);
    const QFontMetricsF metrics(probe);
    const double h = metrics.ascent() + metrics.descent();
    const double ratio = h > 0 ? h / 100.0 : 1.15;
    const std::lock_guard<std::mutex> guard(lock);
    measured.insert(key, ratio);
    return ratio;
}
}  // namespace

QString MapFontFace(const QString &face)
{
    if (face.isEmpty())
        return kSans;
    if (isChineseFace(face))
        return kChinese;
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return kSerif;
    if (face.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0)
        return kMono;
    if (face.compare(QLatin1String("Arial Narrow"), Qt::CaseInsensitive) == 0)
        return kSansNarrow;
    // Arial, MS Sans Serif, MS Shell Dlg, Tahoma and every other Latin face.
    static const QStringList latin = {QStringLiteral("Arial"), QStringLiteral("MS Sans Serif"),
                                      QStringLiteral("MS Shell Dlg"), QStringLiteral("MS Shell Dlg 2"),
                                      QStringLiteral("Tahoma"), QStringLiteral("Verdana"),
                                      QStringLiteral("System")};
    if (latin.contains(face, Qt::CaseInsensitive))
        return kSans;
    return face;
}

void RegisterFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char *f : {"Arial", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "System"})
            QFont::insertSubstitutions(QString::fromLatin1(f), {kSans, kChinese});
        QFont::insertSubstitutions(QStringLiteral("Arial Narrow"), {kSansNarrow, kChinese});
        for (const char *f : {"SimSun", "NSimSun", "SimHei", "Microsoft YaHei"})
            QFont::insertSubstitution(QString::fromLatin1(f), kChinese);
        for (const char *f : {"宋体", "新宋体", "黑体", "微软雅黑"})
            QFont::insertSubstitution(QString::fromUtf8(f), kChinese);
    });
}

QFont::Weight FontWeightFromWin(int weight)
{
    if (weight <= 0)
        return QFont::Normal;
    const int w = std::clamp(weight, 100, 900);
    return QFont::Weight(w);
}

QFont MakeFont(const QString &face, int height, int weight, bool italic, bool underline)
{
    QFont f;
    const QString family = MapFontFace(face);
    f.setFamilies(family == kChinese ? QStringList{kChinese, kSans} : QStringList{family, kChinese});
    f.setWeight(FontWeightFromWin(weight));
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setHintingPreference(QFont::PreferFullHinting);
    int px = 12;
    if (height < 0)
        px = -height;
    else if (height > 0)
        px = std::max(1, int(std::lround(height / cellRatio(f))));
    f.setPixelSize(px);
    return f;
}

QFont MakePointFont(const QString &face, int tenthsOfPoint, int weight, bool italic)
{
    // CreatePointFont at 96 DPI: character height = points × 96 / 72.
    return MakeFont(face, -std::max(1, mulDiv(tenthsOfPoint, 96, 720)), weight, italic);
}

DialogUnits DialogUnitsOf(const QFont &font)
{
    if (!QGuiApplication::instance())
        return {};
    QFontMetricsF fm(font);
    // The average width of the 52 Latin letters, rounded as Windows rounds it.
    const double w = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits u;
    u.cx = std::max(1, (int(std::lround(w)) / 26 + 1) / 2);
    u.cy = std::max(1, int(std::lround(fm.ascent() + fm.descent())));
    return u;
}

QFont DefaultDialogFont() { return MakePointFont(QStringLiteral("MS Shell Dlg"), 80); }

DialogUnits DefaultDialogUnits()
{
    static const DialogUnits u = DialogUnitsOf(DefaultDialogFont());
    return u;
}

int DluToPixelsX(int dlu, DialogUnits u) { return mulDiv(dlu, u.cx, 4); }
int DluToPixelsY(int dlu, DialogUnits u) { return mulDiv(dlu, u.cy, 8); }

QRect DluRect(int x, int y, int w, int h, DialogUnits u)
{
    // Edges are converted, not the size, so neighbouring controls keep their gaps.
    const int l = DluToPixelsX(x, u), t = DluToPixelsY(y, u);
    const int r = DluToPixelsX(x + w, u), b = DluToPixelsY(y + h, u);
    return QRect(l, t, r - l, b - t);
}

QSize DluSize(int w, int h, DialogUnits u) { return QSize(DluToPixelsX(w, u), DluToPixelsY(h, u)); }
