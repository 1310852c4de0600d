#include "simulation/background_traffic.h"

#include "loconet/bus_context.h"
#include "loconet/findings.h"
#include "loconet/opcodes.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace bl::sim {
namespace {

struct LayoutRun {
    std::map<std::string, int> found; // findings by kind
    int sensor_reports = 0;
    int switch_commands = 0;
};

// The simulated layout at a rate, its station answering, through the
// findings with each message's time.
LayoutRun run_layout(double rate, double seconds) {
    CommandStation station;
    BackgroundTraffic layout(station, 3);
    loconet::BusContext context;
    context.watch_unreplied();
    loconet::Findings findings;
    LayoutRun r;
    findings.on_found(
        [&r](const loconet::Finding &f) { ++r.found[std::string(loconet::finding_id(f.kind))]; });
    std::uint64_t seq = 0;
    double now = 0;
    const auto feed = [&](const QByteArray &bytes) {
        loconet::Message m = loconet::message_of(bytes.begin(), bytes.end());
        m.seq = ++seq;
        m.steady_ns = 1'000'000'000 + static_cast<std::int64_t>(now * 1e9);
        m.wall_us = 1'700'000'000'000'000 + m.steady_ns / 1000;
        context.observe(m);
        findings.observe(m, context);
        r.sensor_reports += m.opcode() == loconet::kOpcInputRep;
        r.switch_commands += m.opcode() == loconet::kOpcSwReq && (m[2] & 0x10);
    };
    const auto put = [&](const QByteArray &m) {
        feed(m);
        for (const QByteArray &answer : station.handle(m))
            feed(answer);
    };
    for (const QByteArray &m : layout.opening())
        put(m);
    for (; now < seconds; now += 1 / rate)
        put(layout.next(now));
    findings.finish();
    return r;
}

// However busy the demo bus, its trains and switches keep a layout's pace:
// the findings see no flapping sensor and no switch set again and again
// (a bus at its limit is a finding of its own).
TEST(BackgroundTraffic, KeepsALayoutsPaceAtAnyRate) {
    for (const double rate : {4.0, 50.0, 342.0}) {
        const LayoutRun r = run_layout(rate, 300);
        EXPECT_EQ(r.found.count("flattern"), 0u) << rate;
        EXPECT_EQ(r.found.count("weiche_gehaeuft"), 0u) << rate;
        EXPECT_EQ(r.found.count("unbeantwortet"), 0u) << rate;
        // the trains do run and the switches are set, many times an hour
        EXPECT_GT(r.sensor_reports, 100) << rate;
        EXPECT_GT(r.switch_commands, 50) << rate;
    }
}

} // namespace
} // namespace bl::sim
