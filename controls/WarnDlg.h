#pragma once
// A one-button message dialog: the owner sets the message before it runs; the button reads
// "Quit" (or its Chinese word).

#include <QDialog>
#include <QString>

class QPushButton;
class CTransparentStatic;

class CWarnDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 676;
    explicit CWarnDlg(QWidget *parent = nullptr);
    ~CWarnDlg() override;

    QString m_strMessage;
    QPushButton *Button() const { return m_pButton; }
    CTransparentStatic *TextControl() const { return m_pText; }
    bool OnInitDialog();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    QPushButton *m_pButton;
    CTransparentStatic *m_pText;
};
