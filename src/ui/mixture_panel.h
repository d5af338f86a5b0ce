// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Analyse mixture": the target AFR table, the filters with what each removed,
// and the proposed fuel map, whose chosen cells "Apply selected" writes. It
// analyses a whole log, or the live frames of the main window.
#include "analysis/mixture.h"
#include "analysis/target_afr.h"
#include "app/frm_kavrin.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kavrin {

class MixturePanel final : public QWidget {
    Q_OBJECT
public:
    MixturePanel(frmKAVRIN& frm, FileDialogs* dialogs, QWidget* parent = nullptr);
    ~MixturePanel() override;

    // A log, read against the configuration saved beside it (or the window's).
    void SetLog(const DatalogData* log, const Configuration& config);
    // Samples from the main window's live frames, against its configuration.
    void StartLive();

    void Analyse();
    // Writes the chosen proposed cells through the window as one step.
    void ApplySelected();
    const MixtureResult& result() const { return result_; }
    QTableWidget* proposal() const { return proposal_; }
    QTableWidget* targets() const { return targetsView_; }

    static constexpr const char* kTargetsKey = "afr_targets";

private:
    void LoadTargets(const FuelMapModel& map);
    void SaveTargets();
    void SaveTargetsToFile();
    void WriteTargets(const std::string& path);
    void ShowTargets();
    void ShowResult();
    MixtureSettings Settings() const;
    void SettingsChanged();
    const Configuration& Config() const { return live_ ? frm_.config() : logConfig_; }

    frmKAVRIN& frm_;
    FileDialogs* dialogs_;
    const DatalogData* log_ = nullptr;
    Configuration logConfig_;
    bool live_ = false;
    FuelMapModel map_;
    TargetAfrTable targets_;
    std::unique_ptr<MixtureAccumulator> accumulator_;
    MixtureResult result_;
    bool showing_ = false;

    QTableWidget* targetsView_ = nullptr;
    QTableWidget* proposal_ = nullptr;
    std::array<QDoubleSpinBox*, 6> settings_{};
    std::array<QLabel*, kMixtureFilterCount> removed_{};
    QLabel* summary_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kavrin
