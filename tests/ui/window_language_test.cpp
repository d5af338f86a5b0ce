// SPDX-License-Identifier: GPL-3.0-or-later
// Every word the window shows comes from the language file: with a file whose
// every entry is a marker ("T12"), any text on screen without one was written
// into the program instead.
#include "support/window_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>

namespace kavrin::test {
namespace {

class WindowLanguageTest : public WindowRig {
protected:
    // What may stand without a marker: numbers, units, port and file names,
    // the caption the system gives itself.
    static bool Exempt(const QString& text) {
        static const QRegularExpression marker(QStringLiteral("T\\d+"));
        static const QRegularExpression data(QStringLiteral(
            "^[-+0-9.,:%()\\s]*(rpm|deg|ms|us|°C|C|V|kPa|AFR|%|x|LH|HL)?[-+0-9.,:%()\\s]*$"));
        static const QRegularExpression name(
            QStringLiteral("^(COM\\d+|com1|KAVRIN 053|English|/work/.*|fake:\\d+)$"));
        const QString t = text.trimmed();
        return t.isEmpty() || marker.match(t).hasMatch() || data.match(t).hasMatch() ||
               name.match(t).hasMatch();
    }
    void Check(const QString& where, const QString& text) {
        if (!Exempt(text)) unmarked.push_back(where.toStdString() + ": " + text.toStdString());
    }
    void CheckMenu(const QMenu* menu) {
        Check(QStringLiteral("menu"), menu->title());
        for (const QAction* a : menu->actions()) {
            if (a->menu()) CheckMenu(a->menu());
            Check(a->objectName(), a->text());
            Check(a->objectName() + " tip", a->statusTip());
        }
    }
    void CheckWidgets(const QWidget* top) {
        for (const QLabel* l : top->findChildren<QLabel*>())
            if (l->isVisible()) {
                Check(l->objectName(), l->text());
                Check(l->objectName() + " tip", l->toolTip());
            }
        for (const QAbstractButton* b : top->findChildren<QAbstractButton*>())
            if (b->isVisible()) Check(b->objectName(), b->text());
        for (const QTabBar* bar : top->findChildren<QTabBar*>())
            for (int i = 0; i < bar->count(); ++i) Check(QStringLiteral("tab"), bar->tabText(i));
    }
    std::vector<std::string> unmarked;
};

TEST_F(WindowLanguageTest, NoWordOnScreenIsMissingFromTheLanguageFile) {
    ports.ports = {"COM1", "COM3"};
    device.missing = {"fake:3"};
    Connect(std::vector<std::uint8_t>(214, 7));
    for (const QAction* a : window->menuBar()->actions()) CheckMenu(a->menu());
    CheckWidgets(window.get());
    // The log window and its mixture panel, on a log of one row.
    std::string titles = "T97", row = "0.000";
    for (int c = 1; c < kDatalogColumns; ++c) titles += ",T" + std::to_string(c), row += ",0";
    files.files["/work/run.csv"] = titles + "\r\n" + row + "\r\n";
    LogWindow* logWindow = window->OpenLog("/work/run.csv");
    while (!logWindow->StepLoad()) {
    }
    ASSERT_TRUE(logWindow->Loaded()) << logWindow->Note().toStdString();
    CheckWidgets(logWindow);
    window->mnMixture_Click();
    CheckWidgets(window->liveMixture());

    // Messages: a refused file, a failed save, a port that is not there, a log
    // that cannot start.
    files.files["/work/bad.efi"] = "format=15x11\r\n;EFI\r\nx\r\n";
    chosen.choice = "/work/bad.efi";
    Answering([this] { Find<QAction>("mnOpen")->trigger(); });
    files.readOnly = true;
    Answering([this] { Find<QAction>("mnSave")->trigger(); });
    Answering([this] { Find<QAction>("mnLog")->trigger(); });
    files.readOnly = false;
    std::int16_t port = 3;
    Answering([&] { window->logic().AbrirPuerto(port, false); });
    ASSERT_EQ(said.size(), 4u);
    for (const std::string& message : said)
        for (const QString& line : QString::fromStdString(message).split('\n'))
            Check(QStringLiteral("message"), line);
    EXPECT_EQ(unmarked, std::vector<std::string>{});
}

// The window's geometry is fixed: with a font a quarter wider, in every shipped
// language, no caption loses its end.
TEST_F(WindowLanguageTest, EveryCaptionFitsAtAFontAQuarterWider) {
    const QFont design = QApplication::font();
    QFont wide = design;
    wide.setPointSizeF(design.pointSizeF() * 1.25);
    QApplication::setFont(wide);
    for (const char* language : {"English", "Espanol", "Russian"}) {
        files.files[std::string("/prog/") + language + ".lan"] = ShippedLanguageFile(language);
        settings.SaveSetting("kavrin", "main", "language", language);
        Start();
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            QString text;
            int room = w->width();
            if (auto* l = qobject_cast<const QLabel*>(w))
                text = l->text(), room = l->contentsRect().width();
            else if (auto* b = qobject_cast<const QCheckBox*>(w))
                text = b->text(), room = w->width() - (b->sizeHint().width() -
                                                       b->fontMetrics().horizontalAdvance(text));
            if (!w->isVisible() || text.isEmpty()) continue;
            EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room)
                << language << ": " << text.toStdString();
        }
    }
    QApplication::setFont(design);
}

} // namespace
} // namespace kavrin::test
