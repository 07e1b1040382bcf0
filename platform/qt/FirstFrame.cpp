#include "platform/qt/FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget *window, std::function<void()> done) : QObject(window), m_done(std::move(done))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == parent() && e->type() == QEvent::Paint) {
            o->removeEventFilter(this);
            // Children paint in the same frame, after the window itself: run once it is done.
            QTimer::singleShot(0, this, [this] {
                const std::function<void()> done = std::move(m_done);
                deleteLater();
                done();
            });
        }
        return false;
    }

private:
    std::function<void()> m_done;
};

}  // namespace

void AfterFirstFrame(QWidget *window, std::function<void()> done)
{
    if (window && done)
        new FirstFrameWatch(window, std::move(done));
}
