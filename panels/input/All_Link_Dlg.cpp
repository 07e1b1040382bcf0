#include "panels/input/All_Link_Dlg.h"

#include "controls/ButtonRadio.h"
#include "controls/ConsoleStyle.h"
#include "controls/StaticText.h"
#include "controls/TransparentStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>

namespace {
// Console text colour of the question.
constexpr COLORREF kText = RGB(0xE4, 0xE8, 0xEE);
}  // namespace

CAll_Link_Dlg::CAll_Link_Dlg(QWidget *parent)
    : CTwoChoicePrompt(parent, {IDD, QSize(183, 78), IDC_FIRST, IDC_SECOND, QRect(58, 25, 91, 10),
                                QRect(58, 39, 91, 10), QRect(37, 56, 50, 14), QRect(101, 56, 50, 14)})
{
    setWindowTitle(QStringLiteral("L/R Link"));
    m_lblQuestion = new CTransparentStatic(this, IDC_QUESTION, SS_CENTER);
    m_lblQuestion->setGeometry(Place(QRect(8, 4, 170, 19)));
    m_lblQuestion->SetTextColor(kText);
}

void CAll_Link_Dlg::OnInitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    CheckChoice();
    ApplyTexts();
}

void CAll_Link_Dlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::Prompt));
    m_lblQuestion->SetText(QTr(StrId::LinkSyncQuestion));
    m_radioFirst->setText(QTr(StrId::LinkCopyLeftToRight));
    m_radioSecond->setText(QTr(StrId::LinkCopyRightToLeft));
    m_btnOk->setText(QTr(StrId::Ok));
    m_btnCancel->setText(QTr(StrId::Cancel));
}

void CAll_Link_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
