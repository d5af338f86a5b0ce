#pragma once
// frmKAVRIN on screen: builds the widgets at their design places, binds them
// to the control table the logic uses, and runs the two timers.
#include "app/frm_kavrin.h"
#include "qt_controls.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class QLabel;

namespace kavrin {

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Platform platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    frmKAVRIN& logic() { return *frm_; }
    MainView& view() { return view_; }
    // Design size of the client area, in pixels.
    static constexpr int kClientWidth = 1008;
    static constexpr int kClientHeight = 658;
    static constexpr int kStatusBarHeight = 22;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar(QWidget* client);
    void BuildPlaceholders(QWidget* client);
    template <typename T, typename... Args> T* Own(Args&&... args) {
        auto p = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = p.get();
        owned_.push_back(std::move(p));
        return raw;
    }

    MainView view_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::unique_ptr<QtMessageBoxes> messages_;
    std::unique_ptr<frmKAVRIN> frm_;
    QTimer tmrcom_;
    QTimer timer2_;
    bool unloaded_ = false;
};

} // namespace kavrin
