// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own bytes against the ECU's. A good dump is taken silently only
// when nothing of the user's or the ECU's would be lost; otherwise the bytes in
// question wait for the user's choice, and each choice leaves the image, the
// user's own bytes and the writes as it must. Undo and redo write back exactly
// the bytes a step wrote over, online where the image lags behind the writes,
// as one step for a whole block. The difference report names each item as the
// window does, with both values as the display mode shows them.
#include "support/fake_clock.h"
#include "support/fake_link_host.h"
#include "tune/difference_report.h"
#include "tune/echo_confirmations.h"
#include "tune/reconcile.h"
#include "tune/undo_history.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::pair<int, int>>; // index, value

// An ECU's dump of the start layout: 214 configuration bytes and the check byte.
std::vector<std::uint8_t> Dump(const Bytes& changes = {}) {
    std::vector<std::uint8_t> d(215);
    for (int i = 0; i < 215; ++i) d[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (auto [i, v] : changes) d[i] = static_cast<std::uint8_t>(v);
    return d;
}

// THR MIN 20 and THR MAX 220, an EFI factor of 100 (0.08 ms per step).
void SetLimits(Configuration& c) {
    for (auto [i, v] : Bytes{{205, 20}, {206, 220}, {209, 100}}) c.ConfigImage.Set(i, v);
}

// The window's side of WriteConfigByte: offline into the image, online only
// a message whose echo comes later.
struct Window {
    Configuration config;
    ByteOwnership ownership{config};
    UndoHistory history{[this] { return ownership.WindowSnapshot(config); }};
    bool online = false;

    explicit Window(const ConfigDimensions& dims = ConfigDimensions::Start()) { LayOut(dims); }
    void LayOut(const ConfigDimensions& dims) {
        dims.ApplyTo(config);
        ownership.Reset(config);
    }
    void TakeBaseline() { TakeDump(Reconcile(config, ownership, Dump()), config, ownership); }
    void WriteConfigByte(int index, int value) {
        const auto v = static_cast<std::uint8_t>(value);
        if (online) {
            ownership.OnlineWriteSent(index, v);
        } else {
            config.ConfigImage.Set(index, v);
            ownership.OfflineWrite(index, v);
        }
    }
};

TEST(Reconcile, DecidesBetweenTakingSilentlyAndReportingAndListsTheDifferences) {
    const std::uint8_t d5 = Dump()[5], d7 = Dump()[7];
    const struct Case {
        const char* name;
        bool reconnect;                          // a dump was taken before
        Bytes offline;                           // edited or loaded while offline
        Bytes ecu;                               // changed on the ECU since
        std::vector<ByteDifference> differences; // none: taken silently
    } cases[] = {
        {"first dump, nothing changed", false, {}, {}, {}},
        {"first dump, offline edit; unknown bytes taken", false, {{5, 99}}, {}, {{5, 99, d5, 1}}},
        {"offline edit the ECU holds", false, {{5, d5}}, {}, {}},
        {"reconnect, nothing differs", true, {}, {}, {}},
        {"ECU changed while away", true, {}, {{7, 1}}, {{7, d7, 1, false, true}}},
        {"ECU changed to the user's value", true, {{7, 1}}, {{7, 1}}, {}},
        {"both",
         true,
         {{5, 99}, {201, 0}},
         {{7, 1}, {201, 2}},
         {{5, 99, d5, true}, {7, d7, 1, false, true}, {201, 0, 2, true, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        if (c.reconnect) w.TakeBaseline();
        for (auto [i, v] : c.offline) w.WriteConfigByte(i, v);
        const auto dump = Dump(c.ecu);
        const ReconcileResult r = Reconcile(w.config, w.ownership, dump);
        EXPECT_EQ(r.report, !c.differences.empty());
        EXPECT_FALSE(r.dimensionsDiffer);
        EXPECT_EQ(r.differences, c.differences);
        // Everything not in question comes from the dump, the spare byte too.
        ASSERT_EQ(r.merged.size(), 215u);
        for (int i = 0; i < 215; ++i) {
            const bool inQuestion = std::any_of(c.differences.begin(), c.differences.end(),
                                                [i](const auto& d) { return d.index == i; });
            EXPECT_EQ(r.merged[i],
                      inQuestion ? w.ownership.WindowValue(w.config.ConfigImage, i) : dump[i])
                << i;
        }
        // "Send mine" writes exactly the differing bytes with the window's values.
        ASSERT_EQ(r.sendMine.size(), c.differences.size());
        for (std::size_t k = 0; k < r.sendMine.size(); ++k)
            EXPECT_EQ(r.sendMine[k], (ByteWrite{c.differences[k].index, c.differences[k].window}));
    }
}

TEST(Reconcile, AWriteUnconfirmedWhenTheLinkWentOfflineStaysMine) {
    Window w;
    w.TakeBaseline();
    w.ownership.OnlineWriteSent(9, 150);
    w.ownership.OnlineWriteSent(9, 200);
    w.ownership.EchoReceived(9, 150); // the first write's echo: 200 still awaited
    EXPECT_EQ(w.ownership.MineNotInEcu(w.config.ConfigImage), 1);
    w.ownership.LinkWentOffline(w.config.ConfigImage);
    EXPECT_EQ(w.config.ConfigImage[9], 200);
    const ReconcileResult r = Reconcile(w.config, w.ownership, Dump({{9, 150}}));
    EXPECT_EQ(r.differences, (std::vector<ByteDifference>{{9, 200, 150, true, false}}));
}

TEST(Reconcile, AFileOfOtherDimensionsIsAWholeConfigurationDifference) {
    Window w;
    w.TakeBaseline();
    // A file of 16 x 11 loaded offline: the image is laid out anew, every
    // loaded byte is the user's.
    ConfigDimensions wide = ConfigDimensions::Start();
    wide.MapCols = 16;
    w.LayOut(wide);
    for (int i = 0; i < 100; ++i) w.WriteConfigByte(i, 1);
    const ReconcileResult r = Reconcile(w.config, w.ownership, Dump());
    EXPECT_TRUE(r.report);
    EXPECT_TRUE(r.dimensionsDiffer);
    EXPECT_TRUE(r.differences.empty());
    ASSERT_TRUE(r.ecuDimensions);
    EXPECT_EQ(*r.ecuDimensions, ConfigDimensions::Start());
    EXPECT_EQ(r.sendMine.size(), 100u) << "bytes neither loaded nor known are not sent";
    EXPECT_EQ(r.sendMine.back(), (ByteWrite{99, 1}));

    // "Use the ECU's" lays the image out as the ECU's again.
    EXPECT_TRUE(TakeDump(r, w.config, w.ownership));
    EXPECT_EQ(ConfigDimensions::Of(w.config), ConfigDimensions::Start());
    for (int i = 0; i < 215; ++i) EXPECT_EQ(w.config.ConfigImage[i], Dump()[i]) << i;
    EXPECT_FALSE(w.ownership.AnyMine());

    // With nothing of the user's in it, a layout of its own is taken silently.
    Window bare(wide);
    EXPECT_FALSE(Reconcile(bare.config, bare.ownership, Dump()).report);
}

TEST(Reconcile, EachChoiceLeavesTheImageAndTheUsersOwnBytesAsItMust) {
    auto opened = [](Window& w) {
        w.TakeBaseline();
        w.WriteConfigByte(5, 99);
        const ReconcileResult r = Reconcile(w.config, w.ownership, Dump({{7, 1}, {8, 2}}));
        KeepMerged(r, w.config); // the report is open
        return r;
    };
    {
        Window w;
        const ReconcileResult r = opened(w);
        EXPECT_EQ(w.config.ConfigImage[5], 99);
        EXPECT_EQ(w.config.ConfigImage[7], Dump()[7]) << "the ECU's change waits";
        KeepWindowVersion(r, w.ownership); // closed without a choice
        EXPECT_EQ(w.ownership.MineNotInEcu(w.config.ConfigImage), 3);
        EXPECT_TRUE(Reconcile(w.config, w.ownership, Dump({{7, 1}, {8, 2}})).report)
            << "the difference stays marked";
    }
    {
        Window w;
        const ReconcileResult r = opened(w);
        PrepareSendMine(r, w.ownership);
        test::FakeClock clock;
        EchoConfirmations echoes(clock);
        echoes.Start(r.sendMine);
        for (const ByteWrite& write : r.sendMine)
            w.ownership.OnlineWriteSent(write.index, write.value);
        EXPECT_EQ(w.ownership.MineNotInEcu(w.config.ConfigImage), 3);
        for (auto [i, v] : Bytes{{5, 99}, {7, 0}}) { // 0: not the value written
            echoes.EchoReceived(i, static_cast<std::uint8_t>(v));
            w.ownership.EchoReceived(i, static_cast<std::uint8_t>(v));
        }
        EXPECT_EQ(w.ownership.MineNotInEcu(w.config.ConfigImage), 2) << "5 is the ECU's now";
        EXPECT_FALSE(echoes.TakeOutcome()) << "still counting";
        clock.Advance(2000);
        echoes.EchoReceived(7, Dump()[7]);
        clock.Advance(1);
        echoes.EchoReceived(8, Dump()[8]); // too late to count
        const auto outcome = echoes.TakeOutcome();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->confirmed, 2);
        EXPECT_EQ(outcome->sent, 3);
        EXPECT_FALSE(echoes.TakeOutcome()) << "said once";
    }
}

// Online the image lags behind the writes: undo of a block fill writes back
// what each cell held before it, a write not yet echoed included (the bytes on
// the wire, last first, and redo are the window test's).
TEST(UndoHistory, ABlockFillOnlineIsOneStepAndUndoWritesWhatItWroteOver) {
    Window w;
    for (int i = 0; i < 3; ++i) w.config.ConfigImage.Set(i, 10); // from the ECU
    w.online = true;
    {
        UndoHistory::Step typed(w.history, "fuel map cell");
        w.WriteConfigByte(1, 20); // sent, its echo not come: the image still holds 10
    }
    // The grid editor's commit of a block: each cell's handler opens a step of
    // its own inside the block's.
    {
        UndoHistory::Step block(w.history, "block fill");
        for (int index : {0, 1, 2}) {
            UndoHistory::Step cell(w.history, "fuel map cell");
            w.WriteConfigByte(index, 30);
        }
    }
    EXPECT_EQ(w.history.Undo().writes, (std::vector<ByteWrite>{{2, 10}, {1, 20}, {0, 10}}))
        << "cell 1 goes back to the 20 written before, not the image's 10";
    // A new step after an undo drops what could be redone; a step that
    // changes nothing is not kept.
    for (int twice = 0; twice < 2; ++twice) {
        UndoHistory::Step typed(w.history, "ignition map cell");
        w.WriteConfigByte(170, 5);
    }
    EXPECT_FALSE(w.history.CanRedo());
    EXPECT_EQ(w.history.Size(), 2u);
}

TEST(UndoHistory, KeepsTheNewestThousandStepsAndUndoesALayoutChangeWhole) {
    Window w;
    for (int n = 0; n < 1005; ++n) {
        UndoHistory::Step step(w.history, "cell " + std::to_string(n));
        w.WriteConfigByte(n % 200, n % 256 + (n % 256 == 0));
    }
    int undone = 0;
    while (w.history.CanUndo()) {
        w.history.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 1000);

    // A file of other dimensions: undo lays the old layout out and writes all of it.
    Window f;
    f.config.ConfigImage.Set(3, 33);
    {
        UndoHistory::Step load(f.history, "load file");
        ConfigDimensions wide = ConfigDimensions::Start();
        wide.MapCols = 16;
        f.LayOut(wide);
        f.WriteConfigByte(3, 44);
    }
    const HistoryAction undo = f.history.Undo();
    ASSERT_TRUE(undo.layOut);
    EXPECT_EQ(*undo.layOut, ConfigDimensions::Start());
    ASSERT_EQ(undo.writes.size(), 214u);
    EXPECT_EQ(undo.writes[3], (ByteWrite{3, 33}));
    EXPECT_EQ(f.history.Redo().layOut->MapCols, 16);

    // Steps made elsewhere never carry an index outside their layout.
    UndoStep odd;
    odd.dims = ConfigDimensions::Start();
    odd.changes = {{-1, 0, 1}, {214, 0, 1}, {300, 0, 1}, {7, 0, 1}};
    f.history.Push(odd);
    EXPECT_EQ(f.history.Undo().writes, (std::vector<ByteWrite>{{7, 0}}));
}

TEST(DifferenceReport, OneRowPerItemNamedByItsHeadersInBothDisplayModes) {
    const LanguageTexts texts = test::EnglishTexts();
    Window w;
    SetLimits(w.config);
    const Configuration& window = w.config;
    std::vector<std::uint8_t> dump(215);
    for (int i = 0; i < 215; ++i) dump[i] = window.ConfigImage[i];
    const struct {
        int index, window, ecu;
    } changes[] = {{94, 25, 26},  {166, 128, 28},    {183, 128, 64},   {194, 64, 128},
                   {208, 24, 25}, {207, 0x01, 0x80}, {213, 0x04, 0x00}};
    for (const auto& c : changes) {
        w.WriteConfigByte(c.index, c.window);
        dump[c.index] = static_cast<std::uint8_t>(c.ecu);
    }
    const ReconcileResult result = Reconcile(window, w.ownership, dump);

    // Each row as "name | column | row | the window's | the ECU's".
    const auto shown = [&](DataFormatMode mode) {
        std::vector<std::string> rows;
        for (const ReportRow& r : BuildDifferenceReport(result, window, mode, texts).rows)
            rows.push_back(r.name + " | " + r.column + " | " + r.row + " | " + r.windowText +
                           " | " + r.otherText + (r.mine ? "" : " | not mine"));
        return rows;
    };
    EXPECT_EQ(shown(kFormattedData),
              (std::vector<std::string>{
                  "fuel map cell 5000 rpm / 49.9% | 5000 | 49.9% | 2.00 | 2.08",
                  "ignition map cell 2000 rpm | 2000 |  | 45.0 | 9.8",
                  "engine temperature compensation cell 30 °C | 30 |  | 100.0 | 50.0",
                  "air temperature compensation cell 0 °C | 0 |  | 50.0 | 100.0",
                  "EFI interpolation |  |  | on | off",
                  "AIR temp comp. |  |  | off | on",
                  "Cut off |  |  | 6000 | 6250",
                  "option byte 2, bits without a switch |  |  | 4 | 0",
              }));
    EXPECT_EQ(shown(kRawData), (std::vector<std::string>{
                                   "fuel map cell 5000 rpm / 120 | 5000 | 120 | 25 | 26",
                                   "ignition map cell 2000 rpm | 2000 |  | 128 | 28",
                                   "engine temperature compensation cell 30 °C | 30 |  | 128 | 64",
                                   "air temperature compensation cell 0 °C | 0 |  | 64 | 128",
                                   "EFI interpolation |  |  | 1 | 0",
                                   "AIR temp comp. |  |  | 0 | 1",
                                   "Cut off |  |  | 6144 | 6400",
                                   "option byte 2, bits without a switch |  |  | 4 | 0",
                               }));

    // Taking the ECU's value of one switch keeps the byte's other bits.
    const DifferenceReport report = BuildDifferenceReport(result, window, kRawData, texts);
    const int rows[] = {5, 0, 99};
    EXPECT_EQ(TakeOtherValues(report, rows), (std::vector<ByteWrite>{{94, 26}, {207, 0x81}}));
}

TEST(DifferenceReport, OtherDimensionsGiveOneRowForTheWholeConfiguration) {
    const LanguageTexts texts = test::EnglishTexts();
    Configuration window, same, file;
    for (Configuration* c : {&window, &same}) {
        c->SizeImage();
        SetLimits(*c);
    }
    file.MapCols = 16;
    file.SizeImage();
    const DifferenceReport report = CompareConfigurations(window, file, kFormattedData, texts);
    EXPECT_TRUE(report.dimensionsDiffer);
    ASSERT_EQ(report.Count(), 1);
    EXPECT_EQ(report.rows[0].name, "whole configuration");
    EXPECT_EQ(report.rows[0].windowText, "format=15x11 size=214");
    EXPECT_EQ(report.rows[0].otherText, "format=16x11 size=226");
    EXPECT_TRUE(TakeOtherValues(report, std::vector<int>{0}).empty());

    // Compared with itself, a configuration has no differences.
    EXPECT_EQ(CompareConfigurations(window, same, kRawData, texts).Count(), 0);
}

} // namespace
} // namespace kavrin
