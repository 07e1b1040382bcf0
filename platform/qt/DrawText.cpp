#include "platform/qt/DrawText.h"

#include <Qt>

int AlignmentFromDrawText(unsigned f)
{
    int a = (f & DT_RIGHT) ? Qt::AlignRight : (f & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (f & DT_SINGLELINE)
        a |= (f & DT_VCENTER) ? Qt::AlignVCenter : (f & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        a |= Qt::AlignTop;
    if ((f & DT_WORDBREAK) && !(f & DT_SINGLELINE))
        a |= Qt::TextWordWrap;
    return a;
}

