// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/log_window.h"

#include "app/analysis_texts.h"
#include "base/modulo.h"
#include "config/config_view.h"
#include "live/live_cell_tracker.h"
#include "ui/mixture_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kavrin {

namespace {
QString S(const std::string& s) {
    return QString::fromStdString(s);
}
QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
constexpr int kIndicatorRows = kStatusIndicators;
} // namespace

// ---- TraceView

TraceView::TraceView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("traces"));
    setMinimumSize(400, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    shown_.fill(true);
    for (int n = 0; n < kMeasuredChannels; ++n) colours_[n] = ToQColor(ChannelTable()[n].colour);
}

void TraceView::SetLog(const DatalogData* log, const TraceSummary* summary) {
    log_ = log;
    summary_ = summary;
    // Each trace spans the height between its own extremes over the whole log.
    for (int n = 0; n < kMeasuredChannels; ++n) {
        TraceColumn all;
        summary_->Summarise(n, 0, double(log_->DurationMs()) + 1, std::span(&all, 1));
        low_[n] = all.min;
        high_[n] = all.max > all.min ? all.max : all.min + 1;
    }
    cursorMs_ = 0;
    cacheSpanMs_ = 0;
    SetRange(0, double(log_->DurationMs()));
}

void TraceView::SetShown(int channel, bool shown) {
    shown_[channel] = shown;
    update();
}

void TraceView::SetRange(double fromMs, double toMs) {
    const double end = log_ ? std::max<double>(log_->DurationMs(), kMinSpanMs) : 1000.0;
    double span = std::clamp(toMs - fromMs, kMinSpanMs, end);
    fromMs_ = std::clamp(fromMs, 0.0, end - span);
    toMs_ = fromMs_ + span;
    update();
}

double TraceView::TimeAtX(double x) const {
    return fromMs_ + (toMs_ - fromMs_) * x / std::max(1, width());
}

void TraceView::ZoomAt(double x, double factor) {
    const double at = TimeAtX(x);
    const double span = (toMs_ - fromMs_) * factor;
    const double share = x / std::max(1, width());
    SetRange(at - span * share, at - span * share + span);
}

void TraceView::PanPixels(double dx) {
    const double ms = std::round(dx) * (toMs_ - fromMs_) / std::max(1, width());
    SetRange(fromMs_ - ms, toMs_ - ms);
}

void TraceView::SetCursorMs(double ms) {
    cursorMs_ = std::clamp(ms, 0.0, log_ ? double(log_->DurationMs()) : 0.0);
    update();
    emit cursorMoved(cursorMs_);
}

void TraceView::DrawColumns(QImage& image, int x0, int x1) {
    const int h = image.height() - 2;
    const double msPerPixel = (toMs_ - fromMs_) / std::max(1, image.width());
    const int n = x1 - x0;
    columns_.resize(static_cast<std::size_t>(n));
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    for (int ch = 0; ch < kMeasuredChannels; ++ch) {
        if (!shown_[ch]) continue;
        summary_->Summarise(ch, fromMs_ + x0 * msPerPixel, fromMs_ + x1 * msPerPixel, columns_);
        const double scale = h / double(high_[ch] - low_[ch]);
        auto y = [&](float v) {
            return std::clamp(1 + h - static_cast<int>(std::lround((v - low_[ch]) * scale)), 0,
                              h + 1);
        };
        const QRgb colour = colours_[ch].rgb();
        int lastY = -1;
        for (int i = 0; i < n; ++i) {
            const TraceColumn& c = columns_[static_cast<std::size_t>(i)];
            if (c.rows == 0) continue; // between rows: joined from the last column with one
            int top = y(c.max), bottom = y(c.min);
            const int mid = (top + bottom) / 2;
            // One stroke a column, reaching back to where the last one left off;
            // written straight into the picture, which is many times faster
            // than a painter's lines when every column holds thousands of rows.
            if (lastY >= 0) top = std::min(top, lastY), bottom = std::max(bottom, lastY);
            QRgb* pixel = bits + static_cast<qsizetype>(top) * stride + x0 + i;
            for (int py = top; py <= bottom; ++py, pixel += stride) *pixel = colour;
            lastY = mid;
        }
    }
}

