#pragma once
// What the mixer asks of the panel that stands in for the source mix panel of the second output of
// a bridged pair: twelve rows, each a level as text and as a slider position, written only by the
// mixer (nothing the user does to the panel is stored). Rows are 1..12 as in mixrow (MixRows.h).
//
// CPairMixDisplay is the display the mixer makes; it shows the rows over its own background.

#include <QString>
#include <QWidget>

#include <array>

class CBitmapSlider;
class QLabel;

class IPairMixPanel {
public:
    virtual ~IPairMixPanel() = default;
    virtual QWidget *Window() = 0;
    // The row's text (repainted over the background at once) and slider position.
    virtual void SetRowText(int row, const QString &text) = 0;
    virtual void SetRowPos(int row, int pos) = 0;
    virtual QString RowText(int row) const = 0;
    virtual int RowPos(int row) const = 0;
};

class CPairMixDisplay : public QWidget, public IPairMixPanel {
    Q_OBJECT
public:
    static constexpr int IDD = 1026;
    static constexpr int kBackground = 1027;

    explicit CPairMixDisplay(QWidget *parent = nullptr);

    QWidget *Window() override { return this; }
    void SetRowText(int row, const QString &text) override;
    void SetRowPos(int row, int pos) override;
    QString RowText(int row) const override;
    int RowPos(int row) const override;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    std::array<QLabel *, 12> m_labels{};
    std::array<CBitmapSlider *, 12> m_sliders{};
};
