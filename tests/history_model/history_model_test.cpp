// The history's table: its rows and columns, the roles that colour and
// mark rows, the filter over old and new messages, the field view and the
// exports.
#include "app/reception_path.h"
#include "history_model/history_export.h"
#include "history_model/history_model.h"
#include "support/messages.h"

#include <QBrush>
#include <QBuffer>
#include <QFont>
#include <gtest/gtest.h>

namespace bl {
namespace {

using Col = HistoryModel::Column;

// A store with a short session, framed as the bus gives it (a message a
// millisecond): a slot read and its answer, a sensor, a corrupt one, a send
// and its echo.
struct Session {
    ModVariablen vars;
    DiscardingMonitorArea area;
    NoLines trace;
    std::int64_t ms = 0;
    ReceptionPath path{vars, {area, trace}, [this] {
                           ++ms;
                           return MessageStamp{1'700'000'000'000'000 + ms * 1000, ms * 1'000'000};
                       }};
    HistoryStore store;
    Receiver::MessageListeners::Handle feed =
        path.receiver.listen([this](const loconet::Message &m) { store.add(m); });

    Session() {
        vars.monitor_on = kTrue;
        receive("BB 05 00 41 E7 0E 05 03 39 00 00 00 00 00 00 00 00 29 A0 05 20 7A B2 02 50 1F "
                "B2 03 50 1F");
        send("B0 0A 30 75");
        receive("B0 0A 30 75");
    }
    void receive(const std::string &hex) { path.receiver.framing_steps(testing::bytes(hex)); }
    void send(const std::string &hex) {
        const std::string b = testing::bytes(hex);
        path.receiver.sent(std::span(reinterpret_cast<const std::uint8_t *>(b.data()), b.size()),
                           0);
    }
};

QString text(const HistoryModel &model, int row, int column, int role = Qt::DisplayRole) {
    return model.data(model.index(row, column), role).toString();
}

TEST(HistoryModel, RowsCarryTheColumns) {
    Session s;
    HistoryModel model(s.store);
    EXPECT_EQ(model.rowCount(), 0) << "rows come with sync";
    EXPECT_EQ(model.sync(), 7);
    ASSERT_EQ(model.rowCount(), 7);
    EXPECT_EQ(model.columnCount(), 7);
    EXPECT_EQ(model.headerData(Col::kText, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Klartext"));
    EXPECT_EQ(text(model, 2, Col::kNr), QStringLiteral("3"));
    EXPECT_EQ(text(model, 2, Col::kDirection), QStringLiteral("empfangen"));
    EXPECT_EQ(text(model, 2, Col::kOpcode), QStringLiteral("OPC_LOCO_SPD"));
    EXPECT_EQ(text(model, 2, Col::kAddress), QStringLiteral("Lok 57, Slot 5"));
    EXPECT_EQ(text(model, 2, Col::kBytes), QStringLiteral("A0 05 20 7A"));
    EXPECT_EQ(text(model, 2, Col::kText), QStringLiteral("Lok 57 = Geschw. 32"));
    EXPECT_EQ(text(model, 3, Col::kAddress), QStringLiteral("Rm 5"));
    EXPECT_EQ(text(model, 0, Col::kText), QStringLiteral("Statusanfrage nach Slot 5"));
    EXPECT_EQ(text(model, 4, Col::kDirection), QStringLiteral("empfangen, Prüfsumme falsch"));
    EXPECT_EQ(text(model, 5, Col::kDirection), QStringLiteral("gesendet"));
    EXPECT_EQ(text(model, 6, Col::kDirection), QStringLiteral("Echo"));
    EXPECT_EQ(text(model, 6, Col::kAddress), QStringLiteral("Weiche 11"));
    model.set_detail(true);
    EXPECT_EQ(text(model, 2, Col::kText),
              QStringLiteral("Slot 5 (Lok 57): Fahrstufe 31 von 126 (Wert 32)"));
    EXPECT_TRUE(text(model, 1, Col::kText)
                    .endsWith(QStringLiteral("Antwort auf: Slotdaten für Slot 5 anfordern")));
}

// Colour and a mark that reads without it: bold red for a wrong checksum,
// italic blue for ours and their echoes, yellow and "*" for a highlight.
TEST(HistoryModel, RolesColourAndMarkTheRows) {
    Session s;
    HistoryModel model(s.store);
    model.sync();
    const auto background = [&](int row) {
        return model.data(model.index(row, Col::kText), Qt::BackgroundRole).value<QBrush>().color();
    };
    const auto font = [&](int row) {
        return model.data(model.index(row, Col::kText), Qt::FontRole).value<QFont>();
    };
    EXPECT_FALSE(model.data(model.index(3, 0), Qt::BackgroundRole).isValid());
    EXPECT_GT(background(4).red(), background(4).blue());
    EXPECT_TRUE(font(4).bold());
    EXPECT_GT(background(5).blue(), background(5).red());
    EXPECT_TRUE(font(5).italic());
    EXPECT_TRUE(font(6).italic());
    EXPECT_NE(background(5), background(6));
    model.set_highlight(std::get<filter::Filter>(filter::Filter::parse("rm=5")));
    EXPECT_EQ(text(model, 3, Col::kNr), QStringLiteral("* 4"));
    EXPECT_EQ(background(3), QColor(0xFF, 0xF0, 0x80));
    EXPECT_TRUE(font(3).bold());
    EXPECT_EQ(text(model, 2, Col::kNr), QStringLiteral("3"));
    EXPECT_EQ(model.data(model.index(4, 0), HistoryModel::KindRole).toInt(),
              static_cast<int>(HistoryModel::RowKind::Error));
}

TEST(HistoryModel, TheFilterTakesOldAndNewMessages) {
    Session s;
    HistoryModel model(s.store);
    model.set_filter(std::get<filter::Filter>(filter::Filter::parse("opcode=B2 oder belegt")));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.position(0), 3u);
    s.receive("B2 04 50 19 83 7C");
    EXPECT_EQ(model.sync(), 1);
    EXPECT_EQ(text(model, 2, Col::kText), QStringLiteral("Rückmelder 9 = belegt"));
    model.set_filter(std::nullopt);
    EXPECT_EQ(model.rowCount(), 9);
    EXPECT_EQ(model.row_of(4), 4);
}

// The history's line of a message is the line the monitor showed for it,
// or none where it showed none: also for a slot-data message cut short
// (its line shows what the receive buffer still held), a busy message and
// a long acknowledgement swallowed after a switch-state query (with
// "ASCII+HEX" ticked, as the monitor starts).
TEST(HistoryModel, EachLineIsTheLineTheMonitorShowed) {
    Session s;
    s.vars.ascii_hex_on = kTrue;
    std::vector<QString> shown;
    const auto listening = s.path.receiver.listen([&](const loconet::Message &m) {
        if (m.direction != loconet::Direction::Sent)
            shown.push_back(
                QString::fromLatin1(s.path.receiver.shown_line().data(),
                                    static_cast<qsizetype>(s.path.receiver.shown_line().size())));
    });
    s.receive("E7 0E 03 33 52 10 30 07 12 09 01 00 00 51 E7 04 05 1D 81 7E BC 04 00 47 "
              "B4 3F 00 74 A0 05 10 4A 85 7A");
    HistoryModel model(s.store);
    model.sync();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Slot  5 = Lokadr. 1234"))) << "as written";
    EXPECT_TRUE(shown[2].isEmpty());
    EXPECT_TRUE(shown[4].isEmpty());
    const int first = model.rowCount() - 7;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(model.line(first + i), shown[static_cast<std::size_t>(i)]) << i;
}

TEST(HistoryModel, RowsOfDroppedMessagesLeave) {
    testing::MessageBus bus;
    HistoryStore store(3);
    HistoryModel model(store);
    for (int i = 0; i < 3; ++i)
        store.add(bus.next("83"));
    model.sync();
    store.add(bus.next("82"));
    store.add(bus.next("82"));
    EXPECT_EQ(model.sync(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(text(model, 0, Col::kNr), QStringLiteral("3"));
    store.clear();
    model.reset();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(HistoryModel, TimesAbsoluteFromFirstFromAReferenceAndAsGaps) {
    Session s;
    HistoryModel model(s.store);
    model.sync();
    EXPECT_EQ(text(model, 0, Col::kTime).size(), 12) << "hh:mm:ss,mmm";
    model.set_time_mode(HistoryModel::TimeMode::FromFirst);
    EXPECT_EQ(text(model, 3, Col::kTime), QStringLiteral("+0,003 s"));
    model.set_time_mode(HistoryModel::TimeMode::FromReference, 4);
    EXPECT_EQ(text(model, 1, Col::kTime), QStringLiteral("-0,003 s"));
    model.set_time_mode(HistoryModel::TimeMode::Gap);
    EXPECT_EQ(text(model, 5, Col::kTime), QStringLiteral("+0,001 s"));
}

TEST(HistoryModel, FindsTextAndErrorsInBothDirections) {
    Session s;
    HistoryModel model(s.store);
    model.sync();
    EXPECT_EQ(model.find(QStringLiteral("RÜCKMELDER"), -1, true), 3);
    EXPECT_EQ(model.find(QStringLiteral("rückmelder"), 3, true), 4);
    EXPECT_EQ(model.find(QStringLiteral("rückmelder"), 3, false), 4) << "round the end";
    EXPECT_EQ(model.find(QStringLiteral("B0 0A"), 0, true), 5) << "the bytes too";
    EXPECT_EQ(model.find(QStringLiteral("nirgends"), 0, true), -1);
    EXPECT_EQ(model.next_error(-1), 4);
    EXPECT_EQ(model.next_error(4), -1);
}

// The field view names the fields and links a reply to its request.
TEST(HistoryModel, FieldViewLinksRequestAndReply) {
    Session s;
    const QString request = field_view(s.store, 0, false).join(QLatin1Char('\n'));
    EXPECT_TRUE(request.contains(QStringLiteral("Bytes: BB 05 00 41"))) << request.toStdString();
    EXPECT_TRUE(request.contains(QStringLiteral("Beantwortet von Nr. 2, 1,0 ms später")))
        << request.toStdString();
    const QString reply = field_view(s.store, 1, true).join(QLatin1Char('\n'));
    EXPECT_TRUE(reply.contains(QStringLiteral("Antwort auf Nr. 1, 1,0 ms später")))
        << reply.toStdString();
    EXPECT_TRUE(reply.contains(QStringLiteral("Felder:"))) << reply.toStdString();
    EXPECT_TRUE(reply.contains(QStringLiteral(": 57"))) << reply.toStdString();
    const QString corrupt = field_view(s.store, 4, false).join(QLatin1Char('\n'));
    EXPECT_TRUE(corrupt.contains(QStringLiteral("Prüfsumme: falsch"))) << corrupt.toStdString();
}

QByteArray exported(const HistoryModel &model, const HistoryStore &store, ExportFormat format) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(export_rows(model, store, format, out, QStringLiteral(",")));
    return out.data();
}

TEST(HistoryModel, ExportsTheShownRows) {
    Session s;
    HistoryModel model(s.store);
    model.set_filter(std::get<filter::Filter>(filter::Filter::parse("rm=5 oder fehler")));
    const QByteArray text = exported(model, s.store, ExportFormat::Text);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(" - R\xFC"
                                  "ckmelder 5 = belegt\r"))
        << lines[0].toStdString();
    EXPECT_EQ(lines[0].indexOf(" - "), 10) << "the trace's time stamp, 000000.000";
    const QByteArray csv = exported(model, s.store, ExportFormat::Csv);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFNr.;Zeit;Richtung;Opcode;Adresse;Bytes;Klartext\r\n"));
    EXPECT_TRUE(csv.contains(";Rm 5;B2 02 50 1F;Rückmelder 5 = belegt\r\n")) << csv.toStdString();
    const loconet::Message corrupt = s.store.at(4);
    EXPECT_EQ(exported(model, s.store, ExportFormat::Raw),
              QByteArray::fromHex("B202501F") +
                  QByteArray(reinterpret_cast<const char *>(corrupt.bytes.data()), corrupt.length));
}

// The file's ending chooses the form; the type chosen in the list serves a
// name without one.
TEST(HistoryExport, TheEndingChoosesTheForm) {
    const struct {
        const char *path;
        ExportFormat chosen, expected;
        const char *written_as;
    } rows[] = {
        {"x.csv", ExportFormat::Text, ExportFormat::Csv, "x.csv"},
        {"x.CSV", ExportFormat::Raw, ExportFormat::Csv, "x.CSV"},
        {"x.bin", ExportFormat::Text, ExportFormat::Raw, "x.bin"},
        {"x.raw", ExportFormat::Csv, ExportFormat::Raw, "x.raw"},
        {"x.txt", ExportFormat::Csv, ExportFormat::Text, "x.txt"},
        {"x", ExportFormat::Csv, ExportFormat::Csv, "x.csv"},
        {"x.dat", ExportFormat::Raw, ExportFormat::Raw, "x.dat"},
    };
    for (const auto &row : rows) {
        const QString path = with_ending(QString::fromLatin1(row.path), row.chosen);
        EXPECT_EQ(path, QString::fromLatin1(row.written_as)) << row.path;
        EXPECT_EQ(export_format_for(path, row.chosen), row.expected) << row.path;
    }
}

// Filtering a long history within a time budget: a step takes part, the
// steps together take what one go takes.
TEST(HistoryModel, AFilterAppliesInStepsWithinABudget) {
    testing::MessageBus bus;
    HistoryStore store;
    for (int i = 0; i < 200'000; ++i)
        store.add(bus.next(i % 7 ? "83" : "B2 02 50"));
    const auto rm5 = [] { return std::get<filter::Filter>(filter::Filter::parse("belegt")); };
    HistoryModel at_once(store), stepwise(store);
    at_once.set_filter(rm5());
    stepwise.set_filter(rm5(), false);
    EXPECT_EQ(stepwise.rowCount(), 0);
    stepwise.sync(QDeadlineTimer(0));
    EXPECT_GT(stepwise.pending(), 0u) << "a spent budget ends the step";
    int steps = 1;
    while (stepwise.pending() > 0 && steps < 100000) {
        stepwise.sync(QDeadlineTimer(1));
        ++steps;
    }
    EXPECT_GT(steps, 2);
    ASSERT_EQ(stepwise.rowCount(), at_once.rowCount());
    EXPECT_EQ(stepwise.rowCount(), 200'000 / 7 + 1);
    for (int row = 0; row < at_once.rowCount(); row += 997)
        EXPECT_EQ(stepwise.position(row), at_once.position(row));
}

} // namespace
} // namespace bl
