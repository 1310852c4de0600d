#include "app/state_report.h"

#include "shared/json.h"

#include <QDateTime>
#include <algorithm>
#include <type_traits>
#include <unordered_set>

namespace bl {

using namespace loconet;

QString power_word(Power p) {
    switch (p) {
    case Power::On: return QStringLiteral("an");
    case Power::Off: return QStringLiteral("aus");
    case Power::EmergencyStop: return QStringLiteral("nothalt");
    case Power::Unknown: break;
    }
    return QStringLiteral("unbekannt");
}

QString activity_word(Activity a) {
    switch (a) {
    case Activity::InUse: return QStringLiteral("in_benutzung");
    case Activity::Idle: return QStringLiteral("ruhend");
    case Activity::Common: return QStringLiteral("gemeinsam");
    case Activity::Free: break;
    }
    return QStringLiteral("frei");
}

QString position_word(Position p) {
    switch (p) {
    case Position::Closed: return QStringLiteral("gerade");
    case Position::Thrown: return QStringLiteral("abzweigend");
    case Position::Unknown: break;
    }
    return {};
}

QString direction_word(int direction) {
    return direction < 0    ? QString()
           : direction == 0 ? QStringLiteral("vorwärts")
                            : QStringLiteral("rückwärts");
}

QString functions_text(const Functions &f) {
    QStringList on;
    for (int n = 0; n <= 28; ++n)
        if ((f.known & f.on) & (1u << n))
            on << QString::number(n);
    return on.join(QLatin1Char(' '));
}

// The tables show a time in every row and are drawn twice a second: the
// local offset is looked up once per quarter of an hour (when clocks change,
// they do on a quarter hour), the rest is arithmetic.
QString time_of_day(std::int64_t wall_us) {
    if (wall_us <= 0)
        return {};
    constexpr std::int64_t kQuarterMs = 15 * 60 * 1000, kDayMs = 24 * 3600 * 1000;
    const std::int64_t ms = wall_us / 1000;
    thread_local std::int64_t cached_quarter = -1, cached_offset_ms = 0;
    if (ms / kQuarterMs != cached_quarter) {
        const std::int64_t start = ms / kQuarterMs * kQuarterMs;
        const int offset = QDateTime::fromMSecsSinceEpoch(start).offsetFromUtc();
        if (QDateTime::fromMSecsSinceEpoch(start + kQuarterMs - 1).offsetFromUtc() != offset)
            return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("hh:mm:ss,zzz"));
        cached_quarter = ms / kQuarterMs;
        cached_offset_ms = std::int64_t{offset} * 1000;
    }
    const std::int64_t of_day = ((ms + cached_offset_ms) % kDayMs + kDayMs) % kDayMs;
    char text[13];
    const auto put = [&text](int at, std::int64_t n, int digits) {
        for (int d = digits - 1; d >= 0; --d, n /= 10)
            text[at + d] = static_cast<char>('0' + n % 10);
    };
    put(0, of_day / 3'600'000, 2);
    text[2] = ':';
    put(3, of_day / 60'000 % 60, 2);
    text[5] = ':';
    put(6, of_day / 1000 % 60, 2);
    text[8] = ',';
    put(9, of_day % 1000, 3);
    text[12] = '\0';
    return QString::fromLatin1(text, 12);
}

namespace {

QString number_or_blank(int n) { return n < 0 ? QString() : QString::number(n); }

QString steps_text(int stat1) {
    if (stat1 < 0)
        return {};
    switch (stat1 & 0x07) {
    case 0:
    case 1: return QStringLiteral("28");
    case 2: return QStringLiteral("14");
    case 3: return QStringLiteral("128");
    case 4: return QStringLiteral("28 DT");
    case 7: return QStringLiteral("128 DT");
    default: return QStringLiteral("?");
    }
}

QString source_word(ReportSource s) {
    switch (s) {
    case ReportSource::OutputReport: return QStringLiteral("Ausgangsmeldung");
    case ReportSource::InputReport: return QStringLiteral("Eingangsmeldung");
    case ReportSource::StateQuery: return QStringLiteral("Abfrage");
    case ReportSource::None: break;
    }
    return {};
}

QString section_kind(SectionState::Kind k) {
    switch (k) {
    case SectionState::Kind::Reverser: return QStringLiteral("Kehrschleife");
    case SectionState::Kind::Booster: return QStringLiteral("Booster/Melder");
    case SectionState::Kind::Breaker: break;
    }
    return QStringLiteral("Kurzschlussabschaltung");
}

QString section_state(const SectionState &s) {
    if (s.kind == SectionState::Kind::Reverser)
        return s.tripped ? QStringLiteral("umgepolt") : QStringLiteral("normal");
    return s.tripped ? QStringLiteral("KURZSCHLUSS") : QStringLiteral("ok");
}

template <typename Map, typename Make>
std::vector<StateTable::Row> rows_of(const Map &map, Make make) {
    std::vector<StateTable::Row> rows;
    rows.reserve(map.size());
    for (const auto &value : map)
        rows.push_back(make(value));
    std::sort(rows.begin(), rows.end(),
              [](const auto &a, const auto &b) { return a.sort_key < b.sort_key; });
    return rows;
}

} // namespace

StateTable state_table(const LayoutState &state, StateTable::Kind kind) {
    StateTable t;
    switch (kind) {
    case StateTable::kSlots:
        t.title = QStringLiteral("Slots");
        t.columns = {QStringLiteral("Slot"),          QStringLiteral("Lok"),
                     QStringLiteral("Status"),        QStringLiteral("Fahrstufen"),
                     QStringLiteral("Fahrwert"),      QStringLiteral("Richtung"),
                     QStringLiteral("Funktionen an"), QStringLiteral("Traktion"),
                     QStringLiteral("Regler-ID"),     QStringLiteral("geändert"),
                     QStringLiteral("zuletzt")};
        t.bookkeeping_columns = 2;
        t.rows = rows_of(state.slots(), [](const SlotState &s) {
            StateTable::Row r;
            r.cells = {QString::number(s.slot),
                       number_or_blank(s.loco),
                       activity_word(s.activity),
                       steps_text(s.stat1),
                       number_or_blank(s.speed),
                       direction_word(s.direction),
                       functions_text(s.functions),
                       s.consist_top >= 0 ? QStringLiteral("folgt Slot %1").arg(s.consist_top)
                                          : QString(),
                       number_or_blank(s.throttle),
                       time_of_day(s.changed_us),
                       time_of_day(s.seen_us)};
            r.slot = s.slot;
            r.loco = s.loco;
            r.changed_us = s.changed_us;
            r.changed_nr = s.changed_nr;
            r.sort_key = s.slot;
            return r;
        });
        break;
    case StateTable::kLocos:
        t.title = QStringLiteral("Lokomotiven");
        t.columns = {QStringLiteral("Lok"),
                     QStringLiteral("Slot"),
                     QStringLiteral("Fahrwert"),
                     QStringLiteral("Richtung"),
                     QStringLiteral("Funktionen an"),
                     QStringLiteral("Abschnitt"),
                     QStringLiteral("zuletzt gesehen")};
        t.rows = rows_of(state.locos(), [](const LocoState &l) {
            StateTable::Row r;
            QString place;
            if (l.section >= 0)
                place = QString::number(l.section) +
                        (l.zone ? QStringLiteral(" Zone %1").arg(QLatin1Char(l.zone)) : QString()) +
                        (l.present ? QString() : QStringLiteral(" (verlassen)"));
            r.cells = {QString::number(l.address),  number_or_blank(l.slot),
                       number_or_blank(l.speed),    direction_word(l.direction),
                       functions_text(l.functions), place,
                       time_of_day(l.seen_us)};
            r.loco = l.address;
            r.slot = l.slot;
            r.changed_us = l.changed_us;
            r.changed_nr = l.changed_nr;
            r.sort_key = l.address;
            return r;
        });
        break;
    case StateTable::kSwitches:
        t.title = QStringLiteral("Weichen");
        t.columns = {QStringLiteral("Weiche"),  QStringLiteral("befohlen"),
                     QStringLiteral("Befehle"), QStringLiteral("gemeldet"),
                     QStringLiteral("Quelle"),  QStringLiteral("geändert")};
        t.rows = rows_of(state.switches(), [](const SwitchState &s) {
            StateTable::Row r;
            r.cells = {QString::number(s.number),   position_word(s.commanded),
                       QString::number(s.commands), position_word(s.reported),
                       source_word(s.source),       time_of_day(s.changed_us)};
            r.switch_number = s.number;
            r.changed_us = s.changed_us;
            r.changed_nr = s.changed_nr;
            r.sort_key = s.number;
            return r;
        });
        break;
    case StateTable::kSensors: {
        t.title = QStringLiteral("Rückmelder");
        t.columns = {QStringLiteral("Rückmelder"), QStringLiteral("Zustand"),
                     QStringLiteral("seit"), QStringLiteral("Wechsel letzte Minute")};
        t.bookkeeping_columns = 2;
        const std::int64_t now = state.now_us();
        t.rows = rows_of(state.sensors(), [now](const SensorState &s) {
            StateTable::Row r;
            r.cells = {QString::number(s.number),
                       s.occupied ? QStringLiteral("belegt") : QStringLiteral("frei"),
                       time_of_day(s.changed_us),
                       QString::number(s.changes_within(now, 60'000'000))};
            r.sensor = s.number;
            r.changed_us = s.changed_us;
            r.changed_nr = s.changed_nr;
            r.sort_key = s.number;
            return r;
        });
        break;
    }
    case StateTable::kTransponders: {
        t.title = QStringLiteral("Transponder");
        t.columns = {QStringLiteral("Lok"), QStringLiteral("Meldeabschnitt"),
                     QStringLiteral("Zone"), QStringLiteral("Zustand"), QStringLiteral("seit")};
        for (const LocoState &l : state.locos()) {
            const int address = l.address;
            if (l.section < 0)
                continue;
            StateTable::Row r;
            r.cells = {QString::number(address), QString::number(l.section),
                       l.zone ? QString(QLatin1Char(l.zone)) : QString(),
                       l.present ? QStringLiteral("erkannt") : QStringLiteral("verlassen"),
                       time_of_day(l.changed_us)};
            r.loco = address;
            r.sensor = l.section;
            r.changed_us = l.changed_us;
            r.changed_nr = l.changed_nr;
            r.sort_key = l.section * 100000LL + address;
            t.rows.push_back(r);
        }
        std::sort(t.rows.begin(), t.rows.end(),
                  [](const auto &a, const auto &b) { return a.sort_key < b.sort_key; });
        break;
    }
    case StateTable::kSections:
        t.title = QStringLiteral("Abschnitte");
        t.columns = {QStringLiteral("Gerät"), QStringLiteral("Abschnitt"), QStringLiteral("Art"),
                     QStringLiteral("Zustand"), QStringLiteral("seit")};
        t.rows = rows_of(state.sections(), [](const SectionState &s) {
            StateTable::Row r;
            r.cells = {QString::number(s.board), QString::number(s.section), section_kind(s.kind),
                       section_state(s), time_of_day(s.changed_us)};
            r.changed_us = s.changed_us;
            r.changed_nr = s.changed_nr;
            r.sort_key = s.board * 100LL + s.section;
            return r;
        });
        break;
    case StateTable::kKinds: break;
    }
    return t;
}

namespace {

// A row as the filter language reads it.
class RowSource : public filter::LineSource {
public:
    explicit RowSource(const StateTable::Row &row)
        : text_(row.cells.join(QLatin1Char(' ')).toLatin1()) {
        if (row.loco >= 0)
            subjects_.add(loconet::Subjects::kLoco, row.loco);
        if (row.slot >= 0)
            subjects_.add(loconet::Subjects::kSlot, row.slot);
        if (row.switch_number >= 0)
            subjects_.add(loconet::Subjects::kSwitch, row.switch_number);
        if (row.sensor >= 0)
            subjects_.add(loconet::Subjects::kSensor, row.sensor);
    }
    std::string_view line() override {
        return {text_.constData(), static_cast<std::size_t>(text_.size())};
    }
    const loconet::Subjects &subjects() override { return subjects_; }

private:
    QByteArray text_;
    loconet::Subjects subjects_;
};

} // namespace

bool row_matches(const StateTable::Row &row, const filter::Filter &f) {
    if (f.matches_everything())
        return true;
    RowSource source(row);
    const loconet::Message none;
    return f.matches(none, source);
}

QStringList station_lines(const LayoutState &state) {
    QStringList lines;
    QString power = QStringLiteral("Gleisspannung: ") + power_word(state.power());
    if (state.power() != Power::Unknown && state.power_changed_us() > 0)
        power += QStringLiteral(" (seit %1)").arg(time_of_day(state.power_changed_us()));
    lines << power;
    const ClockState &c = state.clock();
    if (c.known)
        lines << QStringLiteral("Modelluhr: %1:%2, Tag %3, Faktor %4:1%5")
                     .arg(c.hour, 2, 10, QLatin1Char('0'))
                     .arg(c.minute, 2, 10, QLatin1Char('0'))
                     .arg(c.day)
                     .arg(c.rate)
                     .arg(c.valid ? QString() : QStringLiteral(", ungültig"));
    else
        lines << QStringLiteral("Modelluhr: unbekannt");
    lines << QStringLiteral("Programmiergleis: ") +
                 (state.programming_busy() < 0   ? QStringLiteral("unbekannt")
                  : state.programming_busy() > 0 ? QStringLiteral("belegt")
                                                 : QStringLiteral("frei"));
    return lines;
}

std::string state_text(const LayoutState &state, const filter::Filter *f) {
    QString out = QStringLiteral("Stand nach Meldung Nr. %1\n\nZentrale\n").arg(state.nr());
    for (const QString &line : station_lines(state))
        out += QStringLiteral("  ") + line + QLatin1Char('\n');
    for (int k = 0; k < StateTable::kKinds; ++k) {
        StateTable t = state_table(state, static_cast<StateTable::Kind>(k));
        if (f)
            std::erase_if(t.rows,
                          [f](const StateTable::Row &row) { return !row_matches(row, *f); });
        out += QLatin1Char('\n') + t.title + QLatin1Char('\n');
        if (t.rows.empty()) {
            out += QStringLiteral("  (keine)\n");
            continue;
        }
        // columns as wide as their widest cell
        std::vector<qsizetype> widths;
        for (const QString &c : t.columns)
            widths.push_back(c.size());
        for (const auto &row : t.rows)
            for (qsizetype i = 0; i < row.cells.size(); ++i)
                widths[static_cast<std::size_t>(i)] =
                    std::max(widths[static_cast<std::size_t>(i)], row.cells[i].size());
        const auto line = [&widths](const QStringList &cells) {
            QString text = QStringLiteral(" ");
            for (qsizetype i = 0; i < cells.size(); ++i)
                text +=
                    QLatin1Char(' ') + cells[i].leftJustified(widths[static_cast<std::size_t>(i)]);
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            return text + QLatin1Char('\n');
        };
        out += line(t.columns);
        for (const auto &row : t.rows)
            out += line(row.cells);
    }
    return out.toStdString();
}

namespace {

void key(std::string &out, const char *name) {
    out += '"';
    out += name;
    out += "\":";
}

void text(std::string &out, const QString &value) {
    if (value.isEmpty()) {
        out += "null";
        return;
    }
    const QByteArray latin1 = value.toLatin1();
    json::append_string(
        out, std::string_view(latin1.constData(), static_cast<std::size_t>(latin1.size())));
}

void number(std::string &out, long value) { out += value < 0 ? "null" : std::to_string(value); }

void functions_list(std::string &out, const Functions &f) {
    out += '[';
    bool first = true;
    for (int n = 0; n <= 28; ++n)
        if ((f.known & f.on) & (1u << n)) {
            if (!first)
                out += ',';
            first = false;
            out += std::to_string(n);
        }
    out += ']';
}

void time(std::string &out, std::int64_t wall_us) {
    if (wall_us <= 0) {
        out += "null";
        return;
    }
    out += '"';
    json::append_time(out, wall_us);
    out += '"';
}

// The numbers (sort keys) of the rows a filter takes from a table; all without a filter.
class Kept {
public:
    Kept(const LayoutState &state, StateTable::Kind kind, const filter::Filter *f) : all_(!f) {
        if (f)
            for (const StateTable::Row &row : state_table(state, kind).rows)
                if (row_matches(row, *f))
                    keys_.insert(row.sort_key);
    }
    bool operator()(qint64 key) const { return all_ || keys_.contains(key); }

private:
    bool all_;
    std::unordered_set<qint64> keys_;
};

// ,"name":[{…},…]: the entries the filter keeps, in the order of their
// numbers, each written by fields between its braces.
template <typename Table, typename KeyOf, typename Fields>
void write_table(std::string &out, const char *name, const Table &entries, const Kept &kept,
                 KeyOf key_of, Fields fields) {
    using T = std::remove_cvref_t<decltype(*entries.begin())>;
    std::vector<const T *> chosen;
    for (const T &e : entries)
        if (kept(key_of(e)))
            chosen.push_back(&e);
    std::sort(chosen.begin(), chosen.end(),
              [&key_of](const T *a, const T *b) { return key_of(*a) < key_of(*b); });
    out += ",\"";
    out += name;
    out += "\":[";
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        out += i ? ",{" : "{";
        fields(*chosen[i]);
        out += '}';
    }
    out += ']';
}

} // namespace

