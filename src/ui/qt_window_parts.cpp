// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_window_parts.h"

#include "base/text_entries.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace kavrin {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}
} // namespace

void QtWindowCaption::SetText(const std::string& text) {
    if (window_) window_->setWindowTitle(Q(text));
}

std::string QtWindowCaption::Text() const {
    return window_ ? window_->windowTitle().toStdString() : "";
}

QtTabCaption::QtTabCaption(QTabWidget* tabs, int index) : tabs_(tabs), index_(index) {}
QtTabCaption::QtTabCaption(QTabBar* bar, int index) : bar_(bar), index_(index) {}

void QtTabCaption::SetText(const std::string& text) {
    if (tabs_) tabs_->setTabText(index_, Q(text));
    if (bar_) bar_->setTabText(index_, Q(text));
}

std::string QtTabCaption::Text() const {
    if (tabs_) return tabs_->tabText(index_).toStdString();
    if (bar_) return bar_->tabText(index_).toStdString();
    return {};
}

QtLanguageMenu::QtLanguageMenu(QMenu* menu, std::function<void(int)> onClick)
    : menu_(menu), onClick_(std::move(onClick)) {}

void QtLanguageMenu::SetEntries(const std::vector<std::string>& captions) {
    if (!menu_) return;
    menu_->clear();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        QAction* entry = menu_->addAction(Q(captions[i]));
        entry->setCheckable(true);
        entry->setObjectName(QStringLiteral("mnlan%1").arg(i));
        const int k = static_cast<int>(i);
        QObject::connect(entry, &QAction::triggered, menu_, [this, k] {
            if (onClick_) onClick_(k);
        });
    }
}

void QtLanguageMenu::SetChecked(int entry, bool checked) {
    if (!menu_) return;
    const QList<QAction*> entries = menu_->actions();
    if (entry >= 0 && entry < entries.size()) entries[entry]->setChecked(checked);
}

void FitCaptions(QWidget* root) {
    static const char* kDesignFont = "kavrinDesignFont";
    for (QWidget* w : root->findChildren<QWidget*>()) {
        QString text;
        int room = w->width();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->textFormat() == Qt::RichText || label->wordWrap()) continue;
            text = label->text();
            room = label->contentsRect().width() - 2 * label->margin();
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            text = box->text();
            // The box and its spacing stand before the caption.
            room = w->width() - (box->sizeHint().width() -
                                 box->fontMetrics().horizontalAdvance(text));
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            text = button->text();
            room = w->width() - 8;
        }
        if (text.isEmpty()) continue;
        if (!w->property(kDesignFont).isValid()) w->setProperty(kDesignFont, w->font());
        QFont font = w->property(kDesignFont).value<QFont>();
        const qreal design = font.pointSizeF();
        w->setFont(font);
        for (qreal size = design; size > 0.75 * design;) {
            if (QFontMetrics(font).horizontalAdvance(text) <= room) break;
            size = std::max(0.75 * design, size - 0.5);
            font.setPointSizeF(size);
            w->setFont(font);
        }
    }
}

QString QtFileDialogs::Filter(int kind) const {
    static const LanguageTexts none;
    const LanguageTexts& texts = texts_ ? *texts_ : none;
    return Q(texts.Text(kind)) + QStringLiteral(";;") + Q(texts.Text(text::kAllFilesFilter));
}

void QtFileDialogs::Choose(const std::string& title, bool save, const QString& folder,
                           const QString& file, int filterKind, FileChosen done) {
    if (!dialog_) {
        dialog_ = new QFileDialog(parent_);
        dialog_->setWindowModality(Qt::ApplicationModal);
    }
    QFileDialog& d = *dialog_;
    // One choice at a time: a second asked for meanwhile is answered "none".
    if (d.isVisible()) return done(std::nullopt);
    d.setWindowTitle(Q(title));
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setNameFilter(Filter(filterKind));
    if (!folder.isEmpty()) d.setDirectory(folder);
    // A name to propose; without one the field keeps the last choice.
    if (!file.isEmpty()) d.selectFile(file);
    QObject::connect(
        &d, &QDialog::finished, &d,
        [&d, done = std::move(done)](int result) {
            const QStringList chosen = d.selectedFiles();
            done(result == QDialog::Accepted && !chosen.isEmpty() ? Chosen(chosen.first())
                                                                  : std::nullopt);
        },
        Qt::SingleShotConnection);
    d.show();
}

void QtFileDialogs::ChooseOpenFile(const std::string& title, FileChosen done) {
    Choose(title, false, QString(), QString(), text::kEfiFilter, std::move(done));
}

void QtFileDialogs::ChooseSaveFile(const std::string& title, const std::string& proposedName,
                                   FileChosen done) {
    // Asks before replacing an existing file, as QFileDialog does by default.
    const QFileInfo proposed(Q(proposedName));
    Choose(title, true, proposed.isAbsolute() ? proposed.absolutePath() : QString(),
           proposed.fileName(), text::kEfiFilter, std::move(done));
}

void QtFileDialogs::ChooseLogFile(const std::string& title, const std::string& proposedName,
                                  FileChosen done) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    Choose(title, true, documents, Q(proposedName), text::kCsvFilter, std::move(done));
}

void QtFileDialogs::ChooseLogToOpen(const std::string& title, FileChosen done) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    Choose(title, false, documents, QString(), text::kCsvFilter, std::move(done));
}

} // namespace kavrin
