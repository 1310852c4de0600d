#include "loconet/opcode_names.h"

#include "loconet/opcodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace bl::loconet {

namespace {
constexpr std::array<std::pair<int, std::string_view>, 37> kNames{{
    {kOpcBusy, "OPC_BUSY"},
    {kOpcGpOff, "OPC_GPOFF"},
    {kOpcGpOn, "OPC_GPON"},
    {kOpcIdle, "OPC_IDLE"},
    {kOpcLocoReset, "OPC_LOCO_RESET"},
    {kOpcLocoSpd, "OPC_LOCO_SPD"},
    {kOpcLocoDirf, "OPC_LOCO_DIRF"},
    {kOpcLocoSnd, "OPC_LOCO_SND"},
    {kOpcLocoF9F12, "OPC_LOCO_F9F12"},
    {kOpcSwReq, "OPC_SW_REQ"},
    {kOpcSwRep, "OPC_SW_REP"},
    {kOpcInputRep, "OPC_INPUT_REP"},
    {kOpcLongAck, "OPC_LONG_ACK"},
    {kOpcSlotStat1, "OPC_SLOT_STAT1"},
    {kOpcConsistFunc, "OPC_CONSIST_FUNC"},
    {kOpcUnlinkSlots, "OPC_UNLINK_SLOTS"},
    {kOpcLinkSlots, "OPC_LINK_SLOTS"},
    {kOpcMoveSlots, "OPC_MOVE_SLOTS"},
    {kOpcRqSlData, "OPC_RQ_SL_DATA"},
    {kOpcSwState, "OPC_SW_STATE"},
    {kOpcSwAck, "OPC_SW_ACK"},
    {kOpcExpLocoAdr, "OPC_EXP_REQ_SLOT"},
    {kOpcLocoAdr, "OPC_LOCO_ADR"},
    {kOpcMultiSense, "OPC_MULTI_SENSE"},
    {kOpcInterfaceMode, "OPC_INTERFACE_MODE"},
    {kOpcExpCmd, "OPC_EXP_CMD"},
    {kOpcExpSpeedFunc, "OPC_EXP_SPEED_FUNC"},
    {kOpcReceiverReport, "OPC_RECEIVER_REP"},
    {kOpcReceiverQuery, "OPC_RECEIVER_QUERY"},
    {kOpcLongTransponder, "OPC_LONG_TRANSPONDER"},
    {kOpcTrainIdReport, "OPC_TRAIN_ID_REP"},
    {kOpcPeerXfer, "OPC_PEER_XFER"},
    {kOpcExpRdData, "OPC_EXP_RD_DATA"},
    {kOpcSlRdData, "OPC_SL_RD_DATA"},
    {kOpcImmPacket, "OPC_IMM_PACKET"},
    {kOpcExpWrData, "OPC_EXP_WR_DATA"},
    {kOpcWrSlData, "OPC_WR_SL_DATA"},
}};
} // namespace

std::string_view opcode_name(int opcode) {
    const auto it = std::find_if(kNames.begin(), kNames.end(),
                                 [opcode](const auto &entry) { return entry.first == opcode; });
    return it == kNames.end() ? std::string_view() : it->second;
}

} // namespace bl::loconet
