// SPDX-License-Identifier: GPL-3.0-or-later
// A probe linked into a copy of the program by bench/window_cpu (see
// bench/tick_probe.cmake): the program runs unchanged while the probe times
// the ticks of the window's link timer (the QTimer named "tmrcom") and, once
// the window has been online a while, opens a configuration file the way a
// user does, through File > Open (the QAction named "mnOpen"), answering the
// file dialog. It touches nothing but those two objects, so the same probe
// builds into older commits.
// Environment:
//   KAVRIN_TICK_PROBE_FILE    the .efi file to open
//   KAVRIN_TICK_PROBE_OUT     the file the result line is written to
//   KAVRIN_TICK_PROBE_AT_MS   when to open it, after the first tick (default 5000)
//   KAVRIN_TICK_PROBE_FOR_MS  how long to watch after the dialog is answered,
//                             then the window is closed (default 5000)
// Result line: "ok <largest gap online> <largest gap from the answered dialog
// on> <ms until File > Open returned> <ticks>" (milliseconds), or "error <why>".
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

struct Probe {
    QElapsedTimer clock;
    QWidget* window = nullptr;
    double lastTick = -1;
    double dialogAt = -1; // File > Open triggered: the dialog's own gaps are not counted
    double dialogShown = -1;
    double loadAt = -1; // the dialog answered: the load starts
    double openReturned = -1;
    bool triggered = false; // File > Open's action has returned
    double online = 0, load = 0;
    long ticks = 0;
    QStringList boxes;
};

Probe* probe = nullptr;

double Now() {
    return static_cast<double>(probe->clock.nsecsElapsed()) / 1e6;
}

int EnvMs(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

void Finish(const QString& line) {
    QFile out(qEnvironmentVariable("KAVRIN_TICK_PROBE_OUT"));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write((line + QLatin1Char('\n')).toUtf8());
    out.close();
    if (probe->window)
        probe->window->close();
    else
        QCoreApplication::quit();
}

void OnTick() {
    const double now = Now();
    if (probe->lastTick >= 0) {
        const double gap = now - probe->lastTick;
        if (probe->loadAt >= 0)
            probe->load = std::max(probe->load, gap);
        else if (probe->dialogAt < 0 && probe->ticks > 20) // past the start-up
            probe->online = std::max(probe->online, gap);
    }
    probe->lastTick = now;
    ++probe->ticks;
}

void Result();

// Answers the file dialog with the file, a moment after it shows, as a user
// would (and again should it stay open), and any message box with OK.
void Answer(const QString& file) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
            if (probe->dialogShown < 0) probe->dialogShown = Now();
            if (Now() - probe->dialogShown < 300) return;
            const double at = Now();
            // Typed into the name field, as selectFile leaves a focused field alone.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(file);
            else
                dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept(); // as its Open button does
            if (dialog->isVisible()) return;
            probe->loadAt = at;
            // A dialog that was opened rather than run loads the file here.
            if (probe->triggered) {
                probe->openReturned = Now();
                Result();
            }
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            probe->boxes << box->text().simplified();
            box->accept();
            return;
        }
    }
}

void OpenFile() {
    auto* open = probe->window->findChild<QAction*>(QStringLiteral("mnOpen"));
    if (!open) return Finish(QStringLiteral("error no File > Open action named mnOpen"));
    const QString file = qEnvironmentVariable("KAVRIN_TICK_PROBE_FILE");
    auto* answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, [file] { Answer(file); });
    answer->start(20);
    QTimer::singleShot(EnvMs("KAVRIN_TICK_PROBE_FOR_MS", 5000) + 10000, qApp, [] {
        if (probe->loadAt < 0)
            Finish(QStringLiteral("error the file dialog was never answered ") +
                   probe->boxes.join(QStringLiteral(" | ")));
    });
    probe->dialogAt = Now();
    // Returns once the dialog is answered and the file loaded where the
    // dialog runs a loop of its own; at once where it is only opened.
    open->trigger();
    probe->triggered = true;
    if (probe->loadAt < 0) return;
    probe->openReturned = Now();
    Result();
}

void Result() {
    QTimer::singleShot(EnvMs("KAVRIN_TICK_PROBE_FOR_MS", 5000), qApp, [] {
        QString line = QStringLiteral("ok %1 %2 %3 %4")
                           .arg(probe->online, 0, 'f', 1)
                           .arg(probe->load, 0, 'f', 1)
                           .arg(probe->openReturned - probe->loadAt, 0, 'f', 1)
                           .arg(probe->ticks);
        if (!probe->boxes.isEmpty())
            line += QStringLiteral(" boxes: ") + probe->boxes.join(QStringLiteral(" | "));
        Finish(line);
    });
}

// Waits for the window and its link timer, then hooks the timer.
void FindWindow() {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* timer = w->findChild<QTimer*>(QStringLiteral("tmrcom"));
            if (!timer) continue;
            poll->stop();
            probe->window = w;
            QObject::connect(timer, &QTimer::timeout, qApp, &OnTick);
            QTimer::singleShot(EnvMs("KAVRIN_TICK_PROBE_AT_MS", 5000), qApp, &OpenFile);
            return;
        }
    });
    poll->start(10);
}

void StartProbe() {
    static Probe theProbe;
    probe = &theProbe;
    probe->clock.start();
    // Posted: the event loop of main() (or a start-up box) runs it.
    QTimer::singleShot(0, qApp, &FindWindow);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
