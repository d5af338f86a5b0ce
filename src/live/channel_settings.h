// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Per channel, whether it is drawn on the live chart and with which scale:
// restored at start, stored at once when the user changes them.
#include "base/settings_store.h"
#include "live/channels.h"

namespace kavrin {

class ChannelSettings {
public:
    ChannelSettings(const ChannelControls& controls, SettingsStore& settings);

    // Start-up: every check box takes its stored state, every scale box its
    // stored text (its own initial text when none is stored). A state other
    // than 0 or 1 (the grey third state 2, a damaged value) shows as the
    // nearer of the two.
    void Restore();

    // Check box n clicked: its caption as "name_n", then its state as
    // "activate_n".
    void chk_Click(int n);
    // Scale box n left after an edit: "," becomes "." in the box, which is
    // stored as "scale_n" as it stands.
    void txtEscala_Validate(int n);

private:
    ChannelControls controls_;
    SettingsStore& settings_;
};

} // namespace kavrin
