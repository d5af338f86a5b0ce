// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/difference_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace kavrin {

namespace {
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

DifferenceDialog::DifferenceDialog(QWidget* parent, std::function<void(ReportChoice)> chosen,
                                   std::function<void()> closed)
    : QDialog(parent), chosen_(std::move(chosen)), closed_(std::move(closed)) {
    setObjectName(QStringLiteral("differenceReport"));
    setModal(false);
    auto* column = new QVBoxLayout(this);
    intro_ = new QLabel(this);
    intro_->setObjectName(QStringLiteral("reportIntro"));
    intro_->setWordWrap(true);
    column->addWidget(intro_);
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("reportTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(table_, 1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("reportCount"));
    column->addWidget(count_);
    outcome_ = new QLabel(this);
    outcome_->setObjectName(QStringLiteral("reportOutcome"));
    outcome_->hide();
    column->addWidget(outcome_);
    auto* row = new QHBoxLayout;
    const char* names[] = {"reportSendMine", "reportUseEcus", "reportSaveMine",
                           "reportTakeSelected"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(names[i]));
        button->setAutoDefault(false);
        row->addWidget(button);
        buttons_[i] = button;
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (chosen_) chosen_(static_cast<ReportChoice>(i));
        });
    }
    column->addLayout(row);
    resize(640, 420);
}

void DifferenceDialog::Show(const ReportContent& c) {
    setWindowTitle(Q(c.title));
    setAccessibleName(Q(c.title));
    intro_->setText(Q(c.intro));
    count_->setText(Q(c.count));
    table_->setAccessibleName(Q(c.tableName));
    table_->setAccessibleDescription(Q(c.intro));
    QStringList headers;
    for (const std::string& h : c.headers) headers << Q(h);
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(c.rows.size()));
    for (int r = 0; r < static_cast<int>(c.rows.size()); ++r)
        for (int k = 0; k < 5; ++k)
            table_->setItem(r, k,
                            new QTableWidgetItem(Q(
                                c.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)])));
    for (int i = 0; i < 4; ++i) {
        buttons_[i]->setText(Q(c.choices[static_cast<std::size_t>(i)]));
        buttons_[i]->setVisible(!c.choices[static_cast<std::size_t>(i)].empty());
    }
    outcome_->hide();
    // Shown, not opened: open() would make it window-modal, and the main
    // window stays usable while the report is up.
    if (!isVisible()) show();
    raise();
}

void DifferenceDialog::SetOutcome(const std::string& text) {
    outcome_->setText(Q(text));
    outcome_->setVisible(!text.empty());
}

void DifferenceDialog::Close() {
    closingByProgram_ = true;
    reject();
    closingByProgram_ = false;
}

void DifferenceDialog::done(int result) {
    const bool byUser = !closingByProgram_ && isVisible();
    QDialog::done(result);
    if (byUser && closed_) closed_();
}

std::vector<int> DifferenceDialog::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    return {rows.begin(), rows.end()};
}

} // namespace kavrin
