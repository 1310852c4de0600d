// LocoNet opcodes by their public names (OPC_GPON is kOpcGpOn), so that the
// code that walks the bytes says what it looks for.
#pragma once

namespace bl::loconet {

inline constexpr int kOpcBusy = 0x81;
inline constexpr int kOpcGpOff = 0x82;
inline constexpr int kOpcGpOn = 0x83;
inline constexpr int kOpcIdle = 0x85;
inline constexpr int kOpcLocoReset = 0x8A;
inline constexpr int kOpcLocoSpd = 0xA0;
inline constexpr int kOpcLocoDirf = 0xA1;
inline constexpr int kOpcLocoSnd = 0xA2;
inline constexpr int kOpcLocoF9F12 = 0xA3;
inline constexpr int kOpcSwReq = 0xB0;
inline constexpr int kOpcSwRep = 0xB1;
inline constexpr int kOpcInputRep = 0xB2;
inline constexpr int kOpcLongAck = 0xB4;
inline constexpr int kOpcSlotStat1 = 0xB5;
inline constexpr int kOpcConsistFunc = 0xB6;
inline constexpr int kOpcUnlinkSlots = 0xB8;
inline constexpr int kOpcLinkSlots = 0xB9;
inline constexpr int kOpcMoveSlots = 0xBA;
inline constexpr int kOpcRqSlData = 0xBB;
inline constexpr int kOpcSwState = 0xBC;
inline constexpr int kOpcSwAck = 0xBD;
inline constexpr int kOpcExpLocoAdr = 0xBE;
inline constexpr int kOpcLocoAdr = 0xBF;
inline constexpr int kOpcMultiSense = 0xD0;
inline constexpr int kOpcInterfaceMode = 0xD3;
inline constexpr int kOpcExpCmd = 0xD4;       // extended commands (functions F9 and above)
inline constexpr int kOpcExpSpeedFunc = 0xD5; // speed and functions of expanded slots
inline constexpr int kOpcReceiverReport = 0xD7;
inline constexpr int kOpcReceiverQuery = 0xDF;
inline constexpr int kOpcLongTransponder = 0xE0;
inline constexpr int kOpcTrainIdReport = 0xE4; // train-identification (Kennbox) reports
inline constexpr int kOpcPeerXfer = 0xE5;
inline constexpr int kOpcExpRdData = 0xE6; // expanded slot or table report
inline constexpr int kOpcSlRdData = 0xE7;
inline constexpr int kOpcImmPacket = 0xED;
inline constexpr int kOpcExpWrData = 0xEE; // expanded slot or table write
inline constexpr int kOpcWrSlData = 0xEF;

// The long acknowledge names the opcode it answers without its top bit.
constexpr int acknowledged_opcode(int lack_b1) { return lack_b1 | 0x80; }

// Slots with a meaning of their own.
inline constexpr int kSlotClock = 0x7B;
inline constexpr int kSlotProgrammer = 0x7C;
inline constexpr int kSlotOptionsHigh = 0x7E;
inline constexpr int kSlotOptions = 0x7F;
inline constexpr int kFirstSystemSlot = 0x78;

} // namespace bl::loconet
