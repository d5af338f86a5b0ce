// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A datalog in a window of its own beside the live one: read in slices so
// neither window waits for it, every channel as a trace over time with a
// cursor that reads every value and places the operating point on the fuel
// map, playback, and the mixture analysis of the whole log.
#include "analysis/datalog_reader.h"
#include "analysis/fuel_map_model.h"
#include "analysis/log_configuration.h"
#include "analysis/trace_summary.h"
#include "app/frm_kavrin.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kavrin {

class MixturePanel;

// The traces: each shown channel between its own lowest and highest value,
// drawn one pixel column at a time from the summary.
class TraceView final : public QWidget {
    Q_OBJECT
public:
    explicit TraceView(QWidget* parent = nullptr);
    void SetLog(const DatalogData* log, const TraceSummary* summary);
    void SetColours(const std::array<QColor, kMeasuredChannels>& colours) { colours_ = colours; }
    void SetShown(int channel, bool shown);

    double FromMs() const { return fromMs_; }
    double ToMs() const { return toMs_; }
    // Shows fromMs..toMs, kept within the log and at least kMinSpanMs wide.
    void SetRange(double fromMs, double toMs);
    // factor < 1 zooms in, about the moment at pixel x.
    void ZoomAt(double x, double factor);
    void PanPixels(double dx);
    double CursorMs() const { return cursorMs_; }
    void SetCursorMs(double ms);
    double TimeAtX(double x) const;

    static constexpr double kMinSpanMs = 200;
    int paints() const { return paints_; }

signals:
    void cursorMoved(double ms);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawColumns(QImage& image, int x0, int x1);

    const DatalogData* log_ = nullptr;
    const TraceSummary* summary_ = nullptr;
    std::array<QColor, kMeasuredChannels> colours_{};
    std::array<bool, kMeasuredChannels> shown_{};
    std::array<float, kMeasuredChannels> low_{}, high_{};
    std::vector<TraceColumn> columns_;
    // The traces as last drawn, without the cursor, and what they showed.
    QImage cache_;
    double cacheFromMs_ = 0, cacheSpanMs_ = 0;
    std::array<bool, kMeasuredChannels> cacheShown_{};
    double fromMs_ = 0, toMs_ = 1000, cursorMs_ = 0;
    double pressX_ = 0, lastX_ = 0;
    bool pressed_ = false, dragged_ = false;
    int paints_ = 0;
};

class LogWindow final : public QWidget {
    Q_OBJECT
public:
    // names: the channels' names as the main window shows them.
    LogWindow(frmKAVRIN& frm, FileDialogs* dialogs, std::string path,
              std::array<std::string, kMeasuredChannels> names, QWidget* parent = nullptr);
    ~LogWindow() override;

    // One slice of the file (the timer's step); true once it is read or refused.
    bool StepLoad();
    bool Loaded() const { return summary_ != nullptr; }
    const DatalogData& data() const { return data_; }
    TraceView& traces() const { return *traces_; }
    MixturePanel& mixture() const { return *mixture_; }
    // The value the cursor shows for a channel (0..15) or indicator (16..21).
    QString ValueText(int row) const;
    QString Note() const;
    // The fuel map cell (row, column from 1) under the cursor's operating point.
    std::pair<int, int> MarkedCell() const { return marked_; }

    void SetPlaying(bool playing);
    // A playback tick: the cursor moves on by ms x the chosen speed.
    void PlayTick(int ms);

    static constexpr int kPlayTickMs = 50;

private:
    void Finish(DatalogReadResult result);
    void BuildFuelMap();
    void ShowCursor(double ms);

    frmKAVRIN& frm_;
    std::string path_;
    std::array<std::string, kMeasuredChannels> names_;
    std::unique_ptr<DatalogLoader> loader_;
    DatalogData data_;
    std::unique_ptr<TraceSummary> summary_;
    LogConfiguration config_;
    FuelMapModel map_;
    // The same map read without interpolation: the cell the live maps tint.
    FuelMapModel liveMap_;
    std::pair<int, int> marked_{0, 0};

    QTimer* loadTimer_ = nullptr;
    QTimer* playTimer_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* timeTitle_ = nullptr;
    TraceView* traces_ = nullptr;
    QTableWidget* values_ = nullptr;
    QTableWidget* fuelMap_ = nullptr;
    QPushButton* play_ = nullptr;
    QComboBox* speed_ = nullptr;
    MixturePanel* mixture_ = nullptr;
    QWidget* body_ = nullptr;
};

} // namespace kavrin
