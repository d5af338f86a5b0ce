// SPDX-License-Identifier: GPL-3.0-or-later
// The detection window over the real main window, offscreen: ports that are
// gone, silent or answering, what each label says in which colour, and how the
// window ends. The probe timer is fired by hand, one probe period at a time.
#include "support/window_rig.h"
#include "ui/auto_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace kavrin::test {
namespace {

class DetectionWindowTest : public WindowRig {
protected:
    // The window started on these ports, the detection window opened over it.
    void Open(std::vector<std::string> list, std::set<std::string> gone, std::string answering) {
        ports.ports = std::move(list);
        device.missing = std::move(gone);
        ecu = std::move(answering);
        dialog.reset(); // a child of the window Start replaces
        Start();
        dialog = std::make_unique<AutoDialog>(window->logic().detectionHost(), ports,
                                              window->logic().texts(), window.get());
        dialog->show();
        dialog->logic().Form_Load();
    }
    // Probe periods: the ECU on the open port sends a frame, the link reads it.
    void Probe(int periods) {
        for (int i = 0; i < periods; ++i) {
            if (device.isOpen && device.openName == ecu) device.Feed(Frame('0', 2048));
            window->logic().tmrcom_Timer();
            dialog->logic().Timer1_Timer();
        }
    }
    QLabel* Label(int n) const {
        return dialog->findChild<QLabel*>(QStringLiteral("lblCOM%1").arg(n));
    }
    // Every port label's text, in brackets when hidden, then its colour.
    std::vector<std::string> Labels() const {
        std::vector<std::string> shown;
        for (int n = 1; Label(n); ++n) {
            const QLabel* l = Label(n);
            const std::string text = l->text().toStdString();
            shown.push_back((l->isHidden() ? "(" + text + ")" : text) + " " +
                            l->palette().color(QPalette::WindowText).name().toStdString());
        }
        return shown;
    }
    std::string Status() const {
        const auto* status = dialog->findChild<QLabel*>("lblstatus");
        return status->text().toStdString() + (status->font().bold() ? " bold " : " ") +
               status->palette().color(QPalette::WindowText).name().toStdString();
    }

    std::string ecu;
    std::unique_ptr<AutoDialog> dialog;
};

// Silent (#020000), failed (red) and answering (green) ports; a found port
// closes the window one period later, a fruitless search leaves it open.
TEST_F(DetectionWindowTest, ProbesEachPortInTurnAndStopsAtTheAnswer) {
    const struct {
        std::vector<std::string> ports;
        std::set<std::string> gone;
        const char* ecu;
        std::vector<std::string> labels;
        const char* status;
        int periods = 3; // until the last port had its answer
    } cases[] = {
        {{"COM1", "COM3", std::string("COM4\0", 5)},
         {"fake:3"},
         "fake:4",
         {"COM1   T90 #020000", "COM3   T89: T142 #ff0000", "COM4   T74 #00ff00"},
         "T91 4 bold #00ff00"},
        {{"COM1", "COM2", "COM5"},
         {"fake:5"},
         "",
         {"COM1   T90 #020000", "COM2   T90 #020000", "COM5   T89: T142 #ff0000"},
         "T86 #ff0000"},
        // Label 1 of an empty list has no number: the window opens port 1.
        {{}, {}, "fake:1", {"(COM   T74) #00ff00"}, "T91  bold #00ff00", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        Open(c.ports, c.gone, c.ecu);
        auto* again = dialog->findChild<QPushButton*>("cmdAgain");
        EXPECT_EQ(Status(), "T85 #000000");
        EXPECT_FALSE(again->isEnabled());
        Probe(c.periods);
        EXPECT_EQ(Labels(), c.labels);
        EXPECT_EQ(Status(), c.status);
        EXPECT_TRUE(again->isEnabled());
        EXPECT_TRUE(dialog->isVisible());
        Probe(1);
        EXPECT_EQ(dialog->isVisible(), !dialog->logic().found());
    }
}

// The window keeps the found port; the gone port's label says why, the whole
// of it one hover away. Captions come from the language; only Escape and
// "Close" close.
TEST_F(DetectionWindowTest, TheFoundPortIsKeptAndTheLabelsSayWhy) {
    Open({"COM1", "COM3", "COM4"}, {"fake:3"}, "fake:4");
    EXPECT_EQ(dialog->windowTitle() + dialog->findChild<QPushButton*>("cmdAgain")->text() +
                  dialog->findChild<QPushButton*>("cmdClose")->text(),
              "T82T83T84");
    EXPECT_TRUE(device.WrittenText().ends_with("S")) << "the open port is asked to stop";
    Probe(3);
    EXPECT_EQ(Label(2)->accessibleDescription(), "T143(fake:3) T128(COM1, COM3, COM4)");
    EXPECT_NE(Label(2)->toolTip().indexOf(Label(2)->accessibleDescription()), -1);
    EXPECT_EQ(device.openName, "fake:4");
    EXPECT_TRUE(Find<QAction>("mncom3")->isChecked());
    EXPECT_EQ(settings.Get("main", "com"), "4");
    EXPECT_TRUE(said.empty());
    for (auto [key, closes] : {std::pair{Qt::Key_Return, false}, {Qt::Key_Escape, true}}) {
        QTest::keyClick(dialog.get(), key);
        EXPECT_EQ(dialog->isVisible(), !closes);
    }
    dialog->show();
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DetectionWindowTest, AgainAfterTheListShrankStillTriesTheOldLabelsHidden) {
    Open({"COM1", "COM2", "COM6"}, {}, "");
    Probe(4);
    ports.ports = {"COM2"};
    device.missing = {"fake:6"};
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAgain"), Qt::LeftButton);
    Probe(3);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"COM2   T90 #020000", "(COM2   T90) #020000",
                                                  "(COM6   T89: T142) #ff0000"}));
    EXPECT_EQ(Status(), "T86 #ff0000");
}

} // namespace
} // namespace kavrin::test
