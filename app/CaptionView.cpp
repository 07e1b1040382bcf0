#include "app/CaptionView.h"

#include "app/MainFrm.h"
#include "controls/SkinButton.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QPainter>

namespace {

// The template's font, Arial 10 points.
DialogUnits TemplateUnits()
{
    return DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 100));
}

}  // namespace

CCaptionView::CCaptionView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CCaptionView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const DialogUnits u = TemplateUnits();
    resize(DluSize(471, 237, u));
    m_btnMode2 = new CSkinButton(this, IDC_MODE2);
    m_btnMode2->setGeometry(DluRect(170, 133, 50, 17, u));
    m_btnMode2->setText(QStringLiteral("2"));
    m_btnMode1 = new CSkinButton(this, IDC_MODE1);
    m_btnMode1->setGeometry(DluRect(346, 133, 46, 17, u));
    m_btnMode1->setText(QStringLiteral("1"));
    connect(m_btnMode1, &QAbstractButton::clicked, this, [this] { SendCommand(CMainFrame::ID_CAPTION_MODE1); });
    connect(m_btnMode2, &QAbstractButton::clicked, this, [this] { SendCommand(CMainFrame::ID_CAPTION_MODE2); });
}

void CCaptionView::SetBackground(const QPixmap &bitmap)
{
    m_bitmap = bitmap;
    update();
}

void CCaptionView::SendCommand(int command)
{
    // The handler replaces this page, so nothing of it is touched afterwards.
    if (QWidget *main = window())
        SendMessageTo(main, WM_COMMAND, WPARAM(command), 0);
}

void CCaptionView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(Skins::Palette::Background));
    if (!m_bitmap.isNull())
        p.drawPixmap(0, 0, m_bitmap);
}
