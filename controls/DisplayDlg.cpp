#include "controls/DisplayDlg.h"

#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WndTimers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {
CDisplayDlg::WindowLookup &programLookup()
{
    static CDisplayDlg::WindowLookup l;
    return l;
}
CDisplayDlg::WindowLookup &advancedLookup()
{
    static CDisplayDlg::WindowLookup l;
    return l;
}
constexpr COLORREF kDarkBlue = RGB(0, 0, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
}  // namespace

void CDisplayDlg::SetProgramDlgLookup(WindowLookup lookup) { programLookup() = std::move(lookup); }
void CDisplayDlg::SetAdvancedDlgLookup(WindowLookup lookup) { advancedLookup() = std::move(lookup); }

CDisplayDlg::CDisplayDlg(QWidget *owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint),
      m_pOwner(owner)
{
    setModal(false);
    setWindowTitle(QTr(StrId::XferTitle, false));
    setFont(DefaultDialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(229, 229, 229));
    setPalette(pal);
    setAutoFillBackground(true);
    const DialogUnits u = DefaultDialogUnits();
    setFixedSize(DluSize(191, 50, u));

    m_pText = new CFontStatic(this, IDC_TEXT);
    m_pText->setGeometry(DluRect(22, 10, 136, 12, u));
    m_pText->SetFontStatic(QString(), 18, kDarkBlue, 0x21);
    m_pText->SetBkColor(RGB(230, 230, 230));

    m_pProgress = new CGradientProgressCtrl(this, IDC_PROGRESS);
    m_pProgress->setGeometry(DluRect(22, 30, 136, 10, u));
    m_pProgress->SetBkColor(RGB(229, 229, 229));

    m_timers = new CWndTimers(this, [this](int id) {
        if (id == kTimer)
            OnTimer();
    });
}

void CDisplayDlg::Show(int dialogMode)
{
    m_nDialogMode = dialogMode;
    m_nEndTicks = -1;
    m_bBlink = 0;
    move(500, 400);
    m_title = m_bFactoryMode ? StrId::ResetTitle : StrId::XferTitle;
    m_text = m_bFactoryMode ? StrId::ResetRunning : StrId::XferRunning;
    applyTexts();
    m_pText->SetTextColor(kDarkBlue);

    // Re-enable whatever an earlier Show disabled before choosing again.
    if (m_pDisabled)
        m_pDisabled->setEnabled(true);
    QWidget *target = nullptr;
    if (m_bFactoryMode && advancedLookup())
        target = advancedLookup()();
    else if (!m_bFactoryMode && dialogMode == 1 && programLookup())
        target = programLookup()();
    if (!target)
        target = m_pOwner;
    m_pDisabled = target;
    if (target)
        target->setEnabled(false);

    // Centred over the owner's window, or the screen without one.
    const QRect area = m_pOwner ? m_pOwner->window()->frameGeometry()
                                : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                    : QRect(0, 0, 1200, 700));
    move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    m_timers->SetTimer(kTimer, kTickMs);
}

void CDisplayDlg::Hide()
{
    m_timers->KillTimer(kTimer);
    if (m_pDisabled)
        m_pDisabled->setEnabled(true);
    m_pDisabled = nullptr;
    m_nDialogMode = 0;
    m_bFactoryMode = false;
    m_nEndTicks = -1;
    hide();
}

void CDisplayDlg::SetFactoryResetMode()
{
    m_bFactoryMode = true;
    m_nTickPos = 0;  // a reset counts from the start, whatever an earlier one left
    m_pProgress->SetRange(0, 110);
    m_pProgress->SetPos(0);
}

bool CDisplayDlg::TimerActive() const { return m_timers->IsActive(kTimer); }

void CDisplayDlg::applyTexts()
{
    setWindowTitle(QTr(m_title));
    m_pText->SetText(QTr(m_text));
}

void CDisplayDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        applyTexts();
    QDialog::changeEvent(e);
}

void CDisplayDlg::showEndText(StrId text)
{
    m_text = text;
    m_pText->SetText(QTr(text));
    m_pText->SetTextColor(kDarkBlue);
    // The user may go on at once; the popup only stays to be read.
    if (m_pDisabled)
        m_pDisabled->setEnabled(true);
    m_nEndTicks = 0;
}

void CDisplayDlg::OnTimer()
{
    if (m_nEndTicks >= 0) {
        if (++m_nEndTicks >= kEndTextTicks)
            Hide();
        return;
    }
    if (g_bTransferring.load()) {
        m_bBlink = !m_bBlink;
        m_pText->SetTextColor(m_bBlink ? kDarkBlue : kRed);
        if (m_bFactoryMode) {
            m_nTickPos = m_pProgress->GetPos();
            if (m_nTickPos < m_pProgress->GetRangeUpper() - 2)
                ++m_nTickPos;
            m_pProgress->SetPos(m_nTickPos);
        }
        return;
    }
    if (!m_bFactoryMode) {
        showEndText(StrId::XferDone);
        return;
    }
    const int upper = m_pProgress->GetRangeUpper();
    if (m_nTickPos > upper + 10) {
        showEndText(StrId::ResetDone);
    } else if (m_nTickPos >= upper) {
        ++m_nTickPos;
    } else {
        m_nTickPos = upper;
        m_pProgress->SetPos(upper);
    }
}

void CDisplayDlg::closeEvent(QCloseEvent *e) { e->ignore(); }

void CDisplayDlg::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        setFocus();
        return;
    }
    QDialog::keyPressEvent(e);
}
