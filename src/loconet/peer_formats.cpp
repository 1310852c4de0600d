#include "loconet/peer_formats.h"

#include "loconet/opcodes.h"

namespace bl::loconet {

PeerFormat peer_format(const Message &m) {
    const int op = m.opcode();
    if (op != kOpcPeerXfer && op != kOpcImmPacket)
        return PeerFormat::None;
    switch (m[1]) {
    case 0x0F: {
        const int cmd = m[5];
        const bool article = cmd == kArticleReply || cmd == kArticleWrite || cmd == kArticleRead;
        return article && m.length == 15 ? PeerFormat::ArticleCv : PeerFormat::StationSpecific;
    }
    case 0x1F: return PeerFormat::StationSpecific;
    default: break;
    }
    if (op != kOpcPeerXfer)
        return PeerFormat::None;
    switch (m[1]) {
    case 0x07: return PeerFormat::StationSpecific;
    case 0x09: return m[2] == 0x40 || m[2] == 0x00 ? PeerFormat::TransponderFind : PeerFormat::None;
    case 0x0A: return PeerFormat::ThrottleStatus;
    case 0x14: return PeerFormat::Radio;
    case 0x10: break;
    default: return PeerFormat::None;
    }
    if (m[2] == 0x7F && m[3] == 0x7F && m[4] == 0x7F && (m[5] & 0x70) == 0x40)
        return PeerFormat::Firmware;
    if (m[2] == 0x7F && m[3] == 0 && m[4] == 0 && (m[10] & 0x70) == 0x70)
        return PeerFormat::ThrottleSymbol;
    if (m[2] == 0x7F && (m[5] & 0x70) == 0x00)
        return PeerFormat::ThrottleText;
    if (m[4] == 0x02 && (m[5] & 0x70) == 0x10 && (m[10] & 0x70) == 0x10)
        return PeerFormat::SystemVariable2;
    // the upper nibbles of PXCT1 and PXCT2 are 0 or 1 in the devices in use
    // (older ones leave both 0); the command is a write or a read
    if (m[4] == 0x01 && (m[5] & 0x60) == 0x00 && (m[10] & 0x60) == 0x00 &&
        (m[6] == 0x01 || m[6] == 0x02))
        return PeerFormat::SystemVariable1;
    return PeerFormat::Generic;
}

ArticleAccess article_access(const Message &m) {
    const auto r = [&m](std::size_t i) { return restored(m, i, 6, static_cast<int>(i) - 7); };
    return {m[2], m[3], m[4], m[5], r(7) | (r(8) << 8), r(9) | (r(10) << 8), r(11) | (r(12) << 8),
            r(13)};
}

SystemVariable2 system_variable2(const Message &m) {
    SystemVariable2 sv{};
    sv.src = m[2];
    sv.cmd = m[3];
    sv.destination = restored(m, 6, 5, 0) | (restored(m, 7, 5, 1) << 8);
    sv.sv = restored(m, 8, 5, 2) | (restored(m, 9, 5, 3) << 8);
    for (std::size_t i = 0; i < 4; ++i)
        sv.d[i] = restored(m, 11 + i, 10, static_cast<int>(i));
    return sv;
}

PeerData peer_data(const Message &m) {
    PeerData p{};
    p.src = m[2];
    p.dstl = m[3];
    p.dsth = m[4];
    for (std::size_t i = 0; i < 4; ++i) {
        p.d[i] = restored(m, 6 + i, 5, static_cast<int>(i));
        p.d[4 + i] = restored(m, 11 + i, 10, static_cast<int>(i));
    }
    return p;
}

} // namespace bl::loconet
