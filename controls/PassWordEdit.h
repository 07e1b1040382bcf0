#pragma once
// An edit that takes letters, digits and backspace only.

#include <QLineEdit>

class CPassWordEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CPassWordEdit(QWidget *parent = nullptr);
    ~CPassWordEdit() override;
    static bool IsAccepted(QChar c);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
};
