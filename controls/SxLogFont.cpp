#include "controls/SxLogFont.h"

#include "platform/qt/Fonts.h"

CSxLogFont::CSxLogFont(int tenthsOfPoint, int weight, int italic, const QString &face)
    : lfHeight(tenthsOfPoint), lfWeight(weight), lfItalic(italic), lfFaceName(face.left(31))
{
    Q_ASSERT_X(face.size() <= 31, "CSxLogFont", "face name longer than 31 characters");
}

QFont CSxLogFont::CreatePointFontIndirect() const
{
    return MakePointFont(lfFaceName, lfHeight, lfWeight, lfItalic != 0);
}
