#pragma once
// The input page as a window of its own: what the view's hidden button 2819 opens. The dialog
// makes an input page bound to the record tree and the view's services, shows the selected input
// and stays until the user closes it; the page is gone with it.

#include <QDialog>

struct AppServices;
class CInPutDlg;
class CKTV_Data;

class CInputPageDlg : public QDialog {
    Q_OBJECT
public:
    CInputPageDlg(const AppServices &services, CKTV_Data &doc, QWidget *parent = nullptr);
    int DoModal();
    CInPutDlg *Page() const { return m_page; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();
    CInPutDlg *m_page = nullptr;
};
