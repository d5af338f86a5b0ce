// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mixture_panel.h"

#include "app/analysis_texts.h"
#include "base/modulo.h"
#include "base/text_entries.h"
#include "config/config_view.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kavrin {

namespace {
QString S(const std::string& s) {
    return QString::fromStdString(s);
}

QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                  static_cast<int>((c >> 16) & 0xff));
}

// Richer cells redder, leaner ones bluer, the deeper the larger the change.
QColor ChangeTint(double changePercent, double limitPercent) {
    const double depth =
        std::clamp(std::abs(changePercent) / std::max(limitPercent, 1.0), 0.0, 1.0);
    const int fade = static_cast<int>(255 - 150 * depth);
    return changePercent >= 0 ? QColor(255, fade, fade) : QColor(fade, fade, 255);
}

// A number as the user types it, with either decimal separator, never the locale's.
std::optional<double> ReadTyped(QString text) {
    const std::string s = text.trimmed().replace(',', '.').toStdString();
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

void MapHeaders(QTableWidget* table, const FuelMapModel& map) {
    table->setColumnCount(map.Cols());
    table->setRowCount(map.Rows());
    QStringList cols, rows;
    for (int c = 1; c <= map.Cols(); ++c)
        cols << QString::number(FuelMapModel::ColumnRpm(c), 'f', 0);
    for (int r = 1; r <= map.Rows(); ++r) rows << QString::number(map.RowPercent(r), 'f', 0) + '%';
    table->setHorizontalHeaderLabels(cols);
    table->setVerticalHeaderLabels(rows);
    table->horizontalHeader()->setDefaultSectionSize(46);
    table->verticalHeader()->setDefaultSectionSize(34);
}
} // namespace

MixturePanel::MixturePanel(frmKAVRIN& frm, FileDialogs* dialogs, QWidget* parent)
    : QWidget(parent), frm_(frm), dialogs_(dialogs) {
    setObjectName(QStringLiteral("mixturePanel"));
    const LanguageTexts& t = frm.texts();
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    layout->addLayout(left);
    auto* targetsTitle = new QLabel(S(t.Text(text::kTargetAfr)), this);
    left->addWidget(targetsTitle);
    targetsView_ = new QTableWidget(this);
    targetsView_->setObjectName(QStringLiteral("targets"));
    targetsView_->setAccessibleName(S(t.Text(text::kTargetAfr)));
    left->addWidget(targetsView_, 1);
    auto* saveTargets = new QPushButton(S(t.Text(text::kSaveTargets)), this);
    saveTargets->setObjectName(QStringLiteral("saveTargets"));
    left->addWidget(saveTargets);
    connect(saveTargets, &QPushButton::clicked, this, [this] { SaveTargetsToFile(); });
    connect(targetsView_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (showing_) return;
        const auto v = ReadTyped(item->text());
        if (v) targets_.Set(item->row() + 1, item->column() + 1, *v);
        ShowTargets();
        SaveTargets();
    });

    auto* form = new QFormLayout;
    left->addLayout(form);
    const MixtureSettings defaults;
    struct Field {
        int entry;
        double value, low, high;
        int decimals;
    };
    const Field fields[6] = {{text::kWarmFrom, defaults.warmTempC, -40, 150, 0},
                             {text::kThrottleRateBelow, defaults.maxThrottleRate, 0.1, 100, 1},
                             {text::kRpmRateBelow, defaults.maxRpmRate, 10, 5000, 0},
                             {text::kTransportDelay, double(defaults.delayMs), 0, 2000, 0},
                             {text::kSamplesPerCell, defaults.minSamples, 1, 100000, 0},
                             {text::kLargestChange, defaults.maxChangePercent, 1, 50, 0}};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QStringLiteral("mixtureSetting%1").arg(i));
        box->setRange(fields[i].low, fields[i].high);
        box->setDecimals(fields[i].decimals);
        box->setValue(fields[i].value);
        box->setAccessibleName(S(t.Text(fields[i].entry)));
        form->addRow(S(t.Text(fields[i].entry)), box);
        settings_[i] = box;
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { SettingsChanged(); });
    }
    auto* removedBox = new QGroupBox(S(t.Format(text::kSamplesRemoved, {""})), this);
    auto* removedForm = new QFormLayout(removedBox);
    for (int f = 0; f < kMixtureFilterCount; ++f) {
        removed_[f] = new QLabel(QStringLiteral("0"), removedBox);
        removed_[f]->setObjectName(QStringLiteral("removed%1").arg(f));
        const QString name = S(t.Text(MixtureFilterEntry(static_cast<MixtureFilter>(f))));
        removed_[f]->setAccessibleName(name);
        removedForm->addRow(name, removed_[f]);
    }
    left->addWidget(removedBox);

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 1);
    right->addWidget(new QLabel(S(t.Text(text::kProposedFuelMap)), this));
    proposal_ = new QTableWidget(this);
    proposal_->setObjectName(QStringLiteral("proposal"));
    proposal_->setAccessibleName(S(t.Text(text::kProposedFuelMap)));
    proposal_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    proposal_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    right->addWidget(proposal_, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("mixtureSummary"));
    summary_->setWordWrap(true);
    right->addWidget(summary_);
    auto* buttons = new QHBoxLayout;
    right->addLayout(buttons);
    auto* analyse = new QPushButton(S(t.Text(text::kAnalyse)), this);
    analyse->setObjectName(QStringLiteral("analyse"));
    apply_ = new QPushButton(S(t.Text(text::kApplySelected)), this);
    apply_->setObjectName(QStringLiteral("applySelected"));
    buttons->addWidget(analyse);
    buttons->addWidget(apply_);
    connect(analyse, &QPushButton::clicked, this, [this] { Analyse(); });
    connect(apply_, &QPushButton::clicked, this, [this] { ApplySelected(); });
}

