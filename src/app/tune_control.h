// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Never lose a tune, in the window: which bytes are the user's own, the
// reconciliation of each good dump (silent, or through the difference report),
// undo and redo of every user change, the backups of every configuration the
// ECU sends, "Compare with…" and the question before unsaved work is closed.
// The window logic wires it; the report window and the menus are the binding's.
#include "app/config_files.h"
#include "base/clock.h"
#include "base/controls.h"
#include "base/file_dialogs.h"
#include "base/file_system.h"
#include "base/language_texts.h"
#include "base/window_state.h"
#include "config/config_image.h"
#include "link/link_state.h"
#include "tune/backups.h"
#include "tune/byte_ownership.h"
#include "tune/difference_report.h"
#include "tune/echo_confirmations.h"
#include "tune/reconcile.h"
#include "tune/undo_history.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// Texts of the tune room's window beyond the tune core's (tune/tune_texts.h).
namespace tune_window_texts {
inline constexpr int kEdit = 195;             // Edit (the menu, tagged by its caption)
inline constexpr int kSave = 196;             // Save
inline constexpr int kCancel = 197;           // Cancel
inline constexpr int kCompareIntro = 198;     // This window's configuration against the file %1.
inline constexpr int kNothingDiffers = 199;   // The file holds this window's configuration.
inline constexpr int kReportClosedKept = 200; // This window's configuration was kept; ...
inline constexpr int kFileColumn = 201;       // File
inline constexpr int kMineSuffix = 202;       // (this window's)
inline constexpr int kOpenBackup = 203;       // Open
inline constexpr int kCompareBackup = 204;    // Compare
inline constexpr int kRowsTable = 205;        // Differences table (its accessible name)
} // namespace tune_window_texts

// What the report window shows: a table the screen reader reads as one.
struct ReportContent {
    std::string title;
    std::string intro;
    std::string count;
    std::string tableName;
    std::array<std::string, 5> headers; // item, column, row, this window, the other side
    std::vector<std::array<std::string, 5>> rows;
    // Button captions, by ReportChoice; an empty caption has no button.
    std::array<std::string, 4> choices;
};

enum class ReportChoice { SendMine = 0, UseEcus = 1, SaveMine = 2, TakeSelected = 3 };

// The difference report's own window: non-modal, one at a time.
class ReportWindow {
public:
    virtual ~ReportWindow() = default;
    // Opens it, or refreshes it when open.
    virtual void Show(const ReportContent& content) = 0;
    virtual void SetOutcome(const std::string& text) = 0;
    virtual void Close() = 0; // closed by the program: no choice is reported
    virtual bool IsOpen() const = 0;
    virtual std::vector<int> SelectedRows() const = 0;
};

struct TuneView {
    Control* notInEcuPanel = NoControl(); // hidden at 0
    Control* notePanel = NoControl();     // notes that need no box
    ReportWindow* report = nullptr;
    MessageBoxes* messages = nullptr;
    // The window's file dialogs, as they are when asked for.
    FileDialogs* const* dialogs = nullptr;
    std::function<void()> historyChanged;
};

// Message boxes that keep the step a question was asked in open until it is
// answered: the EFI factor and the rescale it offers are one step.
class StepMessageBoxes final : public MessageBoxes {
public:
    explicit StepMessageBoxes(MessageBoxes& boxes) : boxes_(boxes) {}
    void Attach(class TuneControl* tune) { tune_ = tune; }
    void Exclamation(const std::string& text) override { boxes_.Exclamation(text); }
    void Warning(const std::string& text) override { boxes_.Warning(text); }
    void AskYesNo(const std::string& text, const std::string& title,
                  std::function<void(bool yes)> answered) override;

private:
    MessageBoxes& boxes_;
    TuneControl* tune_ = nullptr;
};

class TuneControl {
public:
    struct Hooks {
        std::function<void(std::int16_t index, std::int16_t value)> write; // WriteConfigByte 'M'
        std::function<void(std::int16_t row, std::int16_t col, Colour colour)> fuelColour;
        std::function<void()> sizeConfig; // SizeConfig: the image laid out anew
        std::function<void()> showConfig;
        std::function<void()> layoutMaps;
        std::function<std::string()> portName;
    };

    TuneControl(TuneView view, Configuration& config, const LinkState& link,
                const WindowState& state, const LanguageTexts& texts, MonotonicClock& clock,
                FileSystem& files, CalendarClock& calendar, ConfigFiles& configFiles, Hooks hooks);

    // From the link.
    void Written(int index, std::uint8_t value, bool online);
    void WentOffline();
    void DumpReceived(const std::vector<std::uint8_t>& bytes);
    void ConfigEchoed(std::int16_t index, std::int16_t value);
    void Tick(); // every link tick: the echoes counted for "Send mine"
    // SizeConfig re-created the image.
    void Resized();

    // One user change: the steps begun inside it join it. name: the step's
    // name, worked out when it ends; none names it by what changed.
    void BeginStep(std::function<std::string()> name = {});
    void EndStep();
    class Step {
    public:
        explicit Step(TuneControl& tune, std::function<std::string()> name = {}) : tune_(tune) {
            tune_.BeginStep(std::move(name));
        }
        ~Step() { tune_.EndStep(); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        TuneControl& tune_;
    };
    bool InStep() const { return depth_ > 0; }

    // Edit menu.
    std::string UndoText() const;
    std::string RedoText() const;
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    void mnUndo_Click();
    void mnRedo_Click();

    // The report's buttons and its closing without a choice.
    void Choose(ReportChoice choice);
    void ReportClosed();

    // File menu.
    void mnCompare_Click();
    void CompareWith(const std::string& path);
    std::vector<BackupEntry> RecentConfigurations() { return backups_.List(); }
    std::string BackupLabel(const BackupEntry& entry) const;
    void mnRecentOpen_Click(const std::string& path);
    // The file was saved: the changes so far are kept.
    void Saved() { unsaved_ = false; }
    // Changes neither saved since they were made nor confirmed by the ECU.
    bool HasUnsavedWork() const { return unsaved_ && ownership_.AnyMine(); }

    const ByteOwnership& ownership() const { return ownership_; }
    const UndoHistory& history() const { return history_; }
    BackupStore& backups() { return backups_; }

private:
    enum class Mode { None, Reconcile, Compare };
    void WriteByte(std::int16_t index, std::uint8_t value);
    void WriteAll(const std::vector<ByteWrite>& writes);
    void Apply(const HistoryAction& action);
    void ShowReport(const DifferenceReport& report, Mode mode);
    void UpdatePanel();
    void Note(const std::string& text);
    void CheckBackupFolder();
    std::string StepName(const ConfigSnapshot& before, const ConfigSnapshot& after) const;
    void TakeEcus();
    FileDialogs* Dialogs() const { return view_.dialogs ? *view_.dialogs : nullptr; }

    TuneView view_;
    Configuration& config_;
    const LinkState& link_;
    const WindowState& state_;
    const LanguageTexts& texts_;
    ConfigFiles& configFiles_;
    Hooks hooks_;
    ByteOwnership ownership_;
    UndoHistory history_;
    EchoConfirmations confirmations_;
    BackupStore backups_;

    Mode mode_ = Mode::None;
    std::optional<ReconcileResult> pending_; // the dump held back for the report
    DifferenceReport shown_;
    int depth_ = 0;
    std::function<std::string()> stepName_;
    ConfigSnapshot stepBefore_;
    bool applying_ = false; // undo, redo or a report choice writes
    bool unsaved_ = false;
};

} // namespace kavrin
