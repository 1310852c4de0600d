// The texts of one kept message as the history shows it: its shown line
// (written or detailed, rendered when asked), the address it names, its
// direction, its bytes, its time, and the fields of the field view.
#pragma once

#include "history/history_store.h"
#include "loconet/bus_context.h"
#include "loconet/detail.h"
#include "loconet/line_maker.h"
#include "loconet/line_text.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace bl {

// The requests a reply answers, looked up in the history.
class StoredRequests : public loconet::RequestSource {
public:
    explicit StoredRequests(const HistoryStore &store) : store_(store) {}
    const loconet::Message *request(std::uint64_t seq) const override;

private:
    const HistoryStore &store_;
    mutable loconet::Message found_;
};

// What the message is about ("Lok 57, Slot 5"), as its detailed line names it.
QString address_text(const loconet::Message &m, const loconet::RequestSource &requests);
QString direction_text(const loconet::Message &m);
QString bytes_text(const loconet::Message &m);
QString opcode_text(const loconet::Message &m);
// hh:mm:ss,mmm in local time
QString clock_text(std::int64_t wall_us);
// "+1,234 s" (or "-…") from steady nanoseconds
QString seconds_text(std::int64_t ns);

// The field view: bytes, fields, checksum, and the request or reply it
// belongs to ("Antwort auf Nr. 1234, 12 ms später").
QStringList field_view(const HistoryStore &store, std::uint64_t position, bool detail);

} // namespace bl
