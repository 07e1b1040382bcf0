#include "controls/HyLink.h"

#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>

namespace {
CHyLink::UrlOpener &opener()
{
    static CHyLink::UrlOpener o;
    return o;
}
}  // namespace

CHyLink::CHyLink(QWidget *parent, int ctrlId, unsigned style) : CStaticText(parent, ctrlId, style | SS_NOTIFY)
{
    setMouseTracking(true);
    setCursor(HandCursor());
}

QUrl CHyLink::LinkUrl(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        t.prepend(QLatin1String("http://"));
    const QUrl url(t, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

void CHyLink::SetUrlOpener(UrlOpener o) { opener() = std::move(o); }

void CHyLink::setHover(bool on)
{
    if (m_bHover == on)
        return;
    m_bHover = on;
    repaint();
}

void CHyLink::enterEvent(QEnterEvent *e)
{
    setHover(true);
    CStaticText::enterEvent(e);
}

void CHyLink::leaveEvent(QEvent *e)
{
    setHover(false);
    CStaticText::leaveEvent(e);
}

void CHyLink::mouseMoveEvent(QMouseEvent *e)
{
    setHover(rect().contains(e->position().toPoint()));
    CStaticText::mouseMoveEvent(e);
}

void CHyLink::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_clrBack));
    p.setFont(font());
    p.setPen(ToQColor(PaintColor()));
    DrawTextWithFlags(p, rect(), m_text, DrawTextFlagsFromStaticStyle(m_style));
}

void CHyLink::OnClicked()
{
    setHover(false);
    emit clicked();
    const QUrl url = LinkUrl(m_text);
    if (!url.isValid())
        return;  // not a web address: nothing is handed to the system
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}
