#include "platform/qt/WindowMessages.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QVariant>
#include <QWidget>

#include <atomic>

namespace {
constexpr const char *kTableName = "zk_message_table";
constexpr const char *kCtrlIdProperty = "zkCtrlId";
constexpr const char *kHandleProperty = "zkCtrlHandle";
}

QEvent::Type CMessageEvent::Type()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

CMessageTable::CMessageTable(QObject *owner) : QObject(owner)
{
    setObjectName(QLatin1String(kTableName));
}

CMessageTable::~CMessageTable() = default;

CMessageTable *CMessageTable::Of(const QObject *owner)
{
    if (!owner)
        return nullptr;
    return owner->findChild<CMessageTable *>(QLatin1String(kTableName), Qt::FindDirectChildrenOnly);
}

CMessageTable *CMessageTable::Ensure(QObject *owner)
{
    if (CMessageTable *t = Of(owner))
        return t;
    return new CMessageTable(owner);
}

void CMessageTable::On(unsigned msg, Handler handler) { m_handlers[msg] = std::move(handler); }

void CMessageTable::Remove(unsigned msg) { m_handlers.erase(msg); }

bool CMessageTable::Handles(unsigned msg) const { return m_handlers.count(msg) != 0 || bool(m_any); }

void CMessageTable::OnAny(AnyHandler handler) { m_any = std::move(handler); }

void CMessageTable::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    // postEvent is thread-safe and keeps the order of events posted to one receiver.
    QCoreApplication::postEvent(this, new CMessageEvent(msg, wParam, lParam));
}

LRESULT CMessageTable::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    if (auto it = m_handlers.find(msg); it != m_handlers.end() && it->second) {
        // Copy: a handler may replace itself while it runs.
        Handler h = it->second;
        return h(wParam, lParam);
    }
    if (m_any) {
        AnyHandler h = m_any;
        return h(msg, wParam, lParam);
    }
    return 0;
}

bool CMessageTable::event(QEvent *e)
{
    if (e->type() == CMessageEvent::Type()) {
        auto *m = static_cast<CMessageEvent *>(e);
        SendMessage(m->message, m->wParam, m->lParam);
        return true;
    }
    return QObject::event(e);
}

LRESULT SendMessageTo(QObject *target, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    if (CMessageTable *t = CMessageTable::Of(target))
        return t->SendMessage(msg, wParam, lParam);
    return 0;
}

bool PostMessageTo(QObject *target, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    CMessageTable *t = CMessageTable::Of(target);
    if (!t)
        return false;
    t->PostMessage(msg, wParam, lParam);
    return true;
}

void SetCtrlId(QWidget *w, int id)
{
    if (w)
        w->setProperty(kCtrlIdProperty, id);
}

int GetCtrlId(const QWidget *w)
{
    if (!w)
        return 0;
    const QVariant v = w->property(kCtrlIdProperty);
    return v.isValid() ? v.toInt() : 0;
}

LPARAM CtrlHandle(QWidget *w)
{
    if (!w)
        return 0;
    QVariant v = w->property(kHandleProperty);
    if (!v.isValid()) {
        static std::atomic<unsigned> next{0};
        const unsigned h = 1 + (next.fetch_add(1) % 0xFFFFu);
        w->setProperty(kHandleProperty, h);
        return LPARAM(h);
    }
    return LPARAM(v.toUInt());
}

LRESULT NotifyParent(QWidget *ctrl, unsigned code)
{
    if (!ctrl || !ctrl->parentWidget())
        return 0;
    return SendMessageTo(ctrl->parentWidget(), WM_COMMAND, MAKEWPARAM(unsigned(GetCtrlId(ctrl)), code),
                         CtrlHandle(ctrl));
}

bool IsUiThread()
{
    QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void RunOnUiThread(std::function<void()> fn)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || IsUiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}
