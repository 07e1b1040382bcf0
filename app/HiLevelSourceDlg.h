#pragma once
// An empty dialog the main view holds beside the mixer: no controls, caption "Dialog". Nothing in
// the program shows it. Enter and Esc only move the focus to the dialog, so they never close it.

#include <QDialog>

class CHiLevelSourceDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 1030;

    explicit CHiLevelSourceDlg(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *e) override;
};
