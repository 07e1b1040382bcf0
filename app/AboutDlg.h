#pragma once
// The framework's about box (the application's about command, which no menu or key of this
// program gives): the program's icon, its version line and OK.

#include <QDialog>

class QLabel;
class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 100;
    static constexpr int IDC_VERSION = 1867;

    explicit CAboutDlg(QWidget *parent = nullptr);
    int DoModal();
    void InitDialog();

    QLabel *VersionLine() const { return m_lblVersion; }
    QPushButton *OkButton() const { return m_btnOk; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    QLabel *m_icon;
    QLabel *m_lblVersion;
    QLabel *m_lblSecond;
    QPushButton *m_btnOk;
    bool m_bInitialised = false;
};