void TraceView::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter painter(this);
    if (!summary_) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const int w = width();
    // Panning by whole pixels at one zoom moves the picture: only the columns
    // that come into view are summarised and drawn.
    const double msPerPixel = (toMs_ - fromMs_) / std::max(1, w);
    const double shift = (fromMs_ - cacheFromMs_) / msPerPixel;
    const long long whole = std::llround(shift);
    const bool reusable = cache_.size() == size() && cacheShown_ == shown_ &&
                          std::abs(cacheSpanMs_ - (toMs_ - fromMs_)) < 1e-9 * cacheSpanMs_ &&
                          std::abs(shift - double(whole)) < 1e-3 && std::llabs(whole) < w - 1;
    if (!reusable || whole != 0) {
        if (cache_.size() != size()) cache_ = QImage(size(), QImage::Format_RGB32);
        QPainter p(&cache_);
        int x0 = 0, x1 = w;
        if (reusable) {
            const int dx = static_cast<int>(whole);
            const QImage moved = cache_.copy();
            p.drawImage(-dx, 0, moved);
            // The column before the new ones is drawn again so they join it.
            if (dx > 0)
                x0 = w - dx - 1;
            else
                x1 = -dx + 1;
        }
        p.fillRect(QRect(x0, 0, x1 - x0, height()), Qt::black);
        p.end();
        DrawColumns(cache_, x0, x1);
        cacheFromMs_ = fromMs_;
        cacheSpanMs_ = toMs_ - fromMs_;
        cacheShown_ = shown_;
    }
    painter.drawImage(0, 0, cache_);
    const int cx = static_cast<int>(std::lround((cursorMs_ - fromMs_) / msPerPixel));
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawLine(cx, 0, cx, height());
}

void TraceView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) ZoomAt(event->position().x(), std::pow(0.8, notches));
    event->accept();
}

void TraceView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    dragged_ = false;
    pressX_ = lastX_ = event->position().x();
}

void TraceView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) return;
    const double x = event->position().x();
    if (std::abs(x - pressX_) > 3) dragged_ = true;
    if (!dragged_) return;
    const double step = std::round(x - lastX_);
    PanPixels(step);
    lastX_ += step;
}

void TraceView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressed_ && !dragged_) SetCursorMs(TimeAtX(event->position().x()));
    pressed_ = false;
}

// ---- LogWindow

LogWindow::LogWindow(frmKAVRIN& frm, FileDialogs* dialogs, std::string path,
                     std::array<std::string, kMeasuredChannels> names, QWidget* parent)
    : QWidget(parent, Qt::Window), frm_(frm), path_(std::move(path)), names_(std::move(names)) {
    setObjectName(QStringLiteral("logWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    const LanguageTexts& t = frm.texts();
    setWindowTitle(S(path_.substr(path_.find_last_of("/\\") + 1)));
    resize(1280, 860);
    auto* layout = new QVBoxLayout(this);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("logNote"));
    note_->setWordWrap(true);
    layout->addWidget(note_);

    body_ = new QWidget(this);
    body_->setVisible(false);
    layout->addWidget(body_, 1);
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bodyLayout->addLayout(bar);
    play_ = new QPushButton(S(t.Text(text::kPlay)), body_);
    play_->setObjectName(QStringLiteral("play"));
    play_->setCheckable(true);
    speed_ = new QComboBox(body_);
    speed_->setObjectName(QStringLiteral("playSpeed"));
    for (int k : {1, 2, 4, 8}) speed_->addItem(QStringLiteral("%1x").arg(k), k);
    speed_->setAccessibleName(S(t.Text(text::kPlay)));
    time_ = new QLabel(body_);
    time_->setObjectName(QStringLiteral("cursorTime"));
    time_->setAccessibleName(S(t.Text(text::kTime)));
    bar->addWidget(play_);
    bar->addWidget(speed_);
    timeTitle_ = new QLabel(S(t.Text(text::kTime)), body_);
    bar->addWidget(timeTitle_);
    bar->addWidget(time_);
    bar->addStretch(1);

    auto* split = new QSplitter(Qt::Vertical, body_);
    bodyLayout->addWidget(split, 1);
    auto* top = new QSplitter(Qt::Horizontal, split);
    traces_ = new TraceView(top);
    traces_->setAccessibleName(S(t.Text(text::kChannels)));
    values_ = new QTableWidget(kMeasuredChannels + kIndicatorRows, 2, top);
    values_->setObjectName(QStringLiteral("cursorValues"));
    values_->setAccessibleName(S(t.Text(text::kChannels)));
    values_->horizontalHeader()->setVisible(false);
    values_->verticalHeader()->setVisible(false);
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->verticalHeader()->setDefaultSectionSize(20);
    auto* mapBox = new QWidget(top);
    auto* mapLayout = new QVBoxLayout(mapBox);
    mapLayout->addWidget(new QLabel(S(t.Text(text::kFuelMapAtCursor)), mapBox));
    fuelMap_ = new QTableWidget(mapBox);
    fuelMap_->setObjectName(QStringLiteral("logFuelMap"));
    fuelMap_->setAccessibleName(S(t.Text(text::kFuelMapAtCursor)));
    fuelMap_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fuelMap_->setSelectionMode(QAbstractItemView::NoSelection);
    mapLayout->addWidget(fuelMap_);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(2, 2);
    mixture_ = new MixturePanel(frm, dialogs, split);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    loadTimer_ = new QTimer(this);
    loadTimer_->setObjectName(QStringLiteral("logLoad"));
    connect(loadTimer_, &QTimer::timeout, this, [this] {
        if (StepLoad()) loadTimer_->stop();
    });
    playTimer_ = new QTimer(this);
    playTimer_->setObjectName(QStringLiteral("logPlay"));
    connect(playTimer_, &QTimer::timeout, this, [this] { PlayTick(kPlayTickMs); });
    connect(play_, &QPushButton::toggled, this, [this](bool on) { SetPlaying(on); });
    connect(traces_, &TraceView::cursorMoved, this, [this](double ms) { ShowCursor(ms); });
    connect(values_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 0 && item->row() < kMeasuredChannels)
            traces_->SetShown(item->row(), item->checkState() == Qt::Checked);
    });

    auto stream = frm.fileSystem().OpenStream(path_);
    if (!stream) {
        DatalogParser refused;
        refused.Unreadable(frm.texts().Explain(frm.fileSystem().LastError()));
        Finish(refused.Finish());
        return;
    }
    loader_ = std::make_unique<DatalogLoader>(std::move(stream));
    note_->setText(S(t.Format(text::kReadingLog, {path_, "0"})));
    loadTimer_->start(0);
}

