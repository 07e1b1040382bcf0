#pragma once
// Window messages on Qt: a receiver keeps a table of handlers by message number; a message is
// posted to it from any thread (it travels through Qt's event queue, in order, carrying values
// only) or sent synchronously on the receiver's own thread. Numbers are the receiver's own:
// the same number may mean different things to different receivers.
//
//   auto *table = CMessageTable::Ensure(view);
//   table->On(WM_LINK_QUEUE_DONE, [this](WPARAM w, LPARAM l) { return OnQueueDone(w, l); });
//   ...
//   g_pNotifyView = table;                  // an IMessageTarget: the link posts from its worker
//   SendMessageTo(parent, WM_COMMAND, id, CtrlHandle(this));   // UI thread, synchronous
//
// Controls carry their template control id as a property (SetCtrlId) and report to their parent
// with NotifyParent, the WM_COMMAND form every page understands.

#include "platform/ViewServices.h"
#include "platform/WinCompat.h"

#include <QEvent>
#include <QObject>

#include <functional>
#include <unordered_map>

class QWidget;

// Windows message numbers the controls and pages are phrased in.
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned PBM_SETPOS = WM_USER + 2;

// Mouse key flags of WM_MOUSEMOVE's wParam.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Notification code in the high word of WM_COMMAND's wParam.
constexpr WPARAM BN_CLICKED = 0;
constexpr WPARAM BN_DOUBLECLICKED = 5;
constexpr WPARAM STN_CLICKED = 0;

constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) { return WPARAM((lo & 0xFFFFu) | ((hi & 0xFFFFu) << 16)); }
constexpr unsigned LOWORD(std::uintptr_t v) { return unsigned(v & 0xFFFFu); }
constexpr unsigned HIWORD(std::uintptr_t v) { return unsigned((v >> 16) & 0xFFFFu); }

// The event that carries a posted message.
class CMessageEvent : public QEvent {
public:
    CMessageEvent(unsigned msg, WPARAM w, LPARAM l) : QEvent(Type()), message(msg), wParam(w), lParam(l) {}
    static QEvent::Type Type();
    const unsigned message;
    const WPARAM wParam;
    const LPARAM lParam;
};

// The message table of one receiver. It is a child of its owner and lives in the owner's thread;
// Ensure() makes one, Of() finds it.
class CMessageTable : public QObject, public IMessageTarget {
    Q_OBJECT
public:
    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;
    using AnyHandler = std::function<LRESULT(unsigned, WPARAM, LPARAM)>;

    explicit CMessageTable(QObject *owner);
    ~CMessageTable() override;

    static CMessageTable *Of(const QObject *owner);
    static CMessageTable *Ensure(QObject *owner);

    // Handler of one number (replaces an earlier one).
    void On(unsigned msg, Handler handler);
    void Remove(unsigned msg);
    bool Handles(unsigned msg) const;
    // Handler of every number without its own entry.
    void OnAny(AnyHandler handler);

    // Any thread: queued for the owner's thread, delivered in the order posted. Messages still
    // queued when the table is destroyed are dropped.
    void PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) override;
    // The owner's thread: runs the handler now and returns its result (0 when there is none).
    LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    bool event(QEvent *e) override;

private:
    std::unordered_map<unsigned, Handler> m_handlers;
    AnyHandler m_any;
};

// Sends to the table of `target` (synchronous, its thread); 0 when it has none or no handler.
LRESULT SendMessageTo(QObject *target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Posts to the table of `target`; false when it has none. Call from the target's thread; other
// threads post through the table's IMessageTarget, which must outlive them.
bool PostMessageTo(QObject *target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Control ids and the small handle number that WM_COMMAND carries in lParam.
void SetCtrlId(QWidget *w, int id);
int GetCtrlId(const QWidget *w);       // 0 when none was set
LPARAM CtrlHandle(QWidget *w);         // a per-control number in 1..0xFFFF, stable for its life
// WM_COMMAND (wParam = id | code << 16, lParam = CtrlHandle) to the control's parent.
LRESULT NotifyParent(QWidget *ctrl, unsigned code = 0);

// Runs `fn` on the UI (application) thread: now when called there, else queued.
void RunOnUiThread(std::function<void()> fn);
bool IsUiThread();
