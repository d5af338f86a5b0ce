#pragma once
// Every control of the main window as a fake, bound into a MainView.
#include "app/main_view.h"
#include "fake_controls.h"
#include "fake_edit_box.h"
#include "fake_grid_control.h"
#include "fake_owner_window.h"
#include "fake_window_extras.h"
#include "live/channels.h"

namespace kavrin::test {

class FakeConnectionPanel final : public ConnectionPanel {
public:
    void SetText(const std::string& t) override { text = t; }
    std::string Text() const override { return text; }
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    void SetConnectedPicture(bool c) override { connected = c; }
    std::string text;
    bool connected = false;
};

class CountingChart final : public LiveChart {
public:
    void PlotPoint(std::int16_t, float, Colour, bool) override { ++points; }
    void Advance() override { ++advances; }
    int points = 0;
    int advances = 0;
};

struct FakeMainView {
    FakeMainView() {
        view.window = &owner;
        view.messages = &messages;
        view.dialogs = &dialogs;
        view.mnLanguage = &menu;
        for (int k = 0; k < 5; ++k) view.counterPanels[k] = &panels[k];
        view.connection = &connection;
        view.mnMode = {&raw, &formatted};
        view.mncom = {&com1, &com3};
        view.grids = {&grd_fuel, &grd_ign, &grd3, &grd4};
        view.txtgrd_fuel = &txtgrd_fuel;
        view.txtgrd_ign = &txtgrd_ign;
        view.txtgrd3 = &txtgrd3;
        view.txtGrd4 = &txtGrd4;
        view.maps.lblFuelMap = &lblFuelMap;
        view.maps.lblIgnitionMap = &lblIgnitionMap;
        view.maps.lblEngComp = &lblEngComp;
        view.maps.lblAirComp = &lblAirComp;
        ParameterControls& p = view.parameters;
        Control** params[] = {&p.txtCompensation, &p.txtMainAngle, &p.txtEFI_angle, &p.txtPump,
                              &p.txtTHRmin,       &p.txtTHRmax,    &p.txtCorte,     &p.txtFactor,
                              &p.txtOffset,       &p.txtPriming,   &p.txtDwell};
        for (int i = 0; i < 11; ++i) *params[i] = &fields[i];
        for (int i = 0; i < 8; ++i) p.options[i] = &options[i];
        for (int i = 0; i < 2; ++i) p.options2[i] = &options[8 + i];
        ChannelControls& c = view.channels;
        for (int n = 0; n < 16; ++n) {
            c.chk[n] = &chk[n];
            c.lblvalor[n] = &lblvalor[n];
            c.lblUnit[n] = &lblUnit[n];
            c.txtEscala[n] = &txtEscala[n];
        }
        c.lblCranking = &indicators[0];
        c.lblPulse = &indicators[1];
    }

    FakeOwnerWindow owner;
    FakeMessageBoxes messages;
    FakeFileDialogs dialogs;
    FakeLanguageMenu menu;
    FakeControl panels[5];
    FakeConnectionPanel connection;
    FakeControl raw, formatted;
    FakeControl com1{"COM1"}, com3{"COM3"};
    FakeGridControl grd_fuel{"grd_fuel", 2, 2}, grd_ign{"grd_ign", 2, 2}, grd3{"grd3", 2, 2},
        grd4{"grd4", 2, 2};
    FakeEditBox txtgrd_fuel, txtgrd_ign, txtgrd3, txtGrd4;
    FakeControl lblFuelMap, lblIgnitionMap, lblEngComp, lblAirComp;
    FakeControl fields[11]; // compensation .. dwell, in image order
    FakeControl options[10];
    FakeControl chk[16], lblvalor[16], lblUnit[16], txtEscala[16], indicators[2];
    CountingChart chart;
    MainView view;
};

} // namespace kavrin::test
