#pragma once
// Which of the seven main sources the input page may offer for the selected input, per input
// group. Source 6 is OFF and always allowed. The tables are fixed; only the current row and the
// main source change.

constexpr int kModeSourceCount = 7;
constexpr int kModeSourceOff = 6;

struct ModeItemTable {
    int mainSource = kModeSourceOff;          // 0..6, 6 = OFF
    int currentRow[kModeSourceCount] = {};    // 1 allowed, 0 not, for the current selection
    int group0[6][kModeSourceCount] = {};     // inputs 0..5 of group 0
    int group1[5][kModeSourceCount] = {};     // inputs 0..4 of group 1
    int group2[4][kModeSourceCount] = {};     // inputs 0..3 of group 2

    // Fills the tables; the main source becomes OFF and the current row group 0's row 0.
    void Init();

    // Makes the row of (input, group) current when that input exists in the group (otherwise the
    // current row stays), then checks the main source against it: 1 when it is allowed, else the
    // main source falls back to OFF and the result is 0.
    int Select(int input, int group);
};

extern ModeItemTable g_ModeItemTable;
