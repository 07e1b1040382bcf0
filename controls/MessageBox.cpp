#include "controls/MessageBox.h"

#include "controls/ConsoleStyle.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <optional>

namespace {

QString qs(const std::string &s) { return QString::fromStdString(s); }

constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kQuitOnly = 6;

struct Labels {
    std::optional<StrId> ok, cancel;  // none keeps the template label
};

// Labels by button set; null keeps both template labels.
const Labels *labelsFor(unsigned set)
{
    static const Labels ok{StrId::Ok, std::nullopt};
    static const Labels okCancel{StrId::Ok, StrId::Cancel};
    static const Labels yesNo{StrId::Yes, StrId::No};
    static const Labels quit{std::nullopt, StrId::Quit};
    switch (set) {
    case MB_OK: return &ok;
    case MB_OKCANCEL: return &okCancel;
    case MB_YESNO: return &yesNo;
    case kQuitOnly: return &quit;
    default: return nullptr;
    }
}

}  // namespace

CMessageBox::CMessageBox(QWidget *parent) : QDialog(parent) { build(); }

CMessageBox::CMessageBox(const std::string &text, unsigned type, const std::string &caption, int code)
    : QDialog(nullptr), m_strText(qs(text)), m_strCaption(qs(caption)), m_nType(type), m_nCode(code)
{
    build();
}

void CMessageBox::SetMessage(const std::string &text, unsigned type, const std::string &, int code)
{
    m_strText = qs(text);
    m_nType = type;
    m_nCode = code;
    m_strCaption = qs(g_strProductName);
}

void CMessageBox::build()
{
    setWindowTitle(QStringLiteral("AfxMessageBox"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFont(DefaultDialogFont());
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DefaultDialogUnits();
    setFixedSize(DluSize(183, 78, u));

    m_lblText = new QLabel(this);
    SetCtrlId(m_lblText, IDC_TEXT);
    m_lblText->setGeometry(DluRect(-1, 25, 184, 27, u));
    m_lblText->setWordWrap(true);
    m_lblText->setTextFormat(Qt::PlainText);
    m_lblText->setAlignment(Qt::AlignRight | Qt::AlignTop);

    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(37, 56, 50, 14, u));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    SetCtrlId(m_btnCancel, IDCANCEL);
    m_btnCancel->setGeometry(DluRect(101, 56, 50, 14, u));
    connect(m_btnOk, &QPushButton::clicked, this, [this] { onOk(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { onCancel(); });

    m_timer = new CWndTimers(this, [this](int) { onTimer(); });
}

QString CMessageBox::TitleForCode(int code, bool chinese)
{
    switch (code) {
    case 2000: return QTr(StrId::Prompt, chinese);
    case 2001: return QTr(StrId::Warning, chinese);
    case -2: return QTr(StrId::Prompt, true);
    case -3: return QTr(StrId::Prompt, false);
    case -4: return QTr(StrId::Warning, true);
    case -5: return QTr(StrId::Warning, false);
    default: return {};
    }
}

int CMessageBox::OkResult(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL: return IDOK;
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case 2: return IDABORT;  // abort, retry, ignore
    case kQuitOnly: return IDCANCEL;  // the one button of a quit box is its Cancel button
    default: return IDOK;
    }
}

int CMessageBox::CancelResult(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
    }
}

void CMessageBox::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;

    // The text is centred; a longer text makes the box taller rather than being cut.
    m_lblText->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_lblText->setText(m_strText);
    const int need = m_lblText->heightForWidth(m_lblText->width());
    if (need > m_lblText->height()) {
        const int grow = need - m_lblText->height();
        m_lblText->resize(m_lblText->width(), need);
        for (QPushButton *b : {m_btnOk, m_btnCancel})
            b->move(b->x(), b->y() + grow);
        setFixedSize(width(), height() + grow);
    }

    // A negative code would be a period of more than 24 days: such boxes wait for the user.
    if (m_nCode > 0)
        m_timer->SetTimer(kCloseTimer, m_nCode);

    m_nResult = CancelResult(m_nType);  // the result of a box that is left any other way
    applyTexts();
    if ((m_nType & kIconMask) == 0) {
        const unsigned set = m_nType & MB_TYPEMASK;
        QPushButton *only = set == MB_OK ? m_btnOk : set == kQuitOnly ? m_btnCancel : nullptr;
        if (only) {
            (set == MB_OK ? m_btnCancel : m_btnOk)->hide();
            only->move((width() - only->width()) / 2, only->y());
            only->setDefault(true);
            only->setFocus();
        }
    }
}