std::string state_json(const LayoutState &state, const filter::Filter *f) {
    std::string out = "{";
    key(out, "nr");
    out += std::to_string(state.nr());
    out += ',';
    key(out, "gleisspannung");
    text(out, state.power() == Power::Unknown ? QString() : power_word(state.power()));
    out += ',';
    key(out, "modelluhr");
    const ClockState &c = state.clock();
    if (c.known) {
        char hhmm[8];
        std::snprintf(hhmm, sizeof hhmm, "%02d:%02d", c.hour, c.minute);
        out += "{\"zeit\":\"";
        out += hhmm;
        out += "\",\"tag\":" + std::to_string(c.day) + ",\"faktor\":" + std::to_string(c.rate) +
               ",\"gueltig\":" + (c.valid ? "true" : "false") + "}";
    } else {
        out += "null";
    }
    out += ',';
    key(out, "programmiergleis");
    out += state.programming_busy() < 0   ? "null"
           : state.programming_busy() > 0 ? "\"belegt\""
                                          : "\"frei\"";

    write_table(
        out, "slots", state.slots(), Kept(state, StateTable::kSlots, f),
        [](const SlotState &e) { return static_cast<qint64>(e.slot); },
        [&](const SlotState &s) {
            key(out, "slot");
            number(out, s.slot);
            out += ',';
            key(out, "lok");
            number(out, s.loco);
            out += ',';
            key(out, "status");
            text(out, activity_word(s.activity));
            out += ',';
            key(out, "fahrstufen");
            text(out, steps_text(s.stat1));
            out += ',';
            key(out, "fahrstufe");
            number(out, s.speed);
            out += ',';
            key(out, "richtung");
            text(out, direction_word(s.direction));
            out += ',';
            key(out, "funktionen");
            functions_list(out, s.functions);
            out += ',';
            key(out, "traktion_folgt_slot");
            number(out, s.consist_top);
            out += ',';
            key(out, "regler_id");
            number(out, s.throttle);
            out += ',';
            key(out, "geaendert");
            time(out, s.changed_us);
            out += ',';
            key(out, "zuletzt");
            time(out, s.seen_us);
        });
    write_table(
        out, "lokomotiven", state.locos(), Kept(state, StateTable::kLocos, f),
        [](const LocoState &e) { return static_cast<qint64>(e.address); },
        [&](const LocoState &l) {
            key(out, "lok");
            number(out, l.address);
            out += ',';
            key(out, "slot");
            number(out, l.slot);
            out += ',';
            key(out, "fahrstufe");
            number(out, l.speed);
            out += ',';
            key(out, "richtung");
            text(out, direction_word(l.direction));
            out += ',';
            key(out, "funktionen");
            functions_list(out, l.functions);
            out += ',';
            key(out, "meldeabschnitt");
            number(out, l.section);
            out += ',';
            key(out, "zuletzt");
            time(out, l.seen_us);
        });
    write_table(
        out, "weichen", state.switches(), Kept(state, StateTable::kSwitches, f),
        [](const SwitchState &e) { return static_cast<qint64>(e.number); },
        [&](const SwitchState &s) {
            key(out, "weiche");
            number(out, s.number);
            out += ',';
            key(out, "stellung");
            text(out, position_word(s.commanded));
            out += ',';
            key(out, "befehle");
            number(out, s.commands);
            out += ',';
            key(out, "gemeldet");
            text(out, position_word(s.reported));
            out += ',';
            key(out, "quelle");
            text(out, source_word(s.source));
            out += ',';
            key(out, "geaendert");
            time(out, s.changed_us);
        });
    write_table(
        out, "rueckmelder", state.sensors(), Kept(state, StateTable::kSensors, f),
        [](const SensorState &e) { return static_cast<qint64>(e.number); },
        [&](const SensorState &s) {
            key(out, "rm");
            number(out, s.number);
            out += ',';
            key(out, "belegt");
            out += s.occupied ? "true" : "false";
            out += ',';
            key(out, "seit");
            time(out, s.changed_us);
            out += ',';
            key(out, "wechsel_letzte_minute");
            number(out, s.changes_within(state.now_us(), 60'000'000));
        });
    write_table(
        out, "abschnitte", state.sections(), Kept(state, StateTable::kSections, f),
        [](const SectionState &e) { return static_cast<qint64>(e.board * 100LL + e.section); },
        [&](const SectionState &s) {
            key(out, "geraet");
            number(out, s.board);
            out += ',';
            key(out, "abschnitt");
            number(out, s.section);
            out += ',';
            key(out, "art");
            text(out, section_kind(s.kind));
            out += ',';
            key(out, "zustand");
            text(out, section_state(s));
        });
    out += '}';
    return out;
}

} // namespace bl
