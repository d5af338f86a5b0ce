// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmAuto on screen: the modal detection window with its port labels and its
// timer. The main window's timers run on while it is shown.
#include "app/port_detection.h"
#include "ui/qt_controls.h"

#include <QDialog>
#include <QTimer>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;

namespace kavrin {

class AutoDialog final : public QDialog, public AutoDetectView {
    Q_OBJECT
public:
    AutoDialog(DetectionHost& host, PortDirectory& ports, const LanguageTexts& texts,
               QWidget* parent);
    ~AutoDialog() override;

    // Shows the window over its parent and starts probing; it deletes itself
    // when closed.
    void Start();
    frmAuto& logic() { return *logic_; }

    void SetCaption(const std::string& text) override;
    Control& AgainButton() override { return *againControl_; }
    Control& CloseButton() override { return *closeControl_; }
    void SetAgainEnabled(bool enabled) override;
    Control& Status() override { return *statusControl_; }
    void SetStatusBold(bool bold) override;
    int PortLabelCount() const override { return static_cast<int>(labels_.size()); }
    Control& PortLabel(int i) override;
    void PlacePortLabel(int i, int topTwips) override;
    void DescribePortLabel(int i, const std::string& text) override;
    void SetTimer(bool enabled, int intervalMs) override;
    void Close() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Arrange();

    QLabel* status_ = nullptr;
    QPushButton* again_ = nullptr;
    QPushButton* close_ = nullptr;
    std::unique_ptr<QtWidgetControl> statusControl_, againControl_, closeControl_;
    std::vector<QLabel*> labels_;
    std::vector<std::unique_ptr<QtWidgetControl>> labelControls_;
    QTimer timer1_;
    std::unique_ptr<frmAuto> logic_;
};

} // namespace kavrin
