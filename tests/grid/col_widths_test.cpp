// Stored column widths that no window could show are limited on loading.
#include "grid/grid.h"
#include "support/fake_edit_box.h"
#include "support/fake_grid_control.h"
#include "support/fake_owner_window.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

TEST(StoredColumnWidths, DamagedValuesAreLimitedToTheWindowsWidth) {
    const std::pair<const char*, int> cases[] = {
        {"1e12", grid::kMaxColWidth}, {"-500", 0}, {"99999", grid::kMaxColWidth}, {"650", 650}};
    LinkFlags flags;
    MemorySettingsStore settings;
    FakeOwnerWindow owner;
    FakeGridControl control("grd_fuel", 2, 4);
    FakeEditBox box;
    grid editor(flags, settings);
    editor.inicializar(owner, control, box);
    for (int c = 0; c < 4; ++c)
        settings.SaveSetting("RA1", "frmKAVRIN", "grd_fuel_colwidth" + std::to_string(c),
                             cases[c].first);
    editor.CargarColWidths();
    for (int c = 0; c < 4; ++c) EXPECT_EQ(control.ColWidth(c), cases[c].second) << cases[c].first;
}

} // namespace
} // namespace kavrin::test
