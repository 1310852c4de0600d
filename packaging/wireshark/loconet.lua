-- LocoNet dissector for Wireshark, installed with Bus-Lauscher.
--
-- LocoNet messages travel in captures as raw bytes (opcode to checksum)
-- with the first user link type (147, USER0), as Bus-Lauscher's pcapng
-- recordings and other LocoNet tools write them. Fields:
--   loconet.opcode (with its name)  loconet.length  loconet.checksum
--   loconet.slot  loconet.loco  loconet.switch  loconet.sensor
-- The numbers are the ones the monitor shows: switches and sensors from 1,
-- the loco of a slot as its slot data last told it. The Info column holds
-- the opcode's name and the packet's comment (the monitor's line).

local loconet = Proto("loconet", "LocoNet")

local opcode_names = {
    [0x81] = "OPC_BUSY", [0x82] = "OPC_GPOFF", [0x83] = "OPC_GPON", [0x85] = "OPC_IDLE",
    [0x8A] = "OPC_LOCO_RESET",
    [0xA0] = "OPC_LOCO_SPD", [0xA1] = "OPC_LOCO_DIRF", [0xA2] = "OPC_LOCO_SND",
    [0xA3] = "OPC_LOCO_F9F12",
    [0xB0] = "OPC_SW_REQ", [0xB1] = "OPC_SW_REP", [0xB2] = "OPC_INPUT_REP",
    [0xB4] = "OPC_LONG_ACK", [0xB5] = "OPC_SLOT_STAT1", [0xB6] = "OPC_CONSIST_FUNC",
    [0xB8] = "OPC_UNLINK_SLOTS", [0xB9] = "OPC_LINK_SLOTS", [0xBA] = "OPC_MOVE_SLOTS",
    [0xBB] = "OPC_RQ_SL_DATA", [0xBC] = "OPC_SW_STATE", [0xBD] = "OPC_SW_ACK",
    [0xBE] = "OPC_EXP_LOCO_ADR", [0xBF] = "OPC_LOCO_ADR",
    [0xD0] = "OPC_MULTI_SENSE", [0xD3] = "OPC_INTERFACE_MODE", [0xD4] = "OPC_EXP_CMD",
    [0xD7] = "OPC_RECEIVER_REP", [0xDF] = "OPC_RECEIVER_QUERY",
    [0xE0] = "OPC_LONG_TRANSPONDER", [0xE4] = "OPC_TRAIN_ID_REP", [0xE5] = "OPC_PEER_XFER",
    [0xE6] = "OPC_EXP_RD_SL_DATA", [0xE7] = "OPC_SL_RD_DATA", [0xED] = "OPC_IMM_PACKET",
    [0xEE] = "OPC_EXP_WR_SL_DATA", [0xEF] = "OPC_WR_SL_DATA",
}

local f = loconet.fields
f.opcode = ProtoField.uint8("loconet.opcode", "Opcode", base.HEX, opcode_names)
f.length = ProtoField.uint8("loconet.length", "Length", base.DEC)
f.checksum = ProtoField.uint8("loconet.checksum", "Checksum", base.HEX)
f.slot = ProtoField.uint16("loconet.slot", "Slot", base.DEC)
f.loco = ProtoField.uint16("loconet.loco", "Loco address", base.DEC)
f.switch = ProtoField.uint16("loconet.switch", "Switch", base.DEC)
f.sensor = ProtoField.uint16("loconet.sensor", "Sensor", base.DEC)

local bad_checksum = ProtoExpert.new("loconet.checksum.bad", "Wrong checksum",
    expert.group.CHECKSUM, expert.severity.WARN)
loconet.experts = { bad_checksum }

local comment_field = Field.new("frame.comment")

-- the loco each slot holds, as slot data told it, and what each frame knew
local slot_loco = {}
local frame_loco = {}

local function loco_address(high, low) return high * 128 + low end
local function transponder_loco(high, low)
    if high == 0x7D then return low end
    return loco_address(high, low)
end

-- The slot, loco, switch and sensor a message names (nil where none).
local function subjects(b, len, frame, first_pass)
    local op = b[0]
    local s = {}
    local function slot_message(slot)
        s.slot = slot
        if first_pass then frame_loco[frame] = slot_loco[slot] end
        s.loco = frame_loco[frame]
    end
    if op == 0xA0 or op == 0xA1 or op == 0xA2 or op == 0xA3 or op == 0xB5 or op == 0xB6
        or op == 0xB8 or op == 0xB9 or op == 0xBA or op == 0xBB then
        slot_message(b[1])
    elseif op == 0xD4 and len >= 3 and b[1] == 0x20 then
        slot_message(b[2])
    elseif op == 0xBF or op == 0xBE then
        s.loco = loco_address(b[1], b[2])
    elseif (op == 0xE7 or op == 0xEF) and len == 14 then
        s.slot = b[2]
        if b[2] < 0x78 then
            s.loco = loco_address(b[9], b[4])
            if first_pass then slot_loco[b[2]] = s.loco end
        end
    elseif op == 0xB0 or op == 0xB1 or op == 0xBC or op == 0xBD then
        s.switch = (b[2] % 16) * 128 + b[1] + 1
    elseif op == 0xB2 then
        s.sensor = 2 * b[1] + 256 * (b[2] % 16) + (math.floor(b[2] / 32) % 2) + 1
    elseif op == 0xD0 and len >= 5 and math.floor(b[1] / 64) % 2 == 0 then
        s.loco = transponder_loco(b[3], b[4])
    elseif op == 0xE0 and len >= 6 and b[1] == 0x09 then
        s.loco = transponder_loco(b[4], b[5])
    elseif op == 0xE4 and len >= 7 and b[1] == 0x08 and math.floor(b[3] / 32) ~= 1 then
        s.loco = loco_address(b[5], b[6])
    end
    return s
end

function loconet.dissector(tvb, pinfo, tree)
    local len = tvb:len()
    if len < 1 then return 0 end
    pinfo.cols.protocol = "LocoNet"
    local b = {}
    local check = 0xFF
    for i = 0, len - 1 do
        b[i] = tvb(i, 1):uint()
        check = bit.bxor(check, b[i])
    end
    local name = opcode_names[b[0]] or string.format("0x%02X", b[0])
    local subtree = tree:add(loconet, tvb(), "LocoNet, " .. name)
    subtree:add(f.opcode, tvb(0, 1))
    subtree:add(f.length, tvb(0, len), len)
    local sum = subtree:add(f.checksum, tvb(len - 1, 1))
    if check ~= 0 then sum:add_proto_expert_info(bad_checksum) end
    local s = subjects(b, len, pinfo.number, not pinfo.visited)
    if s.slot then subtree:add(f.slot, tvb(0, len), s.slot) end
    if s.loco then subtree:add(f.loco, tvb(0, len), s.loco) end
    if s.switch then subtree:add(f.switch, tvb(0, len), s.switch) end
    if s.sensor then subtree:add(f.sensor, tvb(0, len), s.sensor) end
    local info = name
    local comment = comment_field()
    if comment then info = info .. ": " .. tostring(comment.value) end
    pinfo.cols.info = info
    return len
end

function loconet.init()
    slot_loco = {}
    frame_loco = {}
end

local encap = (wtap_encaps and wtap_encaps.USER0) or wtap.USER0
DissectorTable.get("wtap_encap"):add(encap, loconet)
