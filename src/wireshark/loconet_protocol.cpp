#include "wireshark/loconet_protocol.h"

#include "dissection/capture_dissection.h"
#include "loconet/fields.h"
#include "loconet/latin1.h"
#include "loconet/opcode_names.h"

#include <epan/expert.h>
#include <epan/packet.h>
#include <epan/tap.h>
#include <epan/uat-int.h>
#include <wiretap/wtap.h>

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace bl::wireshark {

namespace {

constexpr std::size_t kFields = static_cast<std::size_t>(loconet::FieldId::kCount);

int proto_loconet = -1;
int tap_loconet = -1;
// every field of the monitor's field descriptions under its own name; a
// value of the other kind than the field's (a word with a code, a number
// that came as a word) beside it
std::array<int, kFields> hf_field;
std::array<int, kFields> hf_other;
int hf_line = -1;
int hf_checksum_status = -1;
int hf_response_to = -1;
int hf_response_in = -1;
int hf_response_time = -1;
int hf_cut = -1;
int hf_stray = -1;
int ett_loconet = -1;
expert_field ei_checksum = EI_INIT;
expert_field ei_cut = EI_INIT;
expert_field ei_stray = EI_INIT;
expert_field ei_finding[3] = {EI_INIT, EI_INIT, EI_INIT}; // by severity

dissector_handle_t loconet_handle;
dissector_handle_t user_dlt_handle; // what link type 147 had before us

dissection::CaptureDissection capture;

// Wireshark keeps pointers to the names it is given.
const char *kept(std::string text) {
    static std::deque<std::string> texts;
    return texts.emplace_back(std::move(text)).c_str();
}

bool is_word(loconet::FieldId id) { return loconet::info(id).kind == loconet::FieldKind::Word; }

hf_register_info field_info(int *id, const char *name, const char *abbrev, ftenum type, int display,
                            const void *strings = nullptr) {
    hf_register_info r{};
    r.p_id = id;
    r.hfinfo.name = name;
    r.hfinfo.abbrev = abbrev;
    r.hfinfo.type = type;
    r.hfinfo.display = display;
    r.hfinfo.strings = strings;
    r.hfinfo.bitmask = 0;
    r.hfinfo.blurb = nullptr;
    HFILL_INIT(r);
    return r;
}

void register_fields() {
    static std::vector<hf_register_info> fields;
    for (std::size_t i = 0; i < kFields; ++i) {
        const auto id = static_cast<loconet::FieldId>(i);
        const loconet::FieldInfo &info = loconet::info(id);
        const std::string title = latin1_to_utf8(info.title);
        const std::string abbrev = "loconet." + std::string(info.name);
        hf_field[i] = hf_other[i] = -1;
        if (id == loconet::FieldId::Opcode || id == loconet::FieldId::Checksum)
            fields.push_back(
                field_info(&hf_field[i], kept(title), kept(abbrev), FT_UINT8, BASE_HEX));
        else if (is_word(id))
            fields.push_back(
                field_info(&hf_field[i], kept(title), kept(abbrev), FT_STRING, BASE_NONE));
        else
            fields.push_back(
                field_info(&hf_field[i], kept(title), kept(abbrev), FT_INT64, BASE_DEC));
        if (is_word(id))
            fields.push_back(field_info(&hf_other[i], kept(title + " (Code)"),
                                        kept(abbrev + ".code"), FT_INT64, BASE_DEC));
        else
            fields.push_back(field_info(&hf_other[i], kept(title + " (Text)"),
                                        kept(abbrev + ".text"), FT_STRING, BASE_NONE));
    }
    fields.push_back(field_info(&hf_line, "Klartext", "loconet.klartext", FT_STRING, BASE_NONE));
    fields.push_back(field_info(&hf_checksum_status, "Prüfsumme: Status", "loconet.checksum.status",
                                FT_UINT8, BASE_NONE, VALS(proto_checksum_vals)));
    fields.push_back(field_info(&hf_response_to, "Antwort auf Frame", "loconet.response_to",
                                FT_FRAMENUM, BASE_NONE, FRAMENUM_TYPE(FT_FRAMENUM_REQUEST)));
    fields.push_back(field_info(&hf_response_in, "Antwort in Frame", "loconet.response_in",
                                FT_FRAMENUM, BASE_NONE, FRAMENUM_TYPE(FT_FRAMENUM_RESPONSE)));
    fields.push_back(field_info(&hf_response_time, "Antwortzeit", "loconet.response_time",
                                FT_RELATIVE_TIME, BASE_NONE));
    fields.push_back(
        field_info(&hf_cut, "Abgeschnittene Meldung", "loconet.cut", FT_BYTES, BASE_NONE));
    fields.push_back(
        field_info(&hf_stray, "Datenbytes ohne Opcode", "loconet.stray", FT_BYTES, BASE_NONE));
    proto_register_field_array(proto_loconet, fields.data(), static_cast<int>(fields.size()));
}

void register_expert_entries() {
    static ei_register_info entries[] = {
        {&ei_checksum,
         {"loconet.checksum.bad", PI_CHECKSUM, PI_ERROR, "Prüfsumme falsch", EXPFILL}},
        {&ei_cut, {"loconet.cut.expert", PI_MALFORMED, PI_ERROR, "Meldung abgeschnitten", EXPFILL}},
        {&ei_stray,
         {"loconet.stray.expert", PI_MALFORMED, PI_ERROR, "Datenbytes ohne Opcode", EXPFILL}},
        {&ei_finding[0], {"loconet.befund.fehler", PI_PROTOCOL, PI_ERROR, "Befund", EXPFILL}},
        {&ei_finding[1], {"loconet.befund.warnung", PI_PROTOCOL, PI_WARN, "Befund", EXPFILL}},
        {&ei_finding[2], {"loconet.befund.hinweis", PI_PROTOCOL, PI_NOTE, "Befund", EXPFILL}},
    };
    expert_module_t *module = expert_register_protocol(proto_loconet);
    expert_register_field_array(module, entries, G_N_ELEMENTS(entries));
}

// Whether the user mapped link type 147 to a protocol of their choice
// (Einstellungen → Protokolle → DLT_USER): then that mapping decodes it.
bool user_maps_147() {
    uat_t *table = uat_get_table_by_name("User DLTs Table");
    if (!table || !table->user_data || !table->fields || !table->fields[0].cb.tostr)
        return false;
    for (guint i = 0; i < table->user_data->len; ++i) {
        char *text = nullptr;
        unsigned length = 0;
        table->fields[0].cb.tostr(UAT_USER_INDEX_PTR(table, i), &text, &length,
                                  table->fields[0].cbdata.tostr, table->fields[0].fld_data);
        const bool ours =
            text && std::string_view(text, length).find("DLT=147") != std::string_view::npos;
        g_free(text);
        if (ours)
            return true;
    }
    return false;
}

std::int64_t time_us_of(const packet_info *pinfo) {
    // a time before 1970 or past what a message carries is none, or the latest
    constexpr std::int64_t kLatestSeconds = loconet::kLatestTimeUs / 1'000'000;
    if (!pinfo->fd->has_ts || pinfo->abs_ts.secs < 0)
        return 0;
    if (pinfo->abs_ts.secs >= kLatestSeconds)
        return loconet::kLatestTimeUs;
    return static_cast<std::int64_t>(pinfo->abs_ts.secs) * 1'000'000 + pinfo->abs_ts.nsecs / 1000;
}

void add_field(proto_tree *tree, tvbuff_t *tvb, int offset, int length,
               const loconet::DetailField &f) {
    const auto i = static_cast<std::size_t>(f.id);
    // the bytes it was read from; none named: the message as a whole
    const int at = f.byte_count ? offset + f.first_byte : offset;
    const int count = f.byte_count ? f.byte_count : length;
    if (at + count > offset + length)
        return; // a walker never names bytes past the message; be sure
    const char *text = f.text.c_str();
    if (f.id == loconet::FieldId::Opcode) {
        const std::string_view name = loconet::opcode_name(static_cast<int>(f.number));
        proto_tree_add_uint_format_value(tree, hf_field[i], tvb, at, count,
                                         static_cast<guint32>(f.number), "0x%02lX (%s)", f.number,
                                         name.empty() ? "unbekannt" : name.data());
    } else if (is_word(f.id)) {
        const std::string word = f.text.empty() ? std::to_string(f.number) : f.text;
        proto_item *item = proto_tree_add_string(tree, hf_field[i], tvb, at, count, word.c_str());
        if (f.has_number) {
            proto_item_append_text(item, " (%ld)", f.number);
            proto_item_set_generated(proto_tree_add_int64(tree, hf_other[i], tvb, at, count,
                                                          static_cast<gint64>(f.number)));
        }
    } else if (f.has_number) {
        proto_item *item =
            proto_tree_add_int64(tree, hf_field[i], tvb, at, count, static_cast<gint64>(f.number));
        if (!f.text.empty())
            proto_item_append_text(item, " (%s)", text);
    } else {
        proto_tree_add_string(tree, hf_other[i], tvb, at, count, text);
    }
}

void add_replies(proto_tree *tree, tvbuff_t *tvb, const dissection::Part &part) {
    if (part.response_to) {
        proto_item_set_generated(
            proto_tree_add_uint(tree, hf_response_to, tvb, 0, 0, part.response_to));
        nstime_t t;
        t.secs = static_cast<time_t>(part.response_time_us / 1'000'000);
        t.nsecs = static_cast<int>(part.response_time_us % 1'000'000) * 1000;
        proto_item_set_generated(proto_tree_add_time(tree, hf_response_time, tvb, 0, 0, &t));
    }
    for (const std::uint32_t frame : part.response_in)
        proto_item_set_generated(proto_tree_add_uint(tree, hf_response_in, tvb, 0, 0, frame));
}

void add_message(packet_info *pinfo, proto_tree *tree, tvbuff_t *tvb,
                 const dissection::Part &part) {
    const int offset = part.offset;
    const int length = part.length;
    // the line may be longer than a tree label: it has a field of its own
    const int opcode = part.message.opcode();
    const std::string_view name = loconet::opcode_name(opcode);
    proto_item *top = name.empty()
                          ? proto_tree_add_protocol_format(tree, proto_loconet, tvb, offset, length,
                                                           "LocoNet, Opcode 0x%02X", opcode)
                          : proto_tree_add_protocol_format(tree, proto_loconet, tvb, offset, length,
                                                           "LocoNet, %s", name.data());
    proto_tree *sub = proto_item_add_subtree(top, ett_loconet);
    proto_tree_add_string(sub, hf_line, tvb, offset, length, part.line.c_str());
    for (const loconet::DetailField &f : part.fields) {
        if (f.id == loconet::FieldId::Checksum)
            continue;
        add_field(sub, tvb, offset, length, f);
    }
    const auto bytes = part.message.view();
    const auto expected = static_cast<guint32>(loconet::checksum(bytes.begin(), bytes.end() - 1));
    proto_tree_add_checksum(sub, tvb, static_cast<guint>(offset + length - 1),
                            hf_field[static_cast<std::size_t>(loconet::FieldId::Checksum)],
                            hf_checksum_status, &ei_checksum, pinfo, expected, ENC_NA,
                            PROTO_CHECKSUM_VERIFY);
    add_replies(sub, tvb, part);
}

std::string cut_text(const dissection::Part &part) {
    if (part.kind == dissection::Part::Kind::Stray)
        return std::to_string(part.length) + " Datenbytes ohne Opcode verworfen";
    std::string text = "Meldung abgeschnitten: " + std::to_string(part.length) + " Byte";
    if (part.expected >= 2) {
        text += " von ";
        text += std::to_string(part.expected);
    }
    return text;
}

void add_cut(packet_info *pinfo, proto_tree *tree, tvbuff_t *tvb, const dissection::Part &part,
             const std::string &text) {
    const bool stray = part.kind == dissection::Part::Kind::Stray;
    proto_item *item =
        proto_tree_add_item(tree, stray ? hf_stray : hf_cut, tvb, part.offset, part.length, ENC_NA);
    expert_add_info_format(pinfo, item, stray ? &ei_stray : &ei_cut, "%s", text.c_str());
}

void add_findings(packet_info *pinfo, proto_tree *tree, tvbuff_t *tvb) {
    for (const dissection::FrameFinding &f : capture.findings_at(pinfo->num)) {
        const auto severity = static_cast<std::size_t>(f.severity);
        const std::string_view kind = loconet::finding_id(f.kind);
        proto_item *item = proto_tree_add_protocol_format(
            tree, proto_loconet, tvb, 0, 0, "Befund (%.*s): %s", static_cast<int>(kind.size()),
            kind.data(), f.text.c_str());
        proto_item_set_generated(item);
        expert_add_info_format(pinfo, item, &ei_finding[severity < 3 ? severity : 2], "%.*s: %s",
                               static_cast<int>(kind.size()), kind.data(), f.text.c_str());
    }
}

std::int32_t first_number(const dissection::Part &part, loconet::FieldId id) {
    for (const loconet::DetailField &f : part.fields)
        if (f.id == id && f.has_number)
            return static_cast<std::int32_t>(f.number);
    return -1;
}

void tell_statistics(packet_info *pinfo, const std::vector<dissection::Part> &parts) {
    if (!have_tap_listener(tap_loconet))
        return;
    auto *packet = wmem_new0(pinfo->pool, TapPacket);
    auto *messages = wmem_alloc_array(pinfo->pool, TapMessage, parts.size() + 1);
    unsigned n = 0;
    for (const dissection::Part &part : parts)
        if (part.kind == dissection::Part::Kind::Message)
            messages[n++] = {static_cast<std::uint8_t>(part.message.opcode()),
                             first_number(part, loconet::FieldId::Loco),
                             first_number(part, loconet::FieldId::Slot),
                             first_number(part, loconet::FieldId::Switch),
                             first_number(part, loconet::FieldId::Sensor)};
    const std::vector<loconet::FindingKind> raised = capture.raised_at(pinfo->num);
    auto *kinds = wmem_alloc_array(pinfo->pool, loconet::FindingKind, raised.size() + 1);
    std::copy(raised.begin(), raised.end(), kinds);
    *packet = {n, messages, static_cast<unsigned>(raised.size()), kinds};
    tap_queue_packet(tap_loconet, pinfo, packet);
}

int dissect_loconet(tvbuff_t *tvb, packet_info *pinfo, proto_tree *tree, void *data) {
    if (user_dlt_handle && user_maps_147())
        return call_dissector_with_data(user_dlt_handle, tvb, pinfo, tree, data);
    col_set_str(pinfo->cinfo, COL_PROTOCOL, "LocoNet");
    col_clear(pinfo->cinfo, COL_INFO);
    const auto length = static_cast<gint>(tvb_captured_length(tvb));
    const auto *bytes = static_cast<const std::uint8_t *>(
        tvb_memdup(pinfo->pool, tvb, 0, static_cast<size_t>(length)));
    const std::vector<dissection::Part> parts =
        capture.dissect(pinfo->num, time_us_of(pinfo), pinfo->p2p_dir == P2P_DIR_SENT,
                        {bytes, static_cast<std::size_t>(length)});
    for (const dissection::Part &part : parts) {
        if (part.kind == dissection::Part::Kind::Message) {
            col_append_sep_str(pinfo->cinfo, COL_INFO, " | ", part.line.c_str());
            add_message(pinfo, tree, tvb, part);
        } else {
            const std::string text = cut_text(part);
            col_append_sep_str(pinfo->cinfo, COL_INFO, " | ", text.c_str());
            add_cut(pinfo, tree, tvb, part, text);
        }
    }
    add_findings(pinfo, tree, tvb);
    tell_statistics(pinfo, parts);
    return length;
}

void forget_capture() { capture.reset(); }

} // namespace

void register_protocol() {
    proto_loconet = proto_register_protocol("LocoNet", "LocoNet", "loconet");
    register_fields();
    static gint *trees[] = {&ett_loconet};
    proto_register_subtree_array(trees, G_N_ELEMENTS(trees));
    register_expert_entries();
    // by name, so that a DLT_USER mapping can choose it for another link type
    loconet_handle = register_dissector("loconet", dissect_loconet, proto_loconet);
    tap_loconet = register_tap(kTapName);
    register_init_routine(forget_capture);
    register_cleanup_routine(forget_capture);
}

void register_handoff() {
    // No link type is registered for LocoNet; its tools record it as the
    // first user type, 147. A user's own DLT_USER mapping of 147 still wins:
    // the dissector hands such packets to it.
    user_dlt_handle =
        dissector_get_uint_handle(find_dissector_table("wtap_encap"), WTAP_ENCAP_USER0);
    dissector_add_uint("wtap_encap", WTAP_ENCAP_USER0, loconet_handle);
}

} // namespace bl::wireshark
