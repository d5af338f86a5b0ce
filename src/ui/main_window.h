// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmKAVRIN on screen: builds the widgets at their design places, binds them
// to the control table the logic uses, and runs the two timers.
#include "app/frm_kavrin.h"
#include "live/strip_chart.h"
#include "ui/chart_widget.h"
#include "ui/log_window.h"
#include "ui/mixture_panel.h"
#include "ui/qt_controls.h"
#include "ui/qt_menu_controls.h"
#include "ui/qt_owner_window.h"
#include "ui/qt_translatable.h"
#include "ui/qt_window_parts.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QTabBar;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kavrin {

class QtGridControl;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and its logic; Load runs the start-up and starts the
    // timers "tmrcom" and "Timer2".
    explicit MainWindow(Platform platform, QWidget* parent = nullptr);
    ~MainWindow() override;
    void Load();
    // A stop asked for from outside (a signal): closes any message box that is
    // open, says nothing more and closes the window once it has loaded.
    void RequestStop();
    bool stopRequested() const { return stopRequested_; }

    frmKAVRIN& logic() { return *frm_; }
    MainView& view() { return view_; }
    ChartWidget& chart() { return *picRPM_; }
    // "Auto": the detection window, modal, fresh each time.
    void mnAuto_Click();
    void mnAbout_Click();
    // "Open log...": a datalog in a window of its own; "Analyse mixture": the
    // live mixture panel.
    LogWindow* OpenLog(const std::string& path);
    void mnOpenLog_Click();
    void mnMixture_Click();
    MixturePanel* liveMixture() const { return liveMixture_; }
    // Design size of the client area, in pixels.
    static constexpr int kClientWidth = 1008;
    static constexpr int kClientHeight = 658;
    static constexpr int kStatusBarHeight = 22;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    // Edit menu, "Compare with…", "Recent ECU configurations", the report window.
    void BuildTuneMenus(QMenu* file);
    void WireTune();
    void RetranslateTune();
    void FillRecentMenu();
    // Closing with unsaved work asks first; the answer closes, or not.
    void AskBeforeClosing();
    void BuildStatusBar(QWidget* client);
    void BuildControls(QWidget* client);
    void BuildChannelTabs(QWidget* client);
    void BuildParameterTabs(QWidget* client);
    void BuildMapArea(QWidget* client);
    void WireHandlers();
    // The caption, tabs, Language menu, file dialogs and tagged controls for
    // the logic; then the File menu and the channel rows to their handlers.
    void BindLanguageAndFiles();
    void WireSettingsAndFiles();
    template <typename T, typename... Args> T* Own(Args&&... args) {
        auto p = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = p.get();
        owned_.push_back(std::move(p));
        return raw;
    }

    MainView view_;
    std::array<QLineEdit*, 11> fields_{};
    std::array<QPushButton*, 2> thrButtons_{};
    std::array<QCheckBox*, 10> optionBoxes_{};
    std::vector<std::unique_ptr<Control>> owned_;
    std::unique_ptr<QtMessageBoxes> messages_;
    // The owner window outlives the logic: the grid editors detach from it.
    std::unique_ptr<QtOwnerWindow> owner_;
    ChartWidget* picRPM_ = nullptr;
    std::unique_ptr<StripChart> chart_;
    std::unique_ptr<QtPortMenu> portMenu_;
    // The machine's port table, which the detection window lists.
    PortDirectory* ports_;
    std::unique_ptr<frmKAVRIN> frm_;
    QTabBar* tab1_ = nullptr;
    std::array<QAction*, 2> modeActions_{};
    QTimer* tmrcom_ = nullptr;
    QTimer* timer2_ = nullptr;
    QPointer<MixturePanel> liveMixture_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool stopRequested_ = false;
    // Whether the window last lost the activation to another window of this
    // program (a message box, the detection window) rather than to another
    // program.
    bool lostToOwnWindow_ = true;
    QAction* openAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* compareAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QLabel* notInEcu_ = nullptr;
    class DifferenceDialog* report_ = nullptr;
    bool closeAnswered_ = false; // the unsaved-work question was answered: close
    bool closeAsked_ = false;
    QAction* saveAction_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    std::unique_ptr<QtLanguageMenu> mnlan_;
    std::unique_ptr<QtFileDialogs> dialogs_;
    std::vector<std::unique_ptr<QtTranslatable>> tagged_;
};

} // namespace kavrin
