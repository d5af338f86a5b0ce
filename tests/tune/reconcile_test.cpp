// SPDX-License-Identifier: GPL-3.0-or-later
// A good dump against the window's configuration: taken silently only when
// nothing of the user's or the ECU's would be lost; otherwise the bytes in
// question wait for the user's choice, and each choice leaves the image, the
// user's own bytes and the writes as it must.
#include "support/fake_clock.h"
#include "tune/echo_confirmations.h"
#include "tune/reconcile.h"

#include <gtest/gtest.h>

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

struct Window {
    Configuration config;
    ByteOwnership ownership{config};

    explicit Window(ConfigDimensions dims = ConfigDimensions::Start()) {
        dims.ApplyTo(config);
        ownership.Reset(config);
    }
    void TakeBaseline() {
        Configuration& c = config;
        TakeDump(Reconcile(c, ownership, Dump()), c, ownership);
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
        for (auto [i, v] : c.offline) {
            w.config.ConfigImage.Set(i, v);
            w.ownership.OfflineWrite(i, static_cast<std::uint8_t>(v));
        }
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
    ASSERT_EQ(r.differences.size(), 1u);
    EXPECT_EQ(r.differences[0], (ByteDifference{9, 200, 150, true, false}));
}

TEST(Reconcile, AFileOfOtherDimensionsIsAWholeConfigurationDifference) {
    Window w;
    w.TakeBaseline();
    // A file of 16 x 11 loaded offline: the image is laid out anew, every
    // loaded byte is the user's.
    ConfigDimensions wide = ConfigDimensions::Start();
    wide.MapCols = 16;
    wide.ApplyTo(w.config);
    w.ownership.Reset(w.config);
    for (int i = 0; i < 100; ++i) {
        w.config.ConfigImage.Set(i, 1);
        w.ownership.OfflineWrite(i, 1);
    }
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
    auto opened = [] {
        Window w;
        w.TakeBaseline();
        w.config.ConfigImage.Set(5, 99);
        w.ownership.OfflineWrite(5, 99);
        const ReconcileResult r = Reconcile(w.config, w.ownership, Dump({{7, 1}, {8, 2}}));
        KeepMerged(r, w.config); // the report is open
        return std::pair(std::move(w), r);
    };
    {
        auto [w, r] = opened();
        EXPECT_EQ(w.config.ConfigImage[5], 99);
        EXPECT_EQ(w.config.ConfigImage[7], Dump()[7]) << "the ECU's change waits";
        KeepWindowVersion(r, w.ownership); // closed without a choice
        EXPECT_EQ(w.ownership.MineNotInEcu(w.config.ConfigImage), 3);
        EXPECT_TRUE(Reconcile(w.config, w.ownership, Dump({{7, 1}, {8, 2}})).report)
            << "the difference stays marked";
    }
    {
        auto [w, r] = opened();
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

} // namespace
} // namespace kavrin