LogWindow::~LogWindow() = default;

bool LogWindow::StepLoad() {
    if (!loader_) return true;
    if (!loader_->Step(DatalogLoader::kChunkBytes)) {
        note_->setText(S(frm_.texts().Format(
            text::kReadingLog, {path_, DecimalText(std::lround(loader_->Progress() * 100))})));
        return false;
    }
    auto result = loader_->TakeResult();
    loader_.reset();
    Finish(std::move(result));
    return true;
}

void LogWindow::Finish(DatalogReadResult result) {
    const LanguageTexts& t = frm_.texts();
    if (!result.ok) {
        note_->setText(S(DatalogRefusalText(t, path_, result.problem)));
        return;
    }
    data_ = std::move(result.data);
    note_->setText(result.droppedLine
                       ? S(t.Format(text::kLogLastRowDropped, {DecimalText(result.droppedLine)}))
                       : QString());
    note_->setVisible(result.droppedLine != 0);
    summary_ = std::make_unique<TraceSummary>(data_);
    config_ = LoadLogConfiguration(frm_.fileSystem(), path_, frm_.config());
    map_ = FuelMapModel::FromConfiguration(config_.config);
    Configuration plain = config_.config;
    const int options = plain.ParamBase + kOptionsOffset;
    plain.ConfigImage.Set(options, plain.ConfigImage[options] & ~kEfiInterpolationBit);
    liveMap_ = FuelMapModel::FromConfiguration(plain);

    const auto& titles = data_.Titles();
    // The time column's title names its unit in the language the log was written in.
    if (!titles.empty() && !titles[0].empty()) {
        timeTitle_->setText(S(titles[0]));
        time_->setAccessibleName(S(titles[0]));
    }
    for (int row = 0; row < kMeasuredChannels + kIndicatorRows; ++row) {
        const bool channel = row < kMeasuredChannels;
        std::string name = channel ? names_[row] : std::string();
        if (name.empty() && static_cast<std::size_t>(row + 1) < titles.size())
            name = titles[row + 1];
        auto* item = new QTableWidgetItem(S(name));
        if (channel) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            item->setForeground(ToQColor(ChannelTable()[row].colour));
        } else {
            item->setFlags(Qt::ItemIsEnabled);
        }
        values_->setItem(row, 0, item);
        values_->setItem(row, 1, new QTableWidgetItem);
    }
    values_->resizeColumnToContents(0);
    BuildFuelMap();
    traces_->SetLog(&data_, summary_.get());
    body_->setVisible(true);
    ShowCursor(0);
    mixture_->SetLog(&data_, config_.config);
}

