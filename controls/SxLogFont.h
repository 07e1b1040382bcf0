#pragma once
// A font description in the form the group box's title font is given in: height in tenths of a
// point, weight, italic and a face name of at most 31 characters.

#include <QFont>
#include <QString>

class CSxLogFont {
public:
    CSxLogFont(int tenthsOfPoint, int weight, int italic, const QString &face);

    int lfHeight;  // tenths of a point
    int lfWeight;
    int lfItalic;
    QString lfFaceName;  // cut to 31 characters

    // The font it describes, at 96 DPI.
    QFont CreatePointFontIndirect() const;
};
