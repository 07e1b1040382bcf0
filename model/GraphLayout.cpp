#include "model/GraphLayout.h"

#include <algorithm>

#include "model/DataDefine.h"

namespace graph {

GraphLayout ComputeLayout(const CRect &client)
{
    GraphLayout l;
    l.client = client;
    l.plot = PlotRectFromClient(client);
    // A window smaller than the insets has no plot; keep its rectangle empty, not inverted.
    l.plot.right = std::max(l.plot.right, l.plot.left);
    l.plot.bottom = std::max(l.plot.bottom, l.plot.top);
    for (int k = 0; k < kGridLines; ++k)
        l.gridX[static_cast<std::size_t>(k)] = GridLineX(k, l.plot.Width());
    return l;
}

std::array<FrameLabel, kGainLabels> GainLabels(const GraphLayout &layout)
{
    static constexpr std::string_view texts[kGainLabels] = {"+12", "+9", "+6", "+3", "0dB", "-3", "-6", "-9", "-12"};
    const int H = layout.plot.Height();
    const int step = H / 8;
    std::array<FrameLabel, kGainLabels> out{};
    out[0] = {texts[0], 6, layout.client.top + 5};
    for (int k = 1; k <= 7; ++k)
        out[static_cast<std::size_t>(k)] = {texts[k], 6, step * k + 3};
    out[8] = {texts[8], 6, H};
    return out;
}

std::array<FrameLabel, kFreqLabels> FreqLabels(const GraphLayout &layout)
{
    struct Row {
        std::string_view text;
        int freq;
        int shift;
    };
    static constexpr Row rows[kFreqLabels - 1] = {
        {"30", 30, 8},     {"40", 40, 8},     {"50", 50, 8},     {"70", 70, 8},     {"100", 100, 10},
        {"200", 200, 10},  {"300", 300, 10},  {"500", 500, 10},  {"700", 700, 10},  {"1K", 1000, 8},
        {"2K", 2000, 8},   {"3K", 3000, 8},   {"4K", 4000, 8},   {"5K", 5000, 8},   {"7K", 7000, 8},
        {"10K", 10000, 10}};
    const int W = layout.plot.Width();
    const int y = layout.plot.bottom;
    std::array<FrameLabel, kFreqLabels> out{};
    out[0] = {"20", 30, y};
    for (int i = 0; i < kFreqLabels - 2; ++i)
        out[static_cast<std::size_t>(i + 1)] = {rows[i].text, FreqToWindowX(rows[i].freq, W) - rows[i].shift, y};
    out[kFreqLabels - 1] = {"20K", FreqToWindowX(20000, W) - 15, y};
    return out;
}

int PlotLineY(const GraphLayout &layout, int k, int divisions)
{
    return GainLineY(k, divisions, layout.plot.top, layout.plot.Height());
}

MarkerAlign MarkerTextAlign(const CRect &marker, const CRect &plot, int freq)
{
    if (marker.right == plot.right)
        return MarkerAlign::Left;
    if (freq <= kFreqMin)
        return MarkerAlign::Right;
    if (freq >= kFreqMax)
        return MarkerAlign::Left;
    return MarkerAlign::Center;
}

std::string_view MarkerText(int index, int type, char (&buf)[4])
{
    if (type == kTypeHighPass)
        return "H";
    if (type == kTypeLowPass)
        return "L";
    const int n = std::clamp(index + 1, 0, 999);
    int len = 0;
    if (n >= 100)
        buf[len++] = static_cast<char>('0' + n / 100);
    if (n >= 10)
        buf[len++] = static_cast<char>('0' + n / 10 % 10);
    buf[len++] = static_cast<char>('0' + n % 10);
    buf[len] = '\0';
    return {buf, static_cast<std::size_t>(len)};
}

} // namespace graph
