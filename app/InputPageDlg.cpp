#include "app/InputPageDlg.h"

#include "controls/ConsoleStyle.h"
#include "panels/input/InPutDlg.h"
#include "platform/qt/Language.h"
#include "services/Services.h"

#include <QEvent>

CInputPageDlg::CInputPageDlg(const AppServices &services, CKTV_Data &doc, QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ApplyConsoleDialogStyle(this);
    m_page = new CInPutDlg(services.sends, services.sync, services.boxes, this);
    m_page->SetKTVData(&doc);
    m_page->move(0, 0);
    setFixedSize(m_page->size());
    m_page->ShowSelectedInput();
    ApplyTexts();
}

int CInputPageDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CInputPageDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::InPageTitle));
}

void CInputPageDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        ApplyTexts();
    QDialog::changeEvent(e);
}
