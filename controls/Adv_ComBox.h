#pragma once
// A combo box whose left click becomes a command for its parent (WM_COMMAND with id 2729); the
// click does not drop the list down.

#include <QComboBox>

class CAdv_ComBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kCommandId = 2729;
    explicit CAdv_ComBox(QWidget *parent = nullptr);
    ~CAdv_ComBox() override;

protected:
    void mousePressEvent(QMouseEvent *e) override;
};
