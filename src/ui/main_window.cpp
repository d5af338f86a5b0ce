#include "main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

namespace kavrin {

namespace {
// The design is laid out in twips; the window works in pixels.
constexpr int Px(int twips) {
    return twips / 15;
}

// A status-bar panel: a sunken label that reports clicks.
class PanelLabel final : public QLabel {
public:
    PanelLabel(QWidget* parent, std::function<void()> onClick)
        : QLabel(parent), onClick_(std::move(onClick)) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setContentsMargins(4, 0, 4, 0);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onClick_) onClick_();
        QLabel::mousePressEvent(event);
    }

private:
    std::function<void()> onClick_;
};
} // namespace

MainWindow::MainWindow(Platform platform, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromLatin1(frmKAVRIN::kCaption));
    setObjectName(QStringLiteral("frmKAVRIN"));
    auto* client = new QWidget(this);
    // The design area keeps its figures; the status bar runs below it.
    client->setFixedSize(kClientWidth, kClientHeight + kStatusBarHeight);
    setCentralWidget(client);

    messages_ = std::make_unique<QtMessageBoxes>(this);
    view_.messages = messages_.get();
    BuildMenus();
    BuildPlaceholders(client);
    BuildStatusBar(client);

    frm_ = std::make_unique<frmKAVRIN>(view_, std::move(platform));
    frm_->Form_Load();

    connect(&tmrcom_, &QTimer::timeout, this, [this] { frm_->tmrcom_Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { frm_->Timer2_Timer(); });
    tmrcom_.start(50);
    timer2_.start(1000);
}

MainWindow::~MainWindow() {
    tmrcom_.stop();
    timer2_.stop();
    if (!unloaded_) frm_->Form_QueryUnload();
    frm_->Form_Terminate();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        tmrcom_.stop();
        timer2_.stop();
        frm_->Form_QueryUnload();
    }
    event->accept();
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("File"));
    file->addAction(tr("Open"))->setEnabled(false);
    file->addAction(tr("Save"))->setEnabled(false);
    file->addSeparator();
    connect(file->addAction(tr("Exit")), &QAction::triggered, this, &QWidget::close);

    QMenu* format = menuBar()->addMenu(tr("Data Format"));
    auto* modes = new QActionGroup(this);
    const char* modeNames[] = {"Raw Data", "Formatted Data"};
    for (int k = 0; k < 2; ++k) {
        QAction* a = format->addAction(tr(modeNames[k]));
        a->setCheckable(true);
        modes->addAction(a);
        view_.mnMode[k] = Own<QtMenuControl>(a);
    }

    QMenu* comm = menuBar()->addMenu(tr("Comm"));
    comm->addAction(tr("Auto"))->setEnabled(false);
    QAction* com1 = comm->addAction(QStringLiteral("com1"));
    com1->setCheckable(true);
    view_.mncom.push_back(Own<QtMenuControl>(com1));

    QMenu* language = menuBar()->addMenu(tr("Language"));
    language->addAction(QStringLiteral("English"))->setCheckable(true);
    menuBar()->addMenu(tr("About"))->addAction(tr("About KAVRIN"));
}

void MainWindow::BuildPlaceholders(QWidget* client) {
    // Left column: live channels on top, parameters and options below.
    auto* tab0 = new QTabWidget(client);
    tab0->setObjectName(QStringLiteral("tab0"));
    tab0->setGeometry(6, 6, 258, 330);
    tab0->addTab(new QWidget, tr("Channels I"));
    tab0->addTab(new QWidget, tr("Channels II"));

    auto* tab2 = new QTabWidget(client);
    tab2->setObjectName(QStringLiteral("tab2"));
    tab2->setGeometry(6, 340, 258, 290);
    tab2->addTab(new QWidget, tr("Parameters"));
    tab2->addTab(new QWidget, tr("Options"));

    // Right: the live chart, the map tab strip and the tables.
    auto* picRPM = new QFrame(client);
    picRPM->setObjectName(QStringLiteral("picRPM"));
    picRPM->setGeometry(Px(4050), Px(120), Px(10845), Px(4095));
    picRPM->setFrameStyle(QFrame::Box | QFrame::Sunken);
    picRPM->setAutoFillBackground(true);
    QPalette white = picRPM->palette();
    white.setColor(QPalette::Window, palette().color(QPalette::HighlightedText));
    picRPM->setPalette(white);

    auto* tab1 = new QTabBar(client);
    tab1->setObjectName(QStringLiteral("tab1"));
    tab1->addTab(tr("MAP"));
    tab1->addTab(tr("COMPENSATIONS"));
    tab1->setGeometry(Px(4050), Px(4290), Px(10845), 24);

    struct Area {
        const char* name;
        int left, top, width, height;
    };
    const Area areas[] = {{"grd_fuel", 4170, 5070, 10845, 3525},
                          {"grd_ign", 4170, 8790, 10845, 885}};
    for (const auto& a : areas) {
        auto* frame = new QFrame(client);
        frame->setObjectName(QString::fromLatin1(a.name));
        frame->setGeometry(Px(a.left), Px(a.top), Px(a.width), Px(a.height));
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
}

void MainWindow::BuildStatusBar(QWidget* client) {
    auto* barra = new QFrame(client);
    barra->setObjectName(QStringLiteral("barra"));
    barra->setGeometry(0, kClientHeight, kClientWidth, kStatusBarHeight);
    auto* row = new QHBoxLayout(barra);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);
    auto onClick = [this] { frm_->barra_PanelClick(); };
    for (int k = 0; k < 5; ++k) {
        auto* panel = new PanelLabel(barra, onClick);
        panel->setObjectName(QStringLiteral("barra_panel%1").arg(k + 1));
        row->addWidget(panel, 1);
        view_.counterPanels[k] = Own<QtWidgetControl>(panel);
    }
    auto* connection = new PanelLabel(barra, onClick);
    connection->setObjectName(QStringLiteral("connection"));
    auto* inner = new QHBoxLayout(connection);
    inner->setContentsMargins(4, 0, 4, 0);
    auto* picture = new QLabel(connection);
    picture->setObjectName(QStringLiteral("connection_picture"));
    auto* text = new QLabel(connection);
    text->setObjectName(QStringLiteral("connection_text"));
    inner->addWidget(picture);
    inner->addWidget(text, 1);
    row->addWidget(connection, 2);
    auto* panel = Own<QtConnectionPanel>(picture, text);
    panel->SetConnectedPicture(false);
    view_.connection = panel;
}

} // namespace kavrin
