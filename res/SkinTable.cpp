#include "res/SkinTable.h"

#include <algorithm>
#include <array>

namespace {

using S = SkinStyle;
using St = SkinState;

struct Entry {
    SkinType type;
    int id;
    SkinSpec spec;
};

constexpr QRgb Red = 0xFFFF3B30;
constexpr QRgb Green = 0xFF33C800;
constexpr QRgb Amber = 0xFFFFB020;

constexpr SkinSpec B(S style, St state, int w, int h, const char *en = "", const char *cn = "", QRgb accent = 0)
{
    return SkinSpec{style, state, QSize(w, h), en, cn, accent};
}

// Ids in ascending order within each type (looked up by binary search).
constexpr Entry kTable[] = {
    // Brand logo of the main view.
    {SkinType::Bitmap, 275, B(S::Icon, St::Normal, 128, 91, "logo")},
    // Slider channels and thumbs of the output page, the route strips and the master fader.
    {SkinType::Bitmap, 280, B(S::FaderThumb, St::Normal, 26, 13)},
    {SkinType::Bitmap, 281, B(S::FaderTrack, St::Normal, 34, 160)},
    {SkinType::Bitmap, 282, B(S::FaderThumb, St::Checked, 26, 13)},
    {SkinType::Bitmap, 283, B(S::FaderTrack, St::Checked, 34, 160)},
    // Main view backgrounds (English, Chinese) and output page backgrounds (English, Chinese).
    {SkinType::Bitmap, 284, B(S::Panel, St::Normal, 1200, 695, "ZK-470  DSP TUNER", "")},
    {SkinType::Bitmap, 285, B(S::Panel, St::Normal, 1200, 695, "", "ZK-470  数字音频处理器")},
    {SkinType::Bitmap, 286, B(S::Panel, St::Normal, 1200, 664, "OUTPUT", "")},
    {SkinType::Bitmap, 287, B(S::Panel, St::Normal, 1200, 664, "", "输出")},
    {SkinType::Bitmap, 357, B(S::FaderTrack, St::Normal, 34, 200)},
    {SkinType::Bitmap, 358, B(S::FaderThumb, St::Normal, 26, 13)},
    // Output mute button: sounding look (normal, hover, pressed).
    {SkinType::Bitmap, 526, B(S::Toggle, St::Checked, 44, 20, "ON", "开", Green)},
    {SkinType::Bitmap, 527, B(S::Toggle, St::CheckedHover, 44, 20, "ON", "开", Green)},
    {SkinType::Bitmap, 528, B(S::Toggle, St::CheckedPressed, 44, 20, "ON", "开", Green)},
    // Equaliser band sliders: channel, thumb, active thumb, dim thumb, disabled thumb.
    {SkinType::Bitmap, 610, B(S::FaderTrack, St::Normal, 22, 121)},
    {SkinType::Bitmap, 611, B(S::FaderThumb, St::Normal, 18, 9)},
    {SkinType::Bitmap, 612, B(S::FaderThumb, St::Disabled, 18, 9)},
    {SkinType::Bitmap, 613, B(S::FaderThumb, St::Checked, 18, 9)},
    {SkinType::Bitmap, 626, B(S::FaderThumb, St::Normal, 18, 9)},
    {SkinType::Bitmap, 627, B(S::FaderThumb, St::Checked, 18, 9)},
    {SkinType::Bitmap, 628, B(S::FaderThumb, St::Disabled, 18, 9)},
    // Drop-down selectors of the crossover editors (normal, hover).
    {SkinType::Bitmap, 701, B(S::Button, St::Normal, 90, 20)},
    {SkinType::Bitmap, 702, B(S::Button, St::Hover, 90, 20)},
    // Preset-name display bars (disabled looks used as a text field).
    {SkinType::Bitmap, 716, B(S::Bar, St::Normal, 125, 18)},
    {SkinType::Bitmap, 718, B(S::Bar, St::Normal, 125, 18)},
    // Input source selector of the main view (normal, hover).
    {SkinType::Bitmap, 739, B(S::Panel, St::Normal, 116, 570, "", "总音量")},
    {SkinType::Bitmap, 763, B(S::Button, St::Normal, 74, 21)},
    {SkinType::Bitmap, 764, B(S::Button, St::Hover, 74, 21)},
    // Step-button faces over the delay edits: resting, minus area hot, middle active, plus area hot.
    {SkinType::Bitmap, 800, B(S::StepField, St::Normal, 80, 20, "rest")},
    {SkinType::Bitmap, 801, B(S::StepField, St::Normal, 80, 20, "minus")},
    {SkinType::Bitmap, 802, B(S::StepField, St::Normal, 80, 20, "middle")},
    {SkinType::Bitmap, 803, B(S::StepField, St::Normal, 80, 20, "plus")},
    {SkinType::Bitmap, 804, B(S::StepField, St::Normal, 80, 20, "rest")},
    {SkinType::Bitmap, 805, B(S::StepField, St::Normal, 80, 20, "minus")},
    {SkinType::Bitmap, 806, B(S::StepField, St::Normal, 80, 20, "middle")},
    {SkinType::Bitmap, 807, B(S::StepField, St::Normal, 80, 20, "plus")},
    // Route strip background and routing toggles.
    {SkinType::Bitmap, 847, B(S::Button, St::Hover, 60, 20)},
    {SkinType::Bitmap, 848, B(S::Button, St::Normal, 60, 20)},
    {SkinType::Bitmap, 851, B(S::Panel, St::Normal, 100, 190)},
    {SkinType::Bitmap, 853, B(S::Panel, St::Normal, 116, 570, "MASTER", "")},
    {SkinType::Bitmap, 854, B(S::Toggle, St::Normal, 17, 14)},
    {SkinType::Bitmap, 855, B(S::Toggle, St::Hover, 17, 14)},
    // Delay-unit selector background and its unit buttons (ms, cm, inch: normal, hover, checked).
    {SkinType::Bitmap, 857, B(S::Panel, St::Normal, 108, 80)},
    // Strip link button, Chinese: plain, checked; English: plain, checked; linked looks.
    {SkinType::Bitmap, 882, B(S::Icon, St::Normal, 24, 20, "mute")},
    {SkinType::Bitmap, 883, B(S::Icon, St::Hover, 24, 20, "mute")},
    {SkinType::Bitmap, 884, B(S::Icon, St::Checked, 24, 20, "mute", "", 0xFFFF3B30)},
    {SkinType::Bitmap, 885, B(S::Icon, St::CheckedHover, 24, 20, "mute", "", 0xFFFF3B30)},
    {SkinType::Bitmap, 890, B(S::Button, St::Normal, 33, 15, "", "联调")},
    {SkinType::Bitmap, 891, B(S::Button, St::Checked, 33, 15, "", "联调")},
    {SkinType::Bitmap, 892, B(S::Button, St::Normal, 33, 15, "LINK", "")},
    {SkinType::Bitmap, 893, B(S::Button, St::Checked, 33, 15, "LINK", "")},
    {SkinType::Bitmap, 950, B(S::Button, St::CheckedHover, 33, 15, "", "联调")},
    {SkinType::Bitmap, 951, B(S::Button, St::CheckedHover, 33, 15, "LINK", "")},
    // Source ticks of the mix panels (empty, ticked).
    {SkinType::Bitmap, 952, B(S::Icon, St::Normal, 24, 16, "link")},
    {SkinType::Bitmap, 953, B(S::Icon, St::Hover, 24, 16, "link")},
    {SkinType::Bitmap, 954, B(S::Icon, St::Checked, 24, 16, "link")},
    {SkinType::Bitmap, 969, B(S::Icon, St::Normal, 14, 14, "tick")},
    {SkinType::Bitmap, 970, B(S::Icon, St::Checked, 14, 14, "tick")},
    // Pair panels: polarity normal/inverted (Chinese, English), on/off.
    {SkinType::Bitmap, 971, B(S::Button, St::Normal, 36, 16, "", "正相")},
    {SkinType::Bitmap, 972, B(S::Button, St::Checked, 36, 16, "", "反相", Red)},
    {SkinType::Bitmap, 973, B(S::Button, St::Normal, 36, 16, "NOR", "")},
    {SkinType::Bitmap, 974, B(S::Button, St::Checked, 36, 16, "INV", "", Red)},
    {SkinType::Bitmap, 978, B(S::Toggle, St::Checked, 36, 16, "ON", "", Green)},
    {SkinType::Bitmap, 979, B(S::Toggle, St::Normal, 36, 16, "OFF", "")},
    // Mixer and input panels: backgrounds, faders.
    {SkinType::Bitmap, 1016, B(S::Panel, St::Normal, 116, 570)},
    // Horizontal level sliders of the mix panels: the active source's channel, its thumb and the
    // thumb while the slider is in use.
    {SkinType::Bitmap, 1017, B(S::FaderTrack, St::Checked, 56, 20, "", "", Green)},
    {SkinType::Bitmap, 1018, B(S::FaderThumb, St::Checked, 10, 16, "", "", Green)},
    {SkinType::Bitmap, 1019, B(S::FaderThumb, St::Checked, 10, 16)},
    {SkinType::Bitmap, 1020, B(S::Panel, St::Normal, 1120, 624, "", "混音")},
    {SkinType::Bitmap, 1021, B(S::Panel, St::Normal, 1120, 624, "MIXER", "")},
    // Mixer button of the main view: Chinese (normal, hover), English (normal, hover).
    {SkinType::Bitmap, 1022, B(S::Button, St::Normal, 64, 20, "", "混音")},
    {SkinType::Bitmap, 1023, B(S::Button, St::Hover, 64, 20, "", "混音")},
    {SkinType::Bitmap, 1024, B(S::Button, St::Normal, 64, 20, "MIX", "")},
    {SkinType::Bitmap, 1025, B(S::Button, St::Hover, 64, 20, "MIX", "")},
    {SkinType::Bitmap, 1027, B(S::Panel, St::Normal, 114, 579)},
    {SkinType::Bitmap, 1029, B(S::FaderThumb, St::Checked, 10, 16)},
    {SkinType::Bitmap, 1031, B(S::FaderThumb, St::Normal, 10, 16)},
    {SkinType::Bitmap, 1038, B(S::FaderTrack, St::Normal, 56, 20)},
    // Switches: noise gate (on, off), advanced switch (off, on), source bar.
    {SkinType::Bitmap, 1042, B(S::Toggle, St::Checked, 46, 22, "ON", "开", Green)},
    {SkinType::Bitmap, 1043, B(S::Toggle, St::Normal, 46, 22, "OFF", "关")},
    {SkinType::Bitmap, 1044, B(S::Toggle, St::Normal, 46, 22, "OFF", "关")},
    {SkinType::Bitmap, 1045, B(S::Toggle, St::Checked, 46, 22, "ON", "开", Green)},
    {SkinType::Bitmap, 1046, B(S::Bar, St::Normal, 100, 22)},
    {SkinType::Bitmap, 1047, B(S::Icon, St::Disabled, 300, 140, "logo")},
    {SkinType::Bitmap, 1048, B(S::Toggle, St::Disabled, 17, 14)},
    // Page buttons of the main view: English (output, input, volume), then Chinese.
    {SkinType::Bitmap, 4300, B(S::Tab, St::Normal, 110, 28, "OUTPUT", "")},
    {SkinType::Bitmap, 4301, B(S::Tab, St::Hover, 110, 28, "OUTPUT", "")},
    {SkinType::Bitmap, 4302, B(S::Tab, St::Checked, 110, 28, "OUTPUT", "")},
    {SkinType::Bitmap, 4303, B(S::Tab, St::Normal, 110, 28, "INPUT", "")},
    {SkinType::Bitmap, 4304, B(S::Tab, St::Hover, 110, 28, "INPUT", "")},
    {SkinType::Bitmap, 4305, B(S::Tab, St::Checked, 110, 28, "INPUT", "")},
    {SkinType::Bitmap, 4306, B(S::Tab, St::Normal, 110, 28, "VOLUME", "")},
    {SkinType::Bitmap, 4307, B(S::Tab, St::Hover, 110, 28, "VOLUME", "")},
    {SkinType::Bitmap, 4308, B(S::Tab, St::Checked, 110, 28, "VOLUME", "")},
    {SkinType::Bitmap, 4310, B(S::Tab, St::Normal, 110, 28, "", "信号输出")},
    {SkinType::Bitmap, 4311, B(S::Tab, St::Hover, 110, 28, "", "信号输出")},
    {SkinType::Bitmap, 4312, B(S::Tab, St::Checked, 110, 28, "", "信号输出")},
    {SkinType::Bitmap, 4313, B(S::Tab, St::Normal, 110, 28, "", "信号输入")},
    {SkinType::Bitmap, 4314, B(S::Tab, St::Hover, 110, 28, "", "信号输入")},
    {SkinType::Bitmap, 4315, B(S::Tab, St::Checked, 110, 28, "", "信号输入")},
    {SkinType::Bitmap, 4316, B(S::Tab, St::Normal, 110, 28, "", "音量")},
    {SkinType::Bitmap, 4317, B(S::Tab, St::Hover, 110, 28, "", "音量")},
    {SkinType::Bitmap, 4318, B(S::Tab, St::Checked, 110, 28, "", "音量")},
    // Window buttons of the skinned frame: minimise (normal, hover), close (normal, hover).
    {SkinType::Bitmap, 4946, B(S::Icon, St::Normal, 18, 18, "min")},
    {SkinType::Bitmap, 4947, B(S::Icon, St::Hover, 18, 18, "min")},
    {SkinType::Bitmap, 4948, B(S::Icon, St::Normal, 18, 18, "close")},
    {SkinType::Bitmap, 4949, B(S::Icon, St::Hover, 18, 18, "close")},
    // Data and Options menu buttons: Chinese normal, Chinese hover, English normal, English hover.
    {SkinType::Bitmap, 8701, B(S::Button, St::Normal, 64, 20, "", "数据")},
    {SkinType::Bitmap, 8702, B(S::Button, St::Normal, 64, 20, "", "选项")},
    {SkinType::Bitmap, 8710, B(S::Button, St::Hover, 64, 20, "", "数据")},
    {SkinType::Bitmap, 8711, B(S::Button, St::Hover, 64, 20, "", "选项")},
    {SkinType::Bitmap, 8720, B(S::Button, St::Normal, 64, 20, "DATA", "")},
    {SkinType::Bitmap, 8721, B(S::Button, St::Normal, 64, 20, "OPTIONS", "")},
    {SkinType::Bitmap, 8730, B(S::Button, St::Hover, 64, 20, "DATA", "")},
    {SkinType::Bitmap, 8731, B(S::Button, St::Hover, 64, 20, "OPTIONS", "")},
    // Connect button: connected / disconnect / connect / not connected, Chinese then English.
    {SkinType::Bitmap, 8740, B(S::Toggle, St::Hover, 96, 20, "", "连接", Green)},
    {SkinType::Bitmap, 8741, B(S::Toggle, St::Checked, 96, 20, "", "已连接", Green)},
    {SkinType::Bitmap, 8742, B(S::Toggle, St::Hover, 96, 20, "CONNECT", "", Green)},
    {SkinType::Bitmap, 8743, B(S::Toggle, St::Checked, 96, 20, "ONLINE", "", Green)},
    {SkinType::Bitmap, 8750, B(S::Toggle, St::CheckedHover, 96, 20, "", "断开", Red)},
    {SkinType::Bitmap, 8751, B(S::Toggle, St::Normal, 96, 20, "", "未连接")},
    {SkinType::Bitmap, 8752, B(S::Toggle, St::CheckedHover, 96, 20, "DISCONNECT", "", Red)},
    {SkinType::Bitmap, 8753, B(S::Toggle, St::Normal, 96, 20, "OFFLINE", "")},
    // Equaliser bypass buttons (off, on) of the band columns.
    {SkinType::Bitmap, 8830, B(S::Toggle, St::Checked, 22, 14, "", "", Amber)},
    {SkinType::Bitmap, 8831, B(S::Toggle, St::CheckedHover, 22, 14, "", "", Amber)},
    {SkinType::Bitmap, 8832, B(S::Toggle, St::Normal, 22, 14)},
    {SkinType::Bitmap, 8833, B(S::Toggle, St::Hover, 22, 14)},
    // PNG pictures: speaker positions of the output page (normal, hover, pressed), the input
    // panel and its connectors (English and Chinese sets).
    {SkinType::Png, 582, B(S::Speaker, St::Normal, 42, 34)},
    {SkinType::Png, 583, B(S::Speaker, St::Hover, 42, 34)},
    {SkinType::Png, 584, B(S::Speaker, St::Pressed, 42, 34)},
    {SkinType::Png, 585, B(S::Speaker, St::Normal, 42, 34)},
    {SkinType::Png, 586, B(S::Speaker, St::Hover, 42, 34)},
    {SkinType::Png, 587, B(S::Speaker, St::Pressed, 42, 34)},
    {SkinType::Png, 588, B(S::Speaker, St::Normal, 42, 34)},
    {SkinType::Png, 589, B(S::Speaker, St::Hover, 42, 34)},
    {SkinType::Png, 590, B(S::Speaker, St::Pressed, 42, 34)},
    {SkinType::Png, 654, B(S::Panel, St::Normal, 860, 175, "INPUTS", "输入")},
    {SkinType::Png, 655, B(S::Jack, St::Normal, 64, 80, "AUX1")},
    {SkinType::Png, 656, B(S::Jack, St::Hover, 64, 80, "AUX1")},
    {SkinType::Png, 657, B(S::Jack, St::Pressed, 64, 80, "AUX1")},
    {SkinType::Png, 658, B(S::Jack, St::Normal, 64, 80, "AUX2")},
    {SkinType::Png, 659, B(S::Jack, St::Hover, 64, 80, "AUX2")},
    {SkinType::Png, 660, B(S::Jack, St::Pressed, 64, 80, "AUX2")},
    {SkinType::Png, 661, B(S::Jack, St::Normal, 64, 80, "AUX3")},
    {SkinType::Png, 662, B(S::Jack, St::Hover, 64, 80, "AUX3")},
    {SkinType::Png, 663, B(S::Jack, St::Pressed, 64, 80, "AUX3")},
    {SkinType::Png, 667, B(S::Jack, St::Normal, 64, 80, "AUX1")},
    {SkinType::Png, 668, B(S::Jack, St::Hover, 64, 80, "AUX1")},
    {SkinType::Png, 669, B(S::Jack, St::Pressed, 64, 80, "AUX1")},
    {SkinType::Png, 670, B(S::Jack, St::Normal, 64, 80, "AUX1")},
    {SkinType::Png, 671, B(S::Jack, St::Hover, 64, 80, "AUX1")},
    {SkinType::Png, 672, B(S::Jack, St::Pressed, 64, 80, "AUX1")},
    {SkinType::Png, 673, B(S::Jack, St::Normal, 64, 80, "S/PDIF")},
    {SkinType::Png, 674, B(S::Jack, St::Hover, 64, 80, "S/PDIF")},
    {SkinType::Png, 675, B(S::Jack, St::Pressed, 64, 80, "S/PDIF")},
    {SkinType::Png, 676, B(S::Jack, St::Normal, 64, 80, "Hi.Level")},
    {SkinType::Png, 677, B(S::Jack, St::Hover, 64, 80, "Hi.Level")},
    {SkinType::Png, 678, B(S::Jack, St::Pressed, 64, 80, "Hi.Level")},
    {SkinType::Png, 688, B(S::Jack, St::Normal, 64, 80, "Phone")},
    {SkinType::Png, 689, B(S::Jack, St::Hover, 64, 80, "Phone")},
    {SkinType::Png, 690, B(S::Jack, St::Pressed, 64, 80, "Phone")},
    {SkinType::Png, 700, B(S::Jack, St::Normal, 64, 80, "AUX2")},
    {SkinType::Png, 701, B(S::Jack, St::Hover, 64, 80, "AUX2")},
    {SkinType::Png, 702, B(S::Jack, St::Pressed, 64, 80, "AUX2")},
    {SkinType::Png, 703, B(S::Jack, St::Normal, 64, 80, "AUX3")},
    {SkinType::Png, 704, B(S::Jack, St::Hover, 64, 80, "AUX3")},
    {SkinType::Png, 705, B(S::Jack, St::Pressed, 64, 80, "AUX3")},
    {SkinType::Png, 710, B(S::Jack, St::Normal, 64, 80, "AUX2")},
    {SkinType::Png, 711, B(S::Jack, St::Hover, 64, 80, "AUX2")},
    {SkinType::Png, 712, B(S::Jack, St::Pressed, 64, 80, "AUX2")},
    {SkinType::Png, 4430, B(S::Jack, St::Normal, 64, 80, "", "辅助1")},
    {SkinType::Png, 4431, B(S::Jack, St::Hover, 64, 80, "", "辅助1")},
    {SkinType::Png, 4432, B(S::Jack, St::Pressed, 64, 80, "", "辅助1")},
    {SkinType::Png, 4433, B(S::Jack, St::Normal, 64, 80, "", "辅助2")},
    {SkinType::Png, 4434, B(S::Jack, St::Hover, 64, 80, "", "辅助2")},
    {SkinType::Png, 4435, B(S::Jack, St::Pressed, 64, 80, "", "辅助2")},
    {SkinType::Png, 4436, B(S::Jack, St::Normal, 64, 80, "", "辅助3")},
    {SkinType::Png, 4437, B(S::Jack, St::Hover, 64, 80, "", "辅助3")},
    {SkinType::Png, 4438, B(S::Jack, St::Pressed, 64, 80, "", "辅助3")},
    {SkinType::Png, 4439, B(S::Jack, St::Normal, 64, 80, "", "辅助1")},
    {SkinType::Png, 4440, B(S::Jack, St::Hover, 64, 80, "", "辅助1")},
    {SkinType::Png, 4441, B(S::Jack, St::Pressed, 64, 80, "", "辅助1")},
    {SkinType::Png, 4442, B(S::Jack, St::Normal, 64, 80, "", "辅助2")},
    {SkinType::Png, 4443, B(S::Jack, St::Hover, 64, 80, "", "辅助2")},
    {SkinType::Png, 4444, B(S::Jack, St::Pressed, 64, 80, "", "辅助2")},
    {SkinType::Png, 4445, B(S::Jack, St::Normal, 64, 80, "", "辅助1")},
    {SkinType::Png, 4446, B(S::Jack, St::Hover, 64, 80, "", "辅助1")},
    {SkinType::Png, 4447, B(S::Jack, St::Pressed, 64, 80, "", "辅助1")},
    {SkinType::Png, 4448, B(S::Jack, St::Normal, 64, 80, "", "光纤")},
    {SkinType::Png, 4449, B(S::Jack, St::Hover, 64, 80, "", "光纤")},
    {SkinType::Png, 4450, B(S::Jack, St::Pressed, 64, 80, "", "光纤")},
    {SkinType::Png, 4451, B(S::Jack, St::Normal, 64, 80, "", "高电平")},
    {SkinType::Png, 4452, B(S::Jack, St::Hover, 64, 80, "", "高电平")},
    {SkinType::Png, 4453, B(S::Jack, St::Pressed, 64, 80, "", "高电平")},
    {SkinType::Png, 4454, B(S::Jack, St::Normal, 64, 80, "", "蓝牙")},
    {SkinType::Png, 4455, B(S::Jack, St::Hover, 64, 80, "", "蓝牙")},
    {SkinType::Png, 4456, B(S::Jack, St::Pressed, 64, 80, "", "蓝牙")},
    {SkinType::Png, 7100, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7101, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7102, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7103, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7104, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7105, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7106, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7107, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7108, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7110, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7111, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7112, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7113, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7114, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7115, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7116, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7117, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7118, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7120, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7121, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7122, B(S::Speaker, St::Pressed, 30, 34)},
    {SkinType::Png, 7123, B(S::Speaker, St::Normal, 30, 34)},
    {SkinType::Png, 7124, B(S::Speaker, St::Hover, 30, 34)},
    {SkinType::Png, 7125, B(S::Speaker, St::Pressed, 30, 34)},
};

constexpr bool sorted()
{
    for (size_t i = 1; i < std::size(kTable); ++i) {
        const auto &a = kTable[i - 1], &b = kTable[i];
        if (int(a.type) > int(b.type) || (a.type == b.type && a.id >= b.id))
            return false;
    }
    return true;
}
static_assert(sorted(), "skin ids must stay in ascending order per type");

}  // namespace

const SkinSpec *FindBuiltIn(SkinType type, int id)
{
    const auto *end = std::end(kTable);
    const auto *it = std::lower_bound(std::begin(kTable), end, std::pair{type, id}, [](const Entry &e, auto key) {
        return int(e.type) < int(key.first) || (e.type == key.first && e.id < key.second);
    });
    if (it == end || it->type != type || it->id != id)
        return nullptr;
    return &it->spec;
}
