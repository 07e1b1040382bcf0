#pragma once
// Start-up defaults of the process-wide parameter state: the device images, the system blocks,
// the pending flags and selections, the speaker types and groups, the input-mode table and the
// curve-overlay flags. The link's own state is the link's (ResetLinkState).
//
// Called once by the application's start-up, before the document builds the record tree.
// Idempotent: tests call it to start from the same state.
void InitGlobalData();

// The 8 bytes of a flat band item: frequency 1000 Hz, gain word 600 (neutral), bandwidth 0,
// slope and type 0.
constexpr unsigned char kFlatBandPacket[8] = {0xE8, 0x03, 0x58, 0x02, 0x00, 0x00, 0x00, 0x00};
