#include "platform/qt/QtGlobals.h"

#include "platform/qt/Fonts.h"

#include <mutex>

QFont g_fontArial16;
QFont g_fontArial14;
QFont g_fontArial12;
QFont g_fontListCn;
QFont g_fontListEn;
QFont g_fontArial16Heavy;
QBrush g_brDialogBk;

const QColor g_clrEffectCurve(255, 0, 0, 220);
const std::array<QColor, 2> g_clrMicCurve = {QColor(255, 128, 51), QColor(204, 153, 51)};
const std::array<QColor, 7> g_clrMusicCurve = {QColor(0, 255, 255),   QColor(223, 18, 123), QColor(2, 123, 192),
                                               QColor(255, 255, 0),   QColor(255, 102, 102), QColor(153, 0, 153),
                                               QColor(153, 255, 0)};
const std::array<QColor, 10> g_clrOutCurve = {QColor(255, 1, 85),  QColor(168, 255, 1), QColor(1, 37, 255),
                                              QColor(1, 192, 255), QColor(228, 255, 1), QColor(255, 150, 1),
                                              QColor(132, 1, 255), QColor(255, 67, 1),  QColor(255, 1, 198),
                                              QColor(0, 255, 108)};
const std::array<QColor, 2> g_clrOverlayCurve = {QColor(255, 1, 85), QColor(100, 100, 100)};

void PrepareUiEnvironment()
{
    // The user's own QT_SCALE_FACTOR still applies, as an explicit choice.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

void InitQtGlobals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterFontSubstitutions();
        const QString arial = QStringLiteral("Arial");
        g_fontArial16 = MakeFont(arial, 16, 400);
        g_fontArial14 = MakeFont(arial, 14, 400);
        g_fontArial12 = MakeFont(arial, 12, 400);
        g_fontListCn = MakeFont(QStringLiteral("宋体"), 16, 400);
        g_fontListEn = MakeFont(arial, 16, 400);
        g_fontArial16Heavy = MakeFont(arial, 16, 1200);
        g_brDialogBk = QBrush(ToQColor(kDialogBkColour));
    });
}
