#include "wireshark/loconet_statistics.h"

#include "loconet/opcode_names.h"
#include "wireshark/loconet_protocol.h"

#include <epan/stats_tree.h>

#include <cstdio>
#include <string>

namespace bl::wireshark {

namespace {

int node_messages = -1;
int node_locos = -1;
int node_slots = -1;
int node_switches = -1;
int node_sensors = -1;
int node_findings = -1;

void tree_init(stats_tree *st) {
    node_messages = stats_tree_create_node(st, "Meldungen nach Opcode", 0, STAT_DT_INT, TRUE);
    node_locos = stats_tree_create_node(st, "Lokomotiven", 0, STAT_DT_INT, TRUE);
    node_slots = stats_tree_create_node(st, "Slots", 0, STAT_DT_INT, TRUE);
    node_switches = stats_tree_create_node(st, "Weichen", 0, STAT_DT_INT, TRUE);
    node_sensors = stats_tree_create_node(st, "Rückmelder", 0, STAT_DT_INT, TRUE);
    node_findings = stats_tree_create_node(st, "Befunde", 0, STAT_DT_INT, TRUE);
}

tap_packet_status tree_packet(stats_tree *st, packet_info *, epan_dissect_t *, const void *data,
                              tap_flags_t) {
    const auto *packet = static_cast<const TapPacket *>(data);
    for (unsigned i = 0; i < packet->message_count; ++i) {
        const TapMessage &m = packet->messages[i];
        tick_stat_node(st, "Meldungen nach Opcode", 0, TRUE);
        const std::string_view name = loconet::opcode_name(m.opcode);
        char label[48];
        std::snprintf(label, sizeof label, "0x%02X %.*s", m.opcode, static_cast<int>(name.size()),
                      name.data());
        tick_stat_node(st, label, node_messages, FALSE);
        struct Subject {
            std::int32_t number;
            const char *root;
            int node;
            const char *label;
        };
        const Subject subjects[] = {{m.loco, "Lokomotiven", node_locos, "Lok"},
                                    {m.slot, "Slots", node_slots, "Slot"},
                                    {m.switch_number, "Weichen", node_switches, "Weiche"},
                                    {m.sensor, "Rückmelder", node_sensors, "Rückmelder"}};
        for (const Subject &s : subjects) {
            if (s.number < 0)
                continue;
            tick_stat_node(st, s.root, 0, TRUE);
            tick_stat_node(st, (std::string(s.label) + ' ' + std::to_string(s.number)).c_str(),
                           s.node, FALSE);
        }
    }
    for (unsigned i = 0; i < packet->finding_count; ++i) {
        tick_stat_node(st, "Befunde", 0, TRUE);
        const std::string kind(loconet::finding_id(packet->findings[i]));
        tick_stat_node(st, kind.c_str(), node_findings, FALSE);
    }
    return TAP_PACKET_REDRAW;
}

} // namespace

void register_statistics() {
    stats_tree_register_plugin(kTapName, "loconet", "LocoNet/Meldungen und Teilnehmer", 0,
                               tree_packet, tree_init, nullptr);
}

} // namespace bl::wireshark
