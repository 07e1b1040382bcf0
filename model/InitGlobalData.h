#pragma once
// Start-up defaults of the process-wide parameter state: the device images, the system blocks,
// the pending flags and selections, the speaker types and groups, the input-mode table and the
// curve-overlay flags. The link's own state is the link's (ResetLinkState).
//
// Called once by the application's start-up, before the document builds the record tree.
// Idempotent: tests call it to start from the same state. The small tables and resets that the
// model keeps beside these defaults are at the end.

#include <array>
#include <string_view>

void InitGlobalData();

// The 8 bytes of a flat band item: frequency 1000 Hz, gain word 600 (neutral), bandwidth 0,
// slope and type 0.
constexpr unsigned char kFlatBandPacket[8] = {0xE8, 0x03, 0x58, 0x02, 0x00, 0x00, 0x00, 0x00};

// ---- small tables and resets of the model ---------------------------------------------------

// Values up to 11 stay; above 11, (v div 10) * 10 + 6 unless (v - 1) mod 10 is 0 or 5; at most 191.
int SnapIndex(int v);

// Bits 0 and 1 of g_nInputLayout.
int GetInputLayoutBit0();
int GetInputLayoutBit1();
void SetInputLayoutBit0(int on);
void SetInputLayoutBit1(int on);

// "CH1" .. "CH8".
extern const std::array<std::string_view, 8> g_ChannelNames;

// A mark (-1 after a reset) and eight per-output marks (0 after a reset); nothing reads them.
extern std::array<int, 9> g_PresetLoadMarks;
void ResetChannelSelection();
