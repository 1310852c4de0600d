#include "loconet/subjects.h"

#include "loconet/detail.h"

namespace bl::loconet {

void Subjects::add(Kind kind, int value) {
    auto &n = count_[kind];
    for (std::size_t i = 0; i < n; ++i)
        if (values_[kind][i] == value)
            return;
    if (n < kMost)
        values_[kind][n++] = value;
}

Subjects subjects_of(const Message &m, const RequestSource &requests) {
    // the walkers name them; only these fields are kept
    thread_local DetailFields fields;
    fields.clear();
    LineText line;
    render_detailed(m, requests, line, &fields, kSubjectFields);
    Subjects s;
    for (const DetailField &f : fields) {
        if (!f.has_number)
            continue;
        const int v = static_cast<int>(f.number);
        switch (f.id) {
        case FieldId::Loco: s.add(Subjects::kLoco, v); break;
        case FieldId::Slot: s.add(Subjects::kSlot, v); break;
        case FieldId::Switch: s.add(Subjects::kSwitch, v); break;
        case FieldId::Sensor:
        case FieldId::Section: s.add(Subjects::kSensor, v); break;
        default: break;
        }
    }
    return s;
}

} // namespace bl::loconet
