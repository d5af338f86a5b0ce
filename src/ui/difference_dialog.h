// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The difference report's window: non-modal, so the link and the main window
// go on while it is open; its rows are a real table, which a screen reader
// reads as one. A further report refreshes it in place.
#include "app/tune_control.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kavrin {

class DifferenceDialog final : public QDialog, public ReportWindow {
    Q_OBJECT
public:
    // chosen: a choice button; closed: the window closed without one.
    DifferenceDialog(QWidget* parent, std::function<void(ReportChoice)> chosen,
                     std::function<void()> closed);

    void Show(const ReportContent& content) override;
    void SetOutcome(const std::string& text) override;
    void Close() override;
    bool IsOpen() const override { return isVisible(); }
    std::vector<int> SelectedRows() const override;

protected:
    void done(int result) override;

private:
    std::function<void(ReportChoice)> chosen_;
    std::function<void()> closed_;
    QLabel* intro_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* outcome_ = nullptr;
    QTableWidget* table_ = nullptr;
    std::array<QPushButton*, 4> buttons_{};
    bool closingByProgram_ = false;
};

} // namespace kavrin