MixturePanel::~MixturePanel() {
    if (live_) frm_.SetEngineSpeedSampleListener({});
}

void MixturePanel::SetLog(const DatalogData* log, const Configuration& config) {
    log_ = log;
    logConfig_ = config;
    live_ = false;
    map_ = FuelMapModel::FromConfiguration(config);
    LoadTargets(map_);
    Analyse();
}

void MixturePanel::StartLive() {
    live_ = true;
    map_ = FuelMapModel::FromConfiguration(frm_.config());
    LoadTargets(map_);
    accumulator_ = std::make_unique<MixtureAccumulator>(map_, Settings());
    frm_.SetEngineSpeedSampleListener([this](const LogSample& s) { accumulator_->Add(s); });
    // The proposal follows the samples at a pace the eye can read.
    auto* refresh = new QTimer(this);
    refresh->setObjectName(QStringLiteral("mixtureRefresh"));
    connect(refresh, &QTimer::timeout, this, [this] { Analyse(); });
    refresh->start(1000);
    Analyse();
}

MixtureSettings MixturePanel::Settings() const {
    MixtureSettings s;
    s.warmTempC = settings_[0]->value();
    s.maxThrottleRate = settings_[1]->value();
    s.maxRpmRate = settings_[2]->value();
    s.delayMs = static_cast<int>(settings_[3]->value());
    s.minSamples = settings_[4]->value();
    s.maxChangePercent = settings_[5]->value();
    return s;
}

void MixturePanel::SettingsChanged() {
    // Live samples were filtered with the old settings: they start again.
    if (live_ && accumulator_)
        accumulator_ = std::make_unique<MixtureAccumulator>(map_, Settings());
}

void MixturePanel::LoadTargets(const FuelMapModel& map) {
    targets_ = TargetAfrTable::Default(map);
    const std::string stored = frm_.settings().GetSetting(kAppName, "analysis", kTargetsKey, "");
    if (!stored.empty()) {
        const TargetTextResult read = ReadTargetAfrText(stored);
        if (read.ok && read.table.Fits(map))
            targets_ = read.table;
        else if (!read.ok)
            summary_->setText(S(TargetTextRefusal(frm_.texts(), read)));
    }
    MapHeaders(targetsView_, map);
    ShowTargets();
}

void MixturePanel::SaveTargets() {
    // Kept on one line: the reader takes any blanks between the values.
    std::string text = targets_.ToText();
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::erase(text, '\r');
    frm_.settings().SaveSetting(kAppName, "analysis", kTargetsKey, text);
}

void MixturePanel::SaveTargetsToFile() {
    if (!dialogs_) return;
    // The panel may be closed while the dialog is open.
    dialogs_->ChooseSaveFile(frm_.texts().Text(text::kSaveTargets), "afr-targets.txt",
                             [self = QPointer<MixturePanel>(this)](const auto& path) {
                                 if (self && path && !path->empty()) self->WriteTargets(*path);
                             });
}

void MixturePanel::WriteTargets(const std::string& path) {
    if (!frm_.fileSystem().WriteFile(path, targets_.ToText()))
        summary_->setText(
            S(path + "\n" +
              frm_.texts().Format(text::kCannotBeWritten,
                                  {frm_.texts().Explain(frm_.fileSystem().LastError())})));
}

