#include "loconet/opcode_names.h"

#include "loconet/opcodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace bl::loconet {

namespace {
constexpr std::array<std::pair<int, std::string_view>, 27> kNames{{
    {kOpcBusy, "OPC_BUSY"},
    {kOpcGpOff, "OPC_GPOFF"},
    {kOpcGpOn, "OPC_GPON"},
    {kOpcIdle, "OPC_IDLE"},
    {kOpcLocoSpd, "OPC_LOCO_SPD"},
    {kOpcLocoDirf, "OPC_LOCO_DIRF"},
    {kOpcLocoSnd, "OPC_LOCO_SND"},
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
    {kOpcLocoAdr, "OPC_LOCO_ADR"},
    {kOpcMultiSense, "OPC_MULTI_SENSE"},
    {kOpcExpCmd, "OPC_EXP_CMD"},
    {kOpcLissyUpdate, "OPC_LISSY_UPDATE"},
    {kOpcPeerXfer, "OPC_PEER_XFER"},
    {kOpcSlRdData, "OPC_SL_RD_DATA"},
    {kOpcImmPacket, "OPC_IMM_PACKET"},
    {kOpcWrSlData, "OPC_WR_SL_DATA"},
}};
} // namespace

std::string_view opcode_name(int opcode) {
    const auto it = std::find_if(kNames.begin(), kNames.end(),
                                 [opcode](const auto &entry) { return entry.first == opcode; });
    return it == kNames.end() ? std::string_view() : it->second;
}

} // namespace bl::loconet
