#pragma once
// The bridged pair's mix panel: in the mixer it stands in for the source mix panel of the second
// output of a bridged pair and shows the pair's twelve levels as numbers and slider positions over
// its own background. Display only: its sliders store nothing.

#include "panels/output/PairMixPanel.h"

#include <QWidget>

#include <array>

class CBitmapSlider;
class QLabel;

class CBTLMixRoute : public QWidget, public IPairMixPanel {
    Q_OBJECT
public:
    static constexpr int IDD = 1026;
    static constexpr int kBackground = 1027;

    explicit CBTLMixRoute(QWidget *parent = nullptr);

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