void CMessageBox::applyTexts()
{
    const bool chinese = g_bChinese.load() != 0;
    const QString title = TitleForCode(m_nCode, chinese);
    setWindowTitle(title.isEmpty() ? m_strCaption : title);
    if ((m_nType & kIconMask) != 0)
        return;
    if (const Labels *l = labelsFor(m_nType & MB_TYPEMASK)) {
        if (l->ok)
            m_btnOk->setText(QTr(*l->ok, chinese));
        if (l->cancel)
            m_btnCancel->setText(QTr(*l->cancel, chinese));
    }
}

void CMessageBox::changeEvent(QEvent *e)
{
    // The caller's text stays as given; title and button labels follow the language.
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        applyTexts();
    QDialog::changeEvent(e);
}

bool CMessageBox::CloseTimerActive() const { return m_timer->IsActive(kCloseTimer); }

int CMessageBox::DoModal()
{
    InitDialog();
    exec();
    return m_nResult;
}

void CMessageBox::showEvent(QShowEvent *e)
{
    InitDialog();
    QDialog::showEvent(e);
}

void CMessageBox::finish(int result)
{
    if (m_bFinishing)
        return;
    m_bFinishing = true;
    m_nResult = result;
    m_timer->KillTimer(kCloseTimer);
    done(result);
    m_bFinishing = false;
}

void CMessageBox::onOk() { finish(OkResult(m_nType)); }
void CMessageBox::onCancel() { finish(CancelResult(m_nType)); }
void CMessageBox::onTimer() { finish(CancelResult(m_nType)); }

void CMessageBox::closeEvent(QCloseEvent *e)
{
    if (!m_bFinishing && isVisible()) {
        e->ignore();
        onCancel();
        return;
    }
    QDialog::closeEvent(e);
}

void CMessageBox::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        onCancel();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Enter presses the focused button, else the default one.
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        QPushButton *b = focused && focused->isVisible() ? focused : (m_btnOk->isVisible() ? m_btnOk : m_btnCancel);
        b == m_btnOk ? onOk() : onCancel();
        return;
    }
    QDialog::keyPressEvent(e);
}

int TimedMessageBox(QWidget *, const std::string &text, const std::string &, unsigned type, int, int code)
{
    return ShowMessage(text, type, code);
}

int CMessageBoxService::ShowMessage(const std::string &text, unsigned type, int code)
{
    if (IsUiThread()) {
        CMessageBox box(text, type, g_strProductName, code);
        return box.DoModal();
    }
    RunOnUiThread([text, type, code] {
        CMessageBox box(text, type, g_strProductName, code);
        box.DoModal();
    });
    // The worker does not wait: it gets what the box gives when it is left without a choice.
    return CMessageBox::CancelResult(type);
}

void InstallMessageBoxService()
{
    static CMessageBoxService service;
    SetMessageBoxService(&service);
}

CMsgBox::CMsgBox() : QWidget(nullptr), m_timers(new CWndTimers(this, [this](int) { OnTimer(); })) { hide(); }

CMsgBox::CMsgBox(QWidget *parent) : CMsgBox() { CreateHidden(parent); }

void CMsgBox::CreateHidden(QWidget *parent)
{
    if (m_bCreated)
        return;
    setParent(parent);
    setObjectName(QStringLiteral("{62BAB41D-B6BB-402C-89EF-5B86830DF68C}"));
    SetCtrlId(this, 1000);
    setGeometry(0, 0, 0, 0);
    hide();
    m_bCreated = 1;
}

void CMsgBox::Show(const std::string &text)
{
    m_strText = QString::fromStdString(text);
    m_timers->SetTimer(kTimer, 1000);
    ::ShowMessage(text, MB_OK, 0);
}

void CMsgBox::PressEnter()
{
    // Only a message box is closed this way; any other window keeps its keys.
    QWidget *target = qobject_cast<CMessageBox *>(QApplication::activeModalWidget());
    if (!target)
        return;
    if (QWidget *f = target->focusWidget())
        target = f;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void CMsgBox::OnTimer()
{
    m_timers->KillTimer(kTimer);
    PressEnter();
}
