// Arbitrary messages of every length through the bus context and the
// detailed rendering, with the field list. Each message is one length byte
// (1..127) and that many bytes; the first is made an opcode. Invariants: a
// line is never empty, never longer than its capacity, and every field has a
// name; the sanitizers catch any read past the message.
#include "loconet/bus_context.h"
#include "loconet/detail.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    bl::loconet::BusContext context;
    bl::LineText line;
    bl::loconet::DetailFields fields;
    std::uint64_t seq = 0;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = 1 + data[at++] % bl::loconet::kLongestMessage;
        const std::size_t n = std::min(length, size - at);
        bl::loconet::Message m = bl::loconet::message_of(data + at, data + at + n);
        at += n;
        if (m.length == 0)
            break;
        m.bytes[0] |= 0x80;
        m.seq = ++seq;
        context.observe(m);
        line.clear();
        fields.clear();
        bl::loconet::render_detailed(m, context, line, &fields);
        if (line.view().empty() || line.view().size() > bl::LineText::kCapacity)
            std::abort();
        for (const auto &field : fields)
            if (field.id >= bl::loconet::FieldId::kCount || info(field.id).name.empty())
                std::abort();
    }
    return 0;
}
