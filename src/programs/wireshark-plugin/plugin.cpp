// The entry points by which Wireshark loads the LocoNet dissector plugin.
#include "wireshark/loconet_protocol.h"
#include "wireshark/loconet_statistics.h"

#include <epan/proto.h>
#include <epan/tap.h>
#include <ws_symbol_export.h>
#include <ws_version.h>

extern "C" {

// const names have internal linkage in C++ unless declared extern first
WS_DLL_PUBLIC_DEF extern const char plugin_version[];
WS_DLL_PUBLIC_DEF extern const int plugin_want_major;
WS_DLL_PUBLIC_DEF extern const int plugin_want_minor;

const char plugin_version[] = "1.0";
const int plugin_want_major = WIRESHARK_VERSION_MAJOR;
const int plugin_want_minor = WIRESHARK_VERSION_MINOR;

WS_DLL_PUBLIC_DEF void plugin_register(void) {
    static proto_plugin protocol;
    protocol.register_protoinfo = bl::wireshark::register_protocol;
    protocol.register_handoff = bl::wireshark::register_handoff;
    proto_register_plugin(&protocol);
    static tap_plugin statistics;
    statistics.register_tap_listener = bl::wireshark::register_statistics;
    tap_register_plugin(&statistics);
}
}
