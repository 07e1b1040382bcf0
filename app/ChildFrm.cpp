#include "app/ChildFrm.h"

#include "res/Skins.h"

#include <QPalette>

CChildFrame::CChildFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CChildFrame"));
    // Wherever the window is larger than the view (after a change of the screens) the console's
    // background shows, never a light system box.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(Skins::Palette::Background));
    setPalette(pal);
    setAutoFillBackground(true);
}

void CChildFrame::SetView(QWidget *view)
{
    m_view = view;
    if (!view)
        return;
    view->setParent(this);
    view->setGeometry(0, 0, kViewWidth, kViewHeight);
    view->show();
}
