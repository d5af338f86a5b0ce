// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up on settings from the input, the link's first ticks and
// the close. The input is a settings file: "[section]"
// and "key=value" lines; section "frmKAVRIN" holds the column widths ("RA1").
#include "app/frm_kavrin.h"
#include "fuzz_harness.h"
#include "serial/port_directory.h"
#include "support/fake_controls.h"
#include "support/memory_file_system.h"

using namespace kavrin;
using namespace kavrin::test;

namespace {

// The window's parts with nothing behind them. A grid of the size it is told,
// holding no texts but its column widths.
struct Grid final : GridControl {
    explicit Grid(std::string n) : name(std::move(n)) {}
    int Rows() const override { return rows; }
    void SetRows(int r) override { rows = std::max(r, 0); }
    int Cols() const override { return cols; }
    void SetCols(int c) override { cols = std::max(c, 0); }
    int FixedRows() const override { return 1; }
    int FixedCols() const override { return 1; }
    int TopRow() const override { return 1; }
    void SetTopRow(int) override {}
    int Row() const override { return row; }
    void SetRow(int r) override { row = r; }
    int Col() const override { return col; }
    void SetCol(int c) override { col = c; }
    int RowSel() const override { return row; }
    void SetRowSel(int) override {}
    int ColSel() const override { return col; }
    void SetColSel(int) override {}
    std::string Text() const override { return {}; }
    void SetText(const std::string&) override {}
    std::string TextMatrix(int, int) const override { return {}; }
    void SetTextMatrix(int, int, const std::string&) override {}
    int ColWidth(int c) const override { return widths.count(c) ? widths.at(c) : 650; }
    void SetColWidth(int c, int twips) override { widths[c] = twips; }
    int RowHeight(int) const override { return 240; }
    int RowPos(int r) const override { return r * 240; }
    int ColPos(int c) const override { return c * 650; }
    Colour CellBackColor() const override { return 0; }
    Colour CellBackColorAt(int, int) const override { return 0; }
    void SetCellBackColor(Colour) override {}
    Colour CellForeColor() const override { return 0; }
    void SetCellForeColor(Colour) override {}
    Colour BackColor() const override { return 0; }
    void SetBackColor(Colour) override {}
    std::string Name() const override { return name; }
    int Left() const override { return 0; }
    int Top() const override { return 0; }
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    void AddListener(GridListener*) override {}
    void RemoveListener(GridListener*) override {}
    std::string name;
    int rows = 2, cols = 2, row = 1, col = 1;
    std::map<int, int> widths;
};

// The window itself, and every other part with nothing behind it: the
// connection panel, language menu, file dialogs, chart and the grids' editing
// boxes.
struct Shell final : OwnerWindow, LanguageMenu, FileDialogs, LiveChart, ConnectionPanel, EditBox {
    std::string Name() const override { return "frmKAVRIN"; }
    bool IsVisible() const override { return true; }
    void SetKeyPreview(bool) override {}
    bool KeyPreview() const override { return true; }
    void SendTab() override {}
    void AddListener(OwnerWindowListener* l) override { listeners.push_back(l); }
    void RemoveListener(OwnerWindowListener* l) override { std::erase(listeners, l); }
    void SetEntries(const std::vector<std::string>&) override {}
    void SetChecked(int, bool) override {}
    void ChooseOpenFile(const std::string&, FileChosen done) override { done(std::nullopt); }
    void ChooseSaveFile(const std::string&, const std::string&, FileChosen done) override {
        done(std::nullopt);
    }
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
    void SetText(const std::string&) override {}
    std::string Text() const override { return {}; }
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    void SetConnectedPicture(bool) override {}
    int SelStart() const override { return 0; }
    void SetSelStart(int) override {}
    int SelLength() const override { return 0; }
    void SetSelLength(int) override {}
    void SetBackColor(Colour) override {}
    bool Visible() const override { return false; }
    void BringToFront() override {}
    bool SetFocus() override { return true; }
    using ConnectionPanel::Move;
    void Move(float, float, float) override {}
    void AddListener(EditBoxListener*) override {}
    void RemoveListener(EditBoxListener*) override {}
    std::vector<OwnerWindowListener*> listeners;
};

// The input's settings into the store, in the sections they name.
void Fill(test::MemorySettingsStore& store, std::string_view text) {
    std::string section = "main";
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (const auto eq = line.find('='); eq != std::string_view::npos) {
            const char* app = section == "frmKAVRIN" ? kColumnWidthsApp : kAppName;
            store.values[{app, section, std::string(line.substr(0, eq))}] = line.substr(eq + 1);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::FakeClock clock;
    test::FakeSerialDevice device;
    device.missing = {""}; // a port number that names no device
    test::MemorySettingsStore settings;
    Fill(settings, {reinterpret_cast<const char*>(data), size});
    SettingsPortDirectory ports(settings, [] {
        return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB1", "/dev/pts/4"};
    });
    test::MemoryFileSystem files;
    static const std::string english = test::NumberedLanguageFile();
    files.files["/prog/English.lan"] = english;
    files.files["/prog/Chinese.lan"] = "1;File,2;Data Format\r\n";

    Shell shell;
    test::FakeMessageBoxes messages;
    Grid grids[4]{Grid("grd_fuel"), Grid("grd_ign"), Grid("grd3"), Grid("grd4")};
    test::FakeControl chk[kMeasuredChannels], scale[kMeasuredChannels];
    MainView view;
    view.window = &shell;
    view.messages = &messages;
    view.connection = &shell;
    view.grids = {&grids[0], &grids[1], &grids[2], &grids[3]};
    view.txtgrd_fuel = view.txtgrd_ign = view.txtgrd3 = view.txtGrd4 = &shell;
    view.dialogs = &shell;
    view.mnLanguage = &shell;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        view.channels.chk[n] = &chk[n];
        view.channels.txtEscala[n] = &scale[n];
    }

    {
        frmKAVRIN frm(view, Platform{device, ports, clock, settings, files, "/prog"}, shell);
        frm.Form_Load();
        fuzz::Check(frm.state().DataFormat == kRawData || frm.state().DataFormat == kFormattedData,
                    "a display mode the window cannot show");
        const std::int16_t port = frm.linkState().currentPort;
        fuzz::Check(port >= 0 && port <= 255, "a port number out of range");
        frm.tmrcom_Timer();
        frm.Timer2_Timer();
        fuzz::CheckWire(device.written, frm.config().ImageLast - 1);
        for (auto* listener : std::vector(shell.listeners)) listener->OnUnload();
        frm.Form_QueryUnload();
    }
    for (const auto& key : settings.saves) {
        const double twips = ReadNumber(settings.values[key]);
        fuzz::Check(std::get<0>(key) != kColumnWidthsApp ||
                        (twips >= 0 && twips <= grid::kMaxColWidth),
                    "a column width stored out of range");
    }
    return 0;
}
