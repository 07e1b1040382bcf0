#include "panels/output/EqButtonSkins.h"

#include "res/Strings.h"

#include <utility>

namespace {

constexpr QRgb Amber = 0xFFFFB020;

}  // namespace

SkinSpec SkinWords(SkinStyle style, SkinState state, QSize size, StrId id, QRgb accent)
{
    return SkinSpec{style, state, size, Tr(id, false), Tr(id, true), accent};
}

void RegisterSixSkins(const int ids[6], SkinStyle style, QSize size, StrId checkedWords, StrId uncheckedWords,
                      QRgb checkedAccent)
{
    const SkinState states[6] = {SkinState::Checked, SkinState::CheckedHover, SkinState::CheckedPressed,
                                 SkinState::Normal,  SkinState::Hover,        SkinState::Pressed};
    for (int k = 0; k < 6; ++k) {
        const bool checked = k < 3;
        Skins::Register(SkinType::Bitmap, ids[k],
                        SkinWords(style, states[k], size, checked ? checkedWords : uncheckedWords,
                                  checked ? checkedAccent : 0));
    }
}

void RegisterEqButtonSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;

    // PEQ/GEQ (checked = GEQ), all-bypass (checked = every band bypassed), reset.
    const QSize eqButton = kEqButtonSize;
    static constexpr int kModeEn[6] = {742, 741, 741, 740, 743, 743};
    static constexpr int kModeCn[6] = {746, 745, 745, 744, 747, 747};
    RegisterSixSkins(kModeEn, S::Toggle, eqButton, StrId::OutGeq, StrId::OutPeq, 0);
    RegisterSixSkins(kModeCn, S::Toggle, eqButton, StrId::OutGeq, StrId::OutPeq, 0);
    static constexpr int kBypassEn[6] = {8822, 8823, 8823, 8820, 8821, 8821};
    static constexpr int kBypassCn[6] = {7002, 7001, 7001, 7000, 7005, 7005};
    RegisterSixSkins(kBypassEn, S::Toggle, eqButton, StrId::OutAllBypass, StrId::OutAllBypass, Amber);
    RegisterSixSkins(kBypassCn, S::Toggle, eqButton, StrId::OutAllBypass, StrId::OutAllBypass, Amber);
    for (const auto &[normal, hover] : {std::pair{359, 360}, std::pair{7004, 7003}}) {
        Skins::Register(SkinType::Bitmap, normal, SkinWords(S::Button, St::Normal, eqButton, StrId::OutEqReset));
        Skins::Register(SkinType::Bitmap, hover, SkinWords(S::Button, St::Hover, eqButton, StrId::OutEqReset));
    }
    // Disabled looks (unchecked, checked): PEQ/GEQ 749, 751 English and 753, 755 Chinese;
    // all-bypass 7020, 7021 and 7010, 7011; reset 7022, 7023 and 7012, 7013.
    const struct {
        int unchecked, checked;
        StrId uncheckedWords, checkedWords;
    } disabled[] = {{749, 751, StrId::OutPeq, StrId::OutGeq},
                    {753, 755, StrId::OutPeq, StrId::OutGeq},
                    {7020, 7021, StrId::OutAllBypass, StrId::OutAllBypass},
                    {7010, 7011, StrId::OutAllBypass, StrId::OutAllBypass},
                    {7022, 7023, StrId::OutEqReset, StrId::OutEqReset},
                    {7012, 7013, StrId::OutEqReset, StrId::OutEqReset}};
    for (const auto &d : disabled) {
        Skins::Register(SkinType::Bitmap, d.unchecked, SkinWords(S::Toggle, St::Disabled, eqButton, d.uncheckedWords));
        Skins::Register(SkinType::Bitmap, d.checked,
                        SkinWords(S::Toggle, St::DisabledChecked, eqButton, d.checkedWords));
    }

    // Band toggles: checked (the band is neutral) lit amber, "BY" on both.
    const QSize by(24, 15);
    Skins::Register(SkinType::Bitmap, 8832, SkinSpec{S::Toggle, St::Checked, by, "BY", "BY", Amber});
    Skins::Register(SkinType::Bitmap, 8833, SkinSpec{S::Toggle, St::CheckedHover, by, "BY", "BY", Amber});
    Skins::Register(SkinType::Bitmap, 8830, SkinSpec{S::Toggle, St::Normal, by, "BY", "BY", 0});
    Skins::Register(SkinType::Bitmap, 8831, SkinSpec{S::Toggle, St::Hover, by, "BY", "BY", 0});
}