void MixturePanel::ShowTargets() {
    showing_ = true;
    for (int r = 1; r <= targets_.Rows(); ++r)
        for (int c = 1; c <= targets_.Cols(); ++c) {
            auto* item = new QTableWidgetItem(QString::number(targets_.At(r, c), 'f', 1));
            targetsView_->setItem(r - 1, c - 1, item);
        }
    showing_ = false;
}

void MixturePanel::Analyse() {
    if (live_ && accumulator_)
        result_ = accumulator_->Propose(frm_.config(), targets_);
    else if (log_)
        result_ = AnalyseLog(*log_, logConfig_, targets_, Settings());
    else
        return;
    ShowResult();
}

void MixturePanel::ShowResult() {
    const LanguageTexts& t = frm_.texts();
    for (int f = 0; f < kMixtureFilterCount; ++f)
        removed_[f]->setText(QString::number(result_.removed[f]));
    if (result_.problem != MixtureProblem::None)
        summary_->setText(S(MixtureProblemText(t, result_.problem)));
    else
        summary_->setText(
            S(t.Format(text::kSamplesUsed, {DecimalText(result_.used), DecimalText(result_.samples),
                                            DecimalText(result_.Proposals())})));
    if (result_.cells.empty()) {
        proposal_->clearContents();
        return;
    }
    // Keeps the user's choice across a live refresh.
    std::vector<std::pair<int, int>> chosen;
    for (const QTableWidgetItem* item : proposal_->selectedItems())
        chosen.emplace_back(item->row(), item->column());
    MapHeaders(proposal_, map_);
    Configuration config = Config();
    config.UpdateFuelScale();
    const double scale = config.FuelScale;
    for (int r = 1; r <= result_.rows; ++r)
        for (int c = 1; c <= result_.cols; ++c) {
            const CellMixture& cell = result_.Cell(r, c);
            const double ms = cell.proposedByte * scale;
            auto* item = new QTableWidgetItem(
                QStringLiteral("%1\n%2").arg(ms, 0, 'f', 2).arg(std::lround(cell.samples)));
            item->setTextAlignment(Qt::AlignCenter);
            item->setForeground(ToQColor(FuelCellColour(cell.proposedByte)));
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (cell.proposed && cell.proposedByte != cell.currentByte) {
                item->setBackground(ChangeTint(cell.changePercent, Settings().maxChangePercent));
                flags |= Qt::ItemIsSelectable;
            }
            item->setFlags(flags);
            item->setData(Qt::AccessibleTextRole, QStringLiteral("%1 ms, %2, %3 %")
                                                      .arg(ms, 0, 'f', 2)
                                                      .arg(std::lround(cell.samples))
                                                      .arg(cell.changePercent, 0, 'f', 1));
            proposal_->setItem(r - 1, c - 1, item);
        }
    for (const auto& [r, c] : chosen)
        if (QTableWidgetItem* item = proposal_->item(r, c);
            item && (item->flags() & Qt::ItemIsSelectable))
            item->setSelected(true);
}

void MixturePanel::ApplySelected() {
    if (result_.cells.empty()) return;
    // A log's cells are only the window's cells while both maps have one shape.
    if (frm_.config().MapCols != result_.cols || frm_.config().MapRows != result_.rows) {
        summary_->setText(S(MixtureProblemText(frm_.texts(), MixtureProblem::MapDoesNotFit)));
        return;
    }
    std::vector<std::pair<int, int>> cells;
    std::vector<int> indexes;
    for (const QTableWidgetItem* item : proposal_->selectedItems()) {
        const int index = item->row() * result_.cols + item->column();
        const CellMixture& cell = result_.cells[static_cast<std::size_t>(index)];
        if (!cell.proposed || cell.proposedByte == cell.currentByte) continue;
        cells.emplace_back(index, cell.proposedByte);
        indexes.push_back(index);
    }
    if (cells.empty()) return;
    std::sort(cells.begin(), cells.end());
    std::sort(indexes.begin(), indexes.end());
    frm_.ApplyFuelCells(cells, frm_.texts().Text(text::kApplySelected));
    // Their samples describe the old values.
    if (live_ && accumulator_) accumulator_->ClearCells(indexes);
    proposal_->clearSelection();
    if (!live_) {
        // The log describes the map it was driven on: analysing it again
        // against the new bytes would correct twice. The applied cells show
        // as done instead.
        for (const int index : indexes) {
            CellMixture& cell = result_.cells[static_cast<std::size_t>(index)];
            cell.currentByte = cell.proposedByte;
            cell.changePercent = 0;
        }
        ShowResult();
        return;
    }
    Analyse();
}

} // namespace kavrin