void LogWindow::BuildFuelMap() {
    Configuration config = config_.config;
    config.UpdateFuelScale();
    fuelMap_->setColumnCount(map_.Cols());
    fuelMap_->setRowCount(map_.Rows());
    QStringList cols, rows;
    for (int c = 1; c <= map_.Cols(); ++c)
        cols << QString::number(FuelMapModel::ColumnRpm(c), 'f', 0);
    for (int r = 1; r <= map_.Rows(); ++r)
        rows << QString::number(map_.RowPercent(r), 'f', 0) + '%';
    fuelMap_->setHorizontalHeaderLabels(cols);
    fuelMap_->setVerticalHeaderLabels(rows);
    fuelMap_->horizontalHeader()->setDefaultSectionSize(46);
    fuelMap_->verticalHeader()->setDefaultSectionSize(20);
    for (int r = 1; r <= map_.Rows(); ++r)
        for (int c = 1; c <= map_.Cols(); ++c) {
            const int index = (r - 1) * map_.Cols() + c - 1;
            const int byte = config.ConfigImage[index];
            auto* item = new QTableWidgetItem(QString::number(byte * config.FuelScale, 'f', 2));
            item->setForeground(ToQColor(FuelCellColour(static_cast<std::int16_t>(byte))));
            fuelMap_->setItem(r - 1, c - 1, item);
        }
}

QString LogWindow::ValueText(int row) const {
    const QTableWidgetItem* item = values_->item(row, 1);
    return item ? item->text() : QString();
}

QString LogWindow::Note() const {
    return note_->text();
}

void LogWindow::ShowCursor(double ms) {
    if (!Loaded()) return;
    const LogSample sample = data_.Sample(data_.RowAt(ms));
    time_->setText(QString::number(ms / 1000.0, 'f', 2));
    for (int n = 0; n < kMeasuredChannels; ++n)
        values_->item(n, 1)->setText(
            QString::number(sample.values[n], 'f', ChannelTable()[n].decimals));
    for (int i = 0; i < kIndicatorRows; ++i)
        values_->item(kMeasuredChannels + i, 1)
            ->setText((sample.status >> i) & 1 ? QStringLiteral("1") : QStringLiteral("0"));
    // The operating point's cell, tinted as the live maps tint it.
    std::array<CellWeight, 4> shares;
    std::pair<int, int> cell{0, 0};
    if (liveMap_.Share(sample.values[kRpmChannel], sample.values[kThrottleChannel], shares) > 0)
        cell = {shares[0].cell / map_.Cols() + 1, shares[0].cell % map_.Cols() + 1};
    if (cell != marked_) {
        const QColor plain = fuelMap_->palette().base().color();
        if (QTableWidgetItem* old = fuelMap_->item(marked_.first - 1, marked_.second - 1))
            old->setBackground(plain);
        if (QTableWidgetItem* now = fuelMap_->item(cell.first - 1, cell.second - 1))
            now->setBackground(ToQColor(LiveCellTracker::kLiveCellColour));
        marked_ = cell;
    }
}

void LogWindow::SetPlaying(bool playing) {
    if (playing && Loaded()) {
        if (traces_->CursorMs() >= data_.DurationMs()) traces_->SetCursorMs(0);
        playTimer_->start(kPlayTickMs);
    } else {
        playTimer_->stop();
    }
    play_->setText(S(frm_.texts().Text(playTimer_->isActive() ? text::kPause : text::kPlay)));
    if (play_->isChecked() != playTimer_->isActive()) play_->setChecked(playTimer_->isActive());
}

void LogWindow::PlayTick(int ms) {
    if (!Loaded()) return;
    const double next = traces_->CursorMs() + ms * speed_->currentData().toInt();
    traces_->SetCursorMs(next);
    // The view follows the cursor a page at a time.
    const double span = traces_->ToMs() - traces_->FromMs();
    if (next > traces_->ToMs() || next < traces_->FromMs())
        traces_->SetRange(next - span * 0.1, next + span * 0.9);
    if (next >= data_.DurationMs()) SetPlaying(false);
}

} // namespace kavrin
