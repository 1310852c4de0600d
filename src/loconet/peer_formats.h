// The sub-formats of peer transfers (0xE5) and of the long immediate-packet
// messages (0xED 0x0F), recognised by their length and marker bytes, and
// their fields with the high bits restored from the carrier bytes.
#pragma once

#include "loconet/message.h"

namespace bl::loconet {

enum class PeerFormat {
    None,            // not a peer-transfer sub-format
    StationSpecific, // a command station's own, not publicly described
    TransponderFind, // E5 09
    ThrottleStatus,  // E5 0A
    ArticleCv,       // E5/ED 0F: configuration variables by article number
    Firmware,        // E5 10
    ThrottleSymbol,  // E5 10
    ThrottleText,    // E5 10
    SystemVariable2, // E5 10
    SystemVariable1, // E5 10
    Generic,         // E5 10
    Radio,           // E5 14: radio groups, device ping, device identity
};

PeerFormat peer_format(const Message &m);

// Byte i with bit 7 from the carrier byte's given bit.
inline int restored(const Message &m, std::size_t i, std::size_t carrier, int bit) {
    return m[i] | (((m[carrier] >> bit) & 1) << 7);
}

// E5/ED 0F: OPC 0F SRC DSTL DSTH CMD PXCT1 ARTL ARTH CVL CVH MODL MODH FLAGS
struct ArticleAccess {
    int src, dstl, dsth, cmd, article, cv, mod, flags;
};
ArticleAccess article_access(const Message &m);
inline constexpr int kArticleWrite = 0x20;
inline constexpr int kArticleRead = 0x21;
inline constexpr int kArticleReply = 0x1F;
inline constexpr int kArticleStart = 0x80;
inline constexpr int kArticleEnd = 0x40;

// E5 10 format 2: SRC SV_CMD SV_TYPE SVX1 DST_L DST_H SV_ADRL SV_ADRH SVX2 D1..D4
struct SystemVariable2 {
    int src, cmd, destination, sv;
    int d[4];
};
SystemVariable2 system_variable2(const Message &m);

// E5 10 format 1: SRC DSTL DSTH PXCT1 D1..D4 PXCT2 D5..D8
struct PeerData {
    int src, dstl, dsth;
    int d[8]; // D1..D8
};
PeerData peer_data(const Message &m);

} // namespace bl::loconet
