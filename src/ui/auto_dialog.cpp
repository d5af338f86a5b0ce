// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/auto_dialog.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace kavrin {

namespace {
constexpr int kWidth = 320;
// A label that says why its port failed widens the window up to here; the
// whole of it is in the label's tooltip.
constexpr int kMostWidth = 560;
constexpr int kLabelLeft = 24;
constexpr int kRowHeight = 300 / kTwipsPerPixel;

// The status line is heard as well as seen: its accessible name is what it
// shows, and a screen reader is told when that changes (the search began, the
// ECU was found, no port answered).
class StatusLine final : public QtWidgetControl {
public:
    explicit StatusLine(QLabel* label) : QtWidgetControl(label), label_(label) {}
    void SetText(const std::string& text) override {
        QtWidgetControl::SetText(text);
        label_->setAccessibleName(label_->text());
        QAccessibleEvent named(label_, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        QAccessibleEvent alert(label_, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }

private:
    QLabel* label_;
};
} // namespace

AutoDialog::AutoDialog(DetectionHost& host, PortDirectory& ports, const LanguageTexts& texts,
                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAuto"));
    setWindowTitle(tr("Automatic COM Port Detection"));
    setModal(true);

    status_ = new QLabel(QStringLiteral("..."), this);
    status_->setObjectName(QStringLiteral("lblstatus"));
    again_ = new QPushButton(tr("Again"), this);
    again_->setObjectName(QStringLiteral("cmdAgain"));
    again_->setAutoDefault(false);
    close_ = new QPushButton(tr("Close"), this);
    close_->setObjectName(QStringLiteral("cmdClose"));
    close_->setAutoDefault(false);
    statusControl_ = std::make_unique<StatusLine>(status_);
    againControl_ = std::make_unique<QtWidgetControl>(again_);
    closeControl_ = std::make_unique<QtWidgetControl>(close_);

    auto* first = new QLabel(QStringLiteral("COM1"), this);
    first->setObjectName(QStringLiteral("lblCOM1"));
    labels_.push_back(first);
    labelControls_.push_back(std::make_unique<QtWidgetControl>(first));
    labelControls_.back()->SetForeColour(frmAuto::kListed);
    PlacePortLabel(1, 2 * 300);

    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(frmAuto::kProbeInterval);
    logic_ = std::make_unique<frmAuto>(*this, host, ports, texts);
    connect(&timer1_, &QTimer::timeout, this, [this] { logic_->Timer1_Timer(); });
    connect(again_, &QPushButton::clicked, this, [this] { logic_->cmdAgain_Click(); });
    connect(close_, &QPushButton::clicked, this, [this] { logic_->cmdClose_Click(); });
}

AutoDialog::~AutoDialog() {
    timer1_.stop();
}

void AutoDialog::Start() {
    // Opened, not run: the main window's timers go on driving the link, which
    // the probes need, and no event loop of its own runs inside the menu's.
    setAttribute(Qt::WA_DeleteOnClose);
    open();
    logic_->Form_Load();
}

void AutoDialog::Arrange() {
    int width = kWidth;
    for (QLabel* l : labels_) width = std::max(width, kLabelLeft + l->sizeHint().width() + 12);
    width = std::min(width, kMostWidth);
    int bottom = 2 * kRowHeight;
    for (QLabel* l : labels_) {
        l->resize(width - kLabelLeft - 12, kRowHeight);
        bottom = std::max(bottom, l->geometry().bottom());
    }
    const int buttonTop = bottom + 12;
    status_->setGeometry(12, 8, width - 24, kRowHeight);
    const int bw = std::max({again_->sizeHint().width(), close_->sizeHint().width(), 80});
    const int bh = again_->sizeHint().height();
    again_->setGeometry(width - 2 * bw - 18, buttonTop, bw, bh);
    close_->setGeometry(width - bw - 12, buttonTop, bw, bh);
    setFixedSize(width, buttonTop + bh + 12);
}

void AutoDialog::SetCaption(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void AutoDialog::SetAgainEnabled(bool enabled) {
    again_->setEnabled(enabled);
}

void AutoDialog::SetStatusBold(bool bold) {
    QFont f = status_->font();
    f.setBold(bold);
    status_->setFont(f);
}

Control& AutoDialog::PortLabel(int i) {
    while (PortLabelCount() < i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblCOM%1").arg(labels_.size() + 1));
        labels_.push_back(label);
        labelControls_.push_back(std::make_unique<QtWidgetControl>(label));
    }
    return *labelControls_[static_cast<std::size_t>(i - 1)];
}

void AutoDialog::PlacePortLabel(int i, int topTwips) {
    PortLabel(i);
    labels_[static_cast<std::size_t>(i - 1)]->setGeometry(kLabelLeft, topTwips / kTwipsPerPixel,
                                                          kWidth - 36, kRowHeight);
    Arrange();
}

void AutoDialog::DescribePortLabel(int i, const std::string& text) {
    PortLabel(i);
    QLabel* label = labels_[static_cast<std::size_t>(i - 1)];
    const QString plain = QString::fromStdString(text);
    // As rich text the tooltip wraps its long lines and keeps the command's own.
    label->setToolTip(plain.isEmpty() ? plain
                                      : QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
                                            .arg(plain.toHtmlEscaped()));
    label->setAccessibleDescription(plain);
    Arrange();
}

void AutoDialog::SetTimer(bool enabled, int intervalMs) {
    if (!enabled) {
        timer1_.stop();
        return;
    }
    // A running timer keeps its beat when it is started again: the probes
    // stay 1.5 s apart however long opening a port took. A new interval
    // starts it afresh.
    if (timer1_.isActive() && timer1_.interval() == intervalMs) return;
    timer1_.start(intervalMs);
}

void AutoDialog::Close() {
    timer1_.stop();
    done(QDialog::Accepted);
}

void AutoDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        logic_->Form_KeyDown(27);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kavrin
