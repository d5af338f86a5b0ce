// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tune_control.h"

#include "base/modulo.h"
#include "base/text_entries.h"
#include "config/config_view.h"
#include "tune/config_items.h"
#include "tune/tune_texts.h"

#include <cstdio>

namespace kavrin {

namespace tt = tune_texts;

using namespace tune_window_texts;

void StepMessageBoxes::AskYesNo(const std::string& text, const std::string& title,
                                std::function<void(bool yes)> answered) {
    if (!tune_ || !tune_->InStep()) {
        boxes_.AskYesNo(text, title, std::move(answered));
        return;
    }
    // The step the question was asked in stays open until the answer.
    TuneControl* tune = tune_;
    tune->BeginStep();
    boxes_.AskYesNo(text, title, [tune, answered = std::move(answered)](bool yes) {
        if (answered) answered(yes);
        tune->EndStep();
    });
}

TuneControl::TuneControl(TuneView view, Configuration& config, const LinkState& link,
                         const WindowState& state, const LanguageTexts& texts,
                         MonotonicClock& clock, FileSystem& files, CalendarClock& calendar,
                         ConfigFiles& configFiles, Hooks hooks)
    : view_(view), config_(config), link_(link), state_(state), texts_(texts),
      configFiles_(configFiles), hooks_(std::move(hooks)), ownership_(config),
      history_([this] { return ownership_.WindowSnapshot(config_); }), confirmations_(clock),
      backups_(files, calendar) {}

void TuneControl::Written(int index, std::uint8_t value, bool online) {
    if (online)
        ownership_.OnlineWriteSent(index, value);
    else
        ownership_.OfflineWrite(index, value);
    UpdatePanel();
}

void TuneControl::WentOffline() {
    ownership_.LinkWentOffline(config_.ConfigImage);
    UpdatePanel();
}

void TuneControl::Resized() {
    ownership_.Reset(config_);
    UpdatePanel();
}

void TuneControl::ConfigEchoed(std::int16_t index, std::int16_t value) {
    ownership_.EchoReceived(index, static_cast<std::uint8_t>(value));
    confirmations_.EchoReceived(index, static_cast<std::uint8_t>(value));
    UpdatePanel();
}

void TuneControl::Tick() {
    const auto outcome = confirmations_.TakeOutcome();
    if (!outcome) return;
    const std::string text = texts_.Text(tt::kConfirmed) + " " + DecimalText(outcome->confirmed) +
                             " " + texts_.Text(tt::kOf) + " " + DecimalText(outcome->sent);
    Note(text);
    if (view_.report && view_.report->IsOpen()) view_.report->SetOutcome(text);
}

void TuneControl::DumpReceived(const std::vector<std::uint8_t>& bytes) {
    ReconcileResult result = Reconcile(config_, ownership_, bytes);
    if (result.ecuDimensions) {
        backups_.KeepDump(MakeConfiguration(*result.ecuDimensions, bytes), hooks_.portName());
        CheckBackupFolder();
    }
    if (!result.report) {
        TakeDump(result, config_, ownership_);
        pending_.reset();
        if (mode_ == Mode::Reconcile && view_.report) view_.report->Close();
        if (mode_ == Mode::Reconcile) mode_ = Mode::None;
        // The headers follow THR MIN and THR MAX, the layout the dump's.
        hooks_.showConfig();
        hooks_.layoutMaps();
        UpdatePanel();
        return;
    }
    // The bytes not in question are the ECU's; the rest wait for the user.
    KeepMerged(result, config_);
    pending_ = std::move(result);
    hooks_.showConfig();
    hooks_.layoutMaps();
    ShowReport(BuildDifferenceReport(*pending_, config_, state_.DataFormat, texts_),
               Mode::Reconcile);
    UpdatePanel();
}

void TuneControl::ShowReport(const DifferenceReport& report, Mode mode) {
    mode_ = mode;
    shown_ = report;
    if (!view_.report) return;
    ReportContent c;
    c.title = texts_.Text(mode == Mode::Compare ? tt::kCompareTitle : tt::kReportTitle);
    c.intro = report.dimensionsDiffer ? texts_.Text(tt::kDimensionsDiffer)
              : mode == Mode::Compare
                  ? (report.rows.empty() ? texts_.Text(kNothingDiffers)
                                         : texts_.Format(kCompareIntro, {configFiles_.caption()}))
                  : texts_.Text(tt::kReportIntro);
    c.tableName = texts_.Text(kRowsTable);
    c.count = texts_.Text(tt::kCount) + " " + DecimalText(report.Count());
    c.headers = {texts_.Text(tt::kColumnItem), texts_.Text(tt::kColumnColumn),
                 texts_.Text(tt::kColumnRow), texts_.Text(tt::kColumnWindow),
                 texts_.Text(mode == Mode::Compare ? kFileColumn : tt::kColumnEcu)};
    for (const ReportRow& r : report.rows)
        c.rows.push_back({r.item, r.column, r.row, r.windowText, r.otherText});
    if (mode == Mode::Compare) {
        c.choices = {"", "", "", texts_.Text(tt::kTakeSelected)};
    } else {
        c.choices = {texts_.Text(tt::kSendMine), texts_.Text(tt::kUseEcus),
                     texts_.Text(tt::kSaveMine), ""};
    }
    view_.report->Show(c);
}

void TuneControl::Choose(ReportChoice choice) {
    switch (choice) {
    case ReportChoice::SendMine: {
        if (mode_ != Mode::Reconcile || !pending_) return;
        const ReconcileResult result = std::move(*pending_);
        pending_.reset();
        mode_ = Mode::None;
        if (view_.report) view_.report->Close();
        PrepareSendMine(result, ownership_);
        {
            Step step(*this, [this] { return texts_.Text(tt::kSendMine); });
            WriteAll(result.sendMine);
        }
        if (link_.flags.online) confirmations_.Start(result.sendMine);
        hooks_.showConfig();
        UpdatePanel();
        return;
    }
    case ReportChoice::UseEcus:
        if (mode_ == Mode::Reconcile && pending_) TakeEcus();
        return;
    case ReportChoice::SaveMine: {
        if (!Dialogs()) return;
        Dialogs()->ChooseSaveFile(texts_.Text(76), configFiles_.caption(),
                                  [this](const auto& path) {
                                      if (path && !path->empty()) configFiles_.WriteEfiFile(*path);
                                  });
        return;
    }
    case ReportChoice::TakeSelected: {
        if (mode_ != Mode::Compare || !view_.report) return;
        const std::vector<int> rows = view_.report->SelectedRows();
        const std::vector<ByteWrite> writes = TakeOtherValues(shown_, rows);
        mode_ = Mode::None;
        view_.report->Close();
        {
            Step step(*this, [this] { return texts_.Text(tt::kTakeSelected); });
            WriteAll(writes);
        }
        hooks_.showConfig();
        return;
    }
    }
}

void TuneControl::TakeEcus() {
    ReconcileResult result = std::move(*pending_);
    pending_.reset();
    mode_ = Mode::None;
    if (view_.report) view_.report->Close();
    const auto saved = backups_.KeepWindowVersion(config_, hooks_.portName());
    CheckBackupFolder();
    {
        Step step(*this, [this] { return texts_.Text(tt::kUseEcus); });
        TakeDump(result, config_, ownership_);
    }
    hooks_.showConfig();
    hooks_.layoutMaps();
    if (saved) Note(texts_.Text(tt::kWindowVersionSaved) + " " + *saved);
    UpdatePanel();
}

void TuneControl::ReportClosed() {
    if (mode_ == Mode::Reconcile && pending_) {
        KeepWindowVersion(*pending_, ownership_);
        pending_.reset();
        Note(texts_.Text(kReportClosedKept));
    }
    mode_ = Mode::None;
    UpdatePanel();
}

void TuneControl::BeginStep(std::function<std::string()> name) {
    if (depth_++ > 0) return;
    stepName_ = std::move(name);
    stepBefore_ = ownership_.WindowSnapshot(config_);
    history_.BeginStep({});
}

void TuneControl::EndStep() {
    if (depth_ == 0 || --depth_ > 0) return;
    const ConfigSnapshot after = ownership_.WindowSnapshot(config_);
    const bool unchanged = after.dims == stepBefore_.dims && after.bytes == stepBefore_.bytes;
    if (!unchanged) {
        history_.SetStepName(stepName_ ? stepName_() : StepName(stepBefore_, after));
        // A change made offline without a write (the fuel map rescale) is the
        // user's all the same.
        if (!link_.flags.online && after.dims == stepBefore_.dims)
            for (std::size_t i = 0; i < after.bytes.size(); ++i)
                if (after.bytes[i] != stepBefore_.bytes[i] &&
                    !ownership_.IsMine(static_cast<int>(i)))
                    ownership_.OfflineWrite(static_cast<int>(i), after.bytes[i]);
        if (!applying_) unsaved_ = true;
    }
    history_.EndStep();
    UpdatePanel();
    if (view_.historyChanged) view_.historyChanged();
}

std::string TuneControl::StepName(const ConfigSnapshot& before, const ConfigSnapshot& after) const {
    const ItemNames names(config_, state_.DataFormat, texts_);
    std::vector<int> changed;
    if (before.bytes.size() == after.bytes.size())
        for (std::size_t i = 0; i < after.bytes.size(); ++i)
            if (after.bytes[i] != before.bytes[i]) changed.push_back(static_cast<int>(i));
    if (changed.size() == 1)
        return names.ChangeName(changed[0], before.bytes[changed[0]], after.bytes[changed[0]]);
    if (changed.empty()) return names.Text(tt::kWholeConfiguration);
    const ItemKind kind = ItemAt(config_, changed[0]).kind;
    if (kind == ItemKind::FuelCell && ItemAt(config_, changed.back()).kind != ItemKind::FuelCell)
        return names.FactorRescaleName();
    return names.BlockFillName(kind, static_cast<int>(changed.size()));
}

std::string TuneControl::UndoText() const {
    const std::string name = history_.UndoName();
    return name.empty() ? texts_.Text(tt::kUndo) : texts_.Text(tt::kUndo) + " " + name;
}

std::string TuneControl::RedoText() const {
    const std::string name = history_.RedoName();
    return name.empty() ? texts_.Text(tt::kRedo) : texts_.Text(tt::kRedo) + " " + name;
}

void TuneControl::mnUndo_Click() {
    if (InStep() || !history_.CanUndo()) return;
    Apply(history_.Undo());
}

void TuneControl::mnRedo_Click() {
    if (InStep() || !history_.CanRedo()) return;
    Apply(history_.Redo());
}

void TuneControl::Apply(const HistoryAction& action) {
    applying_ = true;
    if (action.layOut) {
        action.layOut->ApplyTo(config_);
        hooks_.sizeConfig();
    }
    WriteAll(action.writes);
    applying_ = false;
    unsaved_ = true;
    hooks_.showConfig();
    if (!link_.flags.online) Note(texts_.Text(tt::kOfflineStep));
    UpdatePanel();
    if (view_.historyChanged) view_.historyChanged();
}

void TuneControl::WriteAll(const std::vector<ByteWrite>& writes) {
    for (const ByteWrite& w : writes) WriteByte(w.index, w.value);
}

void TuneControl::WriteByte(std::int16_t index, std::uint8_t value) {
    if (index < 0 || index >= config_.ImageLast) return;
    std::int16_t i = index;
    std::int16_t v = value;
    hooks_.write(i, v);
    // An "M" echo does not refresh the pulses and colours: they follow here,
    // as they do for a typed cell.
    if (index < config_.FuelCells && config_.MapCols > 0 &&
        index < static_cast<int>(config_.FuelPulseTable.size())) {
        std::int16_t raw = value;
        config_.FuelPulseTable[index] = FuelRawToMs(config_, raw);
        if (hooks_.fuelColour)
            hooks_.fuelColour(static_cast<std::int16_t>(index / config_.MapCols + 1),
                              static_cast<std::int16_t>(index % config_.MapCols + 1),
                              FuelCellColour(raw));
    }
}

void TuneControl::mnCompare_Click() {
    if (!Dialogs()) return;
    Dialogs()->ChooseOpenFile(texts_.Text(tt::kCompareTitle), [this](const auto& path) {
        if (path && !path->empty()) CompareWith(*path);
    });
}

void TuneControl::CompareWith(const std::string& path) {
    const auto other = configFiles_.ReadToCompare(path);
    if (!other) return;
    // A report held back for a dump stays the user's to answer first.
    if (mode_ == Mode::Reconcile) return;
    DifferenceReport report = CompareConfigurations(config_, *other, state_.DataFormat, texts_);
    ShowReport(report, Mode::Compare);
}

std::string TuneControl::BackupLabel(const BackupEntry& e) const {
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", e.when.year, e.when.month,
                  e.when.day, e.when.hour, e.when.minute, e.when.second);
    std::string label = std::string(date) + " " + e.port;
    if (e.windowVersion) label += " " + texts_.Text(kMineSuffix);
    return label;
}

void TuneControl::mnRecentOpen_Click(const std::string& path) {
    Step step(*this, [this] {
        return ItemNames(config_, state_.DataFormat, texts_).LoadFileName(configFiles_.caption());
    });
    configFiles_.ReadEfiFile(path);
}

void TuneControl::UpdatePanel() {
    const int n = ownership_.MineNotInEcu(config_.ConfigImage);
    view_.notInEcuPanel->SetText(texts_.Text(tt::kNotInEcu) + " " + DecimalText(n));
    view_.notInEcuPanel->SetVisible(n > 0);
}

void TuneControl::Note(const std::string& text) {
    view_.notePanel->SetText(text);
    view_.notePanel->SetVisible(!text.empty());
}

void TuneControl::CheckBackupFolder() {
    const auto failure = backups_.TakeFailure();
    if (!failure || !view_.messages) return;
    view_.messages->Warning(texts_.Text(tt::kBackupFolderFails) + " " + backups_.Folder() + "\n" +
                            texts_.Explain(*failure));
}

} // namespace kavrin
