#include "panels/input/CH_Link_Dlg.h"

#include "controls/ButtonRadio.h"
#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>

#include <string>

CCH_Link_Dlg::CCH_Link_Dlg(QWidget *parent)
    : CTwoChoicePrompt(parent, {IDD, QSize(166, 96), IDC_FIRST, IDC_SECOND, QRect(6, 33, 101, 10),
                                QRect(6, 49, 101, 10), QRect(56, 79, 50, 14), QRect(112, 79, 50, 14)})
{
    m_lblQuestion = new QLabel(this);
    m_lblQuestion->setGeometry(Place(QRect(6, 11, 150, 14)));
}

void CCH_Link_Dlg::OnInitDialog()
{
    CheckChoice();
    // The prompt's texts are English whatever the language.
    m_lblQuestion->setText(QTr(StrId::LinkChannelQuestion, false));
    m_btnOk->setText(QStringLiteral("OK"));
    m_btnCancel->setText(QStringLiteral("Cancel"));
    if (m_nPair < 0 || m_nPair > 2) {
        setWindowTitle(QTr(StrId::LinkChannelCaption, false));
        m_radioFirst->setText(QString());
        m_radioSecond->setText(QString());
        return;
    }
    const std::string first = std::to_string(2 * m_nPair + 1), second = std::to_string(2 * m_nPair + 2);
    setWindowTitle(QString::fromStdString(TrArgs(StrId::LinkChannelPairCaption, false, {first, second})));
    m_radioFirst->setText(QString::fromStdString(TrArgs(StrId::LinkChannelApplied, false, {first})));
    m_radioSecond->setText(QString::fromStdString(TrArgs(StrId::LinkChannelApplied, false, {second})));
}
