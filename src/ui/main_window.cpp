// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_window.h"

#include "app/analysis_texts.h"
#include "base/text_entries.h"
#include "live/channels.h"
#include "ui/accessibility.h"
#include "ui/auto_dialog.h"
#include "ui/difference_dialog.h"
#include "ui/number_glyphs.h"
#include "ui/qt_edit_box.h"
#include "ui/qt_grid_control.h"
#include "tune/config_items.h"
#include "tune/tune_texts.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

namespace kavrin {

namespace {
// The design is laid out in twips; the window works in pixels.
constexpr int Px(int twips) {
    return twips / kTwipsPerPixel;
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

MainWindow::MainWindow(Platform platform, QWidget* parent)
    : QMainWindow(parent), ports_(&platform.ports) {
    setWindowTitle(QString::fromLatin1(frmKAVRIN::kCaption));
    setObjectName(QStringLiteral("frmKAVRIN"));
    InstallAccessibility();
    auto* client = new QWidget(this);
    // The design area keeps its figures; the status bar runs below it.
    client->setFixedSize(kClientWidth, kClientHeight + kStatusBarHeight);
    setCentralWidget(client);

    messages_ = std::make_unique<QtMessageBoxes>(this);
    view_.messages = messages_.get();
    BuildMenus();
    BuildControls(client);
    BuildStatusBar(client);
    report_ = new DifferenceDialog(
        this, [this](ReportChoice choice) { frm_->tune().Choose(choice); },
        [this] { frm_->tune().ReportClosed(); });
    view_.report = report_;
    view_.historyChanged = [this] { RetranslateTune(); };
    owner_ = std::make_unique<QtOwnerWindow>(this, "frmKAVRIN");
    view_.window = owner_.get();
    BindLanguageAndFiles();

    chart_ = std::make_unique<StripChart>(*picRPM_, view_.channels.txtEscala);
    view_.unload = [this] { close(); };
    frm_ = std::make_unique<frmKAVRIN>(view_, std::move(platform), *chart_);
    dialogs_->SetTexts(&frm_->texts());
    WireHandlers();
    WireSettingsAndFiles();
    WireTune();
    DescribeForAccessibility(*this, view_, *picRPM_, frm_->texts());

    tmrcom_ = new QTimer(this);
    tmrcom_->setObjectName(QStringLiteral("tmrcom"));
    // The link tick keeps its 50 ms beat: a coarse timer may stretch it by a twentieth.
    tmrcom_->setTimerType(Qt::PreciseTimer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    connect(tmrcom_, &QTimer::timeout, this, [this] { frm_->tmrcom_Timer(); });
    connect(timer2_, &QTimer::timeout, this, [this] { frm_->Timer2_Timer(); });
}

void MainWindow::Load() {
    frm_->Form_Load();
    RetranslateTune();
    FitCaptions(this);
    NameFixedParts(*this, view_, frm_->texts());
    loaded_ = true;
    if (stopRequested_) {
        close();
        return;
    }
    tmrcom_->start(50);
    timer2_->start(1000);
}

void MainWindow::RequestStop() {
    stopRequested_ = true;
    messages_->Silence();
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    if (loaded_) close();
}

MainWindow::~MainWindow() {
    // The log windows and the live mixture panel reach the logic: they go first.
    delete liveMixture_;
    for (LogWindow* log : findChildren<LogWindow*>(Qt::FindDirectChildrenOnly)) delete log;
    // The widgets go after the logic: a field losing the focus as it is
    // destroyed must not reach a handler that is gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    // Nothing said while closing down opens a box.
    messages_->Silence();
    tmrcom_->stop();
    timer2_->stop();
    if (!unloaded_) frm_->Form_QueryUnload();
    frm_->Form_Terminate();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_ && !stopRequested_ && !closeAnswered_ && frm_->tune().HasUnsavedWork()) {
        event->ignore();
        AskBeforeClosing();
        return;
    }
    if (!unloaded_) {
        unloaded_ = true;
        tmrcom_->stop();
        timer2_->stop();
        frm_->Form_QueryUnload();
    }
    event->accept();
}

LogWindow* MainWindow::OpenLog(const std::string& path) {
    std::array<std::string, kMeasuredChannels> names;
    for (int n = 0; n < kMeasuredChannels; ++n) names[n] = view_.channels.chk[n]->Text();
    // Its own window, beside this one and closed with it.
    auto* window = new LogWindow(*frm_, view_.dialogs, path, names, this);
    window->show();
    return window;
}

void MainWindow::mnOpenLog_Click() {
    view_.dialogs->ChooseLogToOpen(frm_->texts().Text(text::kOpenLog), [this](const auto& path) {
        if (path && !path->empty()) OpenLog(*path);
    });
}

void MainWindow::mnMixture_Click() {
    // One live panel: asked again, it comes to the front.
    if (!liveMixture_) {
        liveMixture_ = new MixturePanel(*frm_, view_.dialogs, this);
        liveMixture_->setWindowFlags(Qt::Window);
        liveMixture_->setAttribute(Qt::WA_DeleteOnClose);
        liveMixture_->setWindowTitle(
            QString::fromStdString(frm_->texts().Text(text::kAnalyseMixture)));
        liveMixture_->StartLive();
    }
    liveMixture_->show();
    liveMixture_->raise();
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("File"));
    openAction_ = file->addAction(tr("Open"));
    saveAction_ = file->addAction(tr("Save"));
    openAction_->setObjectName(QStringLiteral("mnOpen"));
    saveAction_->setObjectName(QStringLiteral("mnSave"));
    // Checked while the engine is being logged to a file.
    QAction* log = file->addAction(tr("Log"));
    log->setObjectName(QStringLiteral("mnLog"));
    log->setCheckable(true);
    view_.mnLog = Own<QtMenuControl>(log);
    connect(log, &QAction::triggered, this, [this] { frm_->datalog().mnLog_Click(); });
    QAction* openLog = file->addAction(tr("Open log..."));
    openLog->setObjectName(QStringLiteral("mnOpenLog"));
    connect(openLog, &QAction::triggered, this, &MainWindow::mnOpenLog_Click);
    QAction* mixture = file->addAction(tr("Analyse mixture"));
    mixture->setObjectName(QStringLiteral("mnMixture"));
    connect(mixture, &QAction::triggered, this, &MainWindow::mnMixture_Click);
    BuildTuneMenus(file);
    file->addSeparator();
    QAction* exit = file->addAction(tr("Exit"));
    exit->setObjectName(QStringLiteral("mnExit"));
    connect(exit, &QAction::triggered, this, [this] { frm_->mnExit_Click(); });

    QMenu* format = menuBar()->addMenu(tr("Data Format"));
    auto* modes = new QActionGroup(this);
    const char* modeNames[] = {"Raw Data", "Formatted Data"};
    for (int k = 0; k < 2; ++k) {
        QAction* a = format->addAction(tr(modeNames[k]));
        a->setObjectName(QStringLiteral("mnMode%1").arg(k));
        a->setCheckable(true);
        modes->addAction(a);
        view_.mnMode[k] = Own<QtMenuControl>(a);
        modeActions_[k] = a;
    }

    QMenu* comm = menuBar()->addMenu(tr("Comm"));
    // The user looks for a port: adapters plugged in or out since are seen.
    // Opening the menu looks for ports again, so a replugged adapter is there.
    connect(comm, &QMenu::aboutToShow, this, [this] {
        ports_->Refresh();
        frm_->linkStatus().RebuildPortMenu();
    });
    QAction* mnAuto = comm->addAction(tr("Auto"));
    mnAuto->setObjectName(QStringLiteral("mnAuto"));
    connect(mnAuto, &QAction::triggered, this, &MainWindow::mnAuto_Click);
    portMenu_ = std::make_unique<QtPortMenu>(comm, [this](int k) { frm_->linkStatus().mncom_Click(k); });
    view_.portMenu = portMenu_.get();
    view_.mncom.push_back(portMenu_->Item(1));

    languageMenu_ = menuBar()->addMenu(tr("Language"));
    languageMenu_->addAction(QStringLiteral("English"))->setCheckable(true);
    QAction* about = menuBar()->addMenu(tr("About"))->addAction(tr("About KAVRIN"));
    about->setObjectName(QStringLiteral("mnAbout"));
    connect(about, &QAction::triggered, this, &MainWindow::mnAbout_Click);
}

void MainWindow::BuildControls(QWidget* client) {
    BuildChannelTabs(client);
    BuildParameterTabs(client);

    BuildMapArea(client);
}

namespace {
// A click on a tab strip leaves the field being edited, as a click on any other
// control does: the field's value is handled before the tab's click runs, and
// not after a refresh the click causes has replaced it.
void TakeFocusOnClick(QTabBar* bar) {
    bar->setFocusPolicy(Qt::StrongFocus);
}

// Pages fill their own background, in the window's colour as the indicators
// at rest, and so do the values on them: a value that changes each tick then
// repaints itself alone, not the tabs and the window beneath.
QWidget* MakeTabPage(const char* name) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    page->setAutoFillBackground(true);
    return page;
}

template <class Label = QLabel>
Label* MakeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new Label(text, parent);
    // Placed by hand and never resized: a new text then asks no layout pass
    // of the page, which live values would otherwise do many times a second.
    label->move(x, y);
    label->setFixedSize(w, h);
    label->setAlignment(align);
    return label;
}
} // namespace

void MainWindow::BuildChannelTabs(QWidget* client) {
    auto* tab0 = new QTabWidget(client);
    tab0->setObjectName(QStringLiteral("tab0"));
    tab0->setGeometry(6, 6, 258, 330);
    auto* frame2 = MakeTabPage("Frame2");
    auto* frame1 = MakeTabPage("Frame1");
    tab0->addTab(frame2, tr("Channels I"));
    tab0->addTab(frame1, tr("Channels II"));
    TakeFocusOnClick(tab0->tabBar());

    QFont valueFont = font();
    valueFont.setBold(true);
    valueFont.setPointSize(12);
    constexpr int kRow = 21;
    const auto& table = ChannelTable();
    for (int n = 0; n < kMeasuredChannels; ++n) {
        QWidget* page = n <= 10 ? frame2 : frame1;
        const int y = 6 + (n <= 10 ? n : n - 11) * kRow;
        const ChannelInitialTexts initial = InitialChannelTexts(n);
        auto* chk = new QCheckBox(QString::fromLatin1(table[n].name), page);
        chk->setObjectName(QStringLiteral("chk%1").arg(n));
        chk->setGeometry(6, y, 92, kRow);
        auto* scale = new QLineEdit(QString::fromLatin1(initial.txtEscala), page);
        scale->setObjectName(QStringLiteral("txtEscala%1").arg(n));
        scale->setGeometry(98, y + 1, 40, kRow - 2);
        // Repainted each tick it changes: drawn from its glyphs.
        auto* value = MakeLabel<NumberLabel>(page, QString::fromLatin1(initial.lblvalor), 140, y,
                                             72, kRow, Qt::AlignRight | Qt::AlignVCenter);
        value->setObjectName(QStringLiteral("lblvalor%1").arg(n));
        value->setFont(valueFont);
        value->setAutoFillBackground(true);
        auto* unit = MakeLabel(page, QString::fromLatin1(initial.lblUnit), 216, y, 34, kRow);
        unit->setObjectName(QStringLiteral("lblUnit%1").arg(n));
        ChannelControls& row = view_.channels;
        row.chk[n] = Own<QtWidgetControl>(chk);
        row.txtEscala[n] = Own<QtWidgetControl>(scale);
        row.lblvalor[n] = Own<QtWidgetControl>(value);
        row.lblUnit[n] = Own<QtWidgetControl>(unit);
    }

    // Status indicators under the channels, two to a row.
    struct Indicator {
        const char* caption;
        const char* name;
        Control* ChannelControls::*slot;
    };
    const Indicator indicators[] = {
        {"SELECTOR:", "lblselector", &ChannelControls::lblselector},
        {"CRANKING:", "lblCranking", &ChannelControls::lblCranking},
        {"STOP:", "lblStop", &ChannelControls::lblStop},
        {"FIRST:", "lblFirst", &ChannelControls::lblFirst},
        {"PULSE:", "lblPulse", &ChannelControls::lblPulse},
        {"ANTICIP:", "lblAnticip", &ChannelControls::lblAnticip},
    };
    for (int i = 0; i < 6; ++i) {
        const int x = 6 + (i % 2) * 122;
        const int y = 6 + 11 * kRow + 8 + (i / 2) * 20;
        MakeLabel(frame2, tr(indicators[i].caption), x, y, 72, 18);
        auto* indicator = MakeLabel(frame2, QString(), x + 72, y, 40, 18, Qt::AlignCenter);
        indicator->setObjectName(QString::fromLatin1(indicators[i].name));
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setAutoFillBackground(true);
        view_.channels.*(indicators[i].slot) = Own<QtWidgetControl>(indicator);
    }
    view_.channels.lblselector->SetText("0");
    view_.channels.lblPulse->SetText("LH");
    view_.windowBackground =
        Rgb(palette().color(QPalette::Window).red(), palette().color(QPalette::Window).green(),
            palette().color(QPalette::Window).blue());
}

void MainWindow::BuildParameterTabs(QWidget* client) {
    auto* tab2 = new QTabWidget(client);
    tab2->setObjectName(QStringLiteral("tab2"));
    tab2->setGeometry(6, 340, 258, 290);
    auto* fraParameters = MakeTabPage("fraParameters");
    auto* fraOptions = MakeTabPage("fraOptions");
    tab2->addTab(fraParameters, tr("Parameters"));
    tab2->addTab(fraOptions, tr("Options"));
    TakeFocusOnClick(tab2->tabBar());

    struct Field {
        const char* caption;
        const char* name;
        const char* unit; // empty: no unit label
        Control* ParameterControls::*slot;
    };
    const Field fields[] = {
        {"compensation", "txtCompensation", "%", &ParameterControls::txtCompensation},
        {"MAIN ANGLE", "txtMainAngle", "deg", &ParameterControls::txtMainAngle},
        {"EFI angle", "txtEFI_angle", "deg", &ParameterControls::txtEFI_angle},
        {"FUEL pump", "txtPump", "%", &ParameterControls::txtPump},
        {"THR MIN", "txtTHRmin", "", &ParameterControls::txtTHRmin},
        {"THR MAX", "txtTHRmax", "", &ParameterControls::txtTHRmax},
        {"Cut off:", "txtCorte", "rpm", &ParameterControls::txtCorte},
        {"EFI Factor:", "txtFactor", "us", &ParameterControls::txtFactor},
        {"EFI offset:", "txtOffset", "ms", &ParameterControls::txtOffset},
        {"Priming pulse:", "txtPriming", "ms", &ParameterControls::txtPriming},
        {"Dwell Time:", "txtDwell", "ms", &ParameterControls::txtDwell},
    };
    constexpr int kRow = 23;
    for (int i = 0; i < 11; ++i) {
        const Field& f = fields[i];
        const int y = 6 + i * kRow;
        MakeLabel(fraParameters, tr(f.caption), 6, y, 92, kRow - 2);
        auto* edit = new QLineEdit(fraParameters);
        edit->setObjectName(QString::fromLatin1(f.name));
        edit->setGeometry(100, y, 56, kRow - 3);
        fields_[i] = edit;
        view_.parameters.*(f.slot) = Own<QtWidgetControl>(edit);
        if (*f.unit) {
            auto* unit =
                MakeLabel(fraParameters, QString::fromLatin1(f.unit), 160, y, 30, kRow - 2);
            unit->setObjectName(QStringLiteral("lblfmt%1").arg(view_.maps.lblfmt.size()));
            unit->setVisible(false);
            view_.maps.lblfmt.push_back(Own<QtWidgetControl>(unit));
        }
    }
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QStringLiteral("..."), fraParameters);
        button->setObjectName(i == 0 ? QStringLiteral("cmdTHRmin") : QStringLiteral("cmdTHRmax"));
        button->setGeometry(160, 6 + (4 + i) * kRow, 28, kRow - 3);
        thrButtons_[i] = button;
    }
    auto* factor = MakeLabel(fraParameters, QString(), 192, 6 + 7 * kRow, 56, kRow - 2);
    factor->setObjectName(QStringLiteral("lblfactor"));
    auto* offset = MakeLabel(fraParameters, QString(), 192, 6 + 8 * kRow, 56, kRow - 2);
    offset->setObjectName(QStringLiteral("lbloffset"));
    view_.parameters.lblfactor = Own<QtWidgetControl>(factor);
    view_.parameters.lbloffset = Own<QtWidgetControl>(offset);

    const char* optionCaptions[] = {
        "EFI interpolation",    "IGN interpolation",    "ACCEL enrichment", "Engine TEMP comp.",
        "Negative pulse start", "Positive pulse start", "Voltage Boost",    "AIR temp comp.",
        "EFI on PUMP",          "TCI Ignition"};
    for (int i = 0; i < 10; ++i) {
        auto* box = new QCheckBox(tr(optionCaptions[i]), fraOptions);
        box->setGeometry(10, 8 + i * 24, 230, 22);
        optionBoxes_[i] = box;
        if (i < 8) {
            box->setObjectName(QStringLiteral("options%1").arg(i));
            view_.parameters.options[i] = Own<QtWidgetControl>(box);
        } else {
            box->setObjectName(QStringLiteral("options2_%1").arg(i - 8));
            view_.parameters.options2[i - 8] = Own<QtWidgetControl>(box);
        }
    }
}

void MainWindow::BuildMapArea(QWidget* client) {
    // Right: the live chart, the map tab strip and the tables.
    picRPM_ = new ChartWidget(QSize(Px(10845), Px(4095)), client);
    // The drawing area stands where the design puts it, its frame around it.
    picRPM_->move(Px(4050) - ChartWidget::kFrame, Px(120) - ChartWidget::kFrame);

    tab1_ = new QTabBar(client);
    tab1_->setObjectName(QStringLiteral("tab1"));
    tab1_->addTab(tr("MAP"));
    tab1_->addTab(tr("COMPENSATIONS"));
    tab1_->setExpanding(false);
    tab1_->setGeometry(Px(4050), Px(4290), Px(10845), 24);
    TakeFocusOnClick(tab1_);

    QFont titleFont = font();
    titleFont.setBold(true);
    struct Title {
        const char* name;
        const char* text;
        int top;
        Control* MapViewControls::*slot;
    };
    const Title titles[] = {
        {"lblFuelMap", "FUEL MAP 1", Px(5070) - 19, &MapViewControls::lblFuelMap},
        {"lblEngComp", "ENGINE COMPENSATION", Px(6120) - 18, &MapViewControls::lblEngComp},
        {"lblAirComp", "AIR COMPENSATION", Px(7440) - 18, &MapViewControls::lblAirComp},
        {"lblIgnitionMap", "IGNITION MAP 1", Px(8790) - 15, &MapViewControls::lblIgnitionMap},
    };
    for (const Title& t : titles) {
        auto* label = MakeLabel(client, tr(t.text), Px(4170), t.top, 400, 16);
        label->setObjectName(QString::fromLatin1(t.name));
        label->setFont(titleFont);
        view_.maps.*(t.slot) = Own<QtWidgetControl>(label);
    }

    struct Table {
        const char* name;
        int left, top, width, height;
        GridControl* MapGrids::*grid;
        EditBox* MainView::*box;
    };
    const Table tables[] = {
        {"grd_fuel", 4170, 5070, 10845, 3525, &MapGrids::grd_fuel, &MainView::txtgrd_fuel},
        {"grd_ign", 4170, 8790, 10845, 885, &MapGrids::grd_ign, &MainView::txtgrd_ign},
        {"grd3", 4200, 6120, 10845, 885, &MapGrids::grd3, &MainView::txtgrd3},
        {"grd4", 4200, 7440, 10845, 885, &MapGrids::grd4, &MainView::txtGrd4},
    };
    // The tables use a slightly smaller face so that "100.0%" fits the fixed
    // header column.
    QFont gridFont = font();
    gridFont.setPointSizeF(gridFont.pointSizeF() * 0.9);
    for (const Table& t : tables) {
        auto* control = new QtGridControl(t.name, client);
        control->setFont(gridFont);
        control->setGeometry(Px(t.left), Px(t.top), Px(t.width), Px(t.height));
        view_.grids.*(t.grid) = control;
    }
    // The boxes come after the grids so that they lie above them.
    const char* boxNames[] = {"txtgrd_fuel", "txtgrd_ign", "txtgrd3", "txtGrd4"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QtEditBox(client);
        box->setObjectName(QString::fromLatin1(boxNames[i]));
        box->resize(Px(1245), Px(300));
        box->hide();
        view_.*(tables[i].box) = box;
    }
    // The engine compensation title is never switched: on the map tab the fuel
    // map, drawn above it, covers it.
    view_.grids.grd3->SetVisible(false);
    view_.grids.grd4->SetVisible(false);
    view_.maps.lblAirComp->SetVisible(false);

    // Live-cell markers over the fuel and ignition maps.
    const char* markerNames[] = {"p", "p2"};
    for (int i = 0; i < 2; ++i) {
        auto* marker = new QFrame(client);
        marker->setObjectName(QString::fromLatin1(markerNames[i]));
        marker->resize(Px(120), Px(120));
        marker->setAutoFillBackground(true);
        QPalette red = marker->palette();
        red.setColor(QPalette::Window, QColor(255, 0, 0));
        marker->setPalette(red);
        marker->hide();
        (i == 0 ? view_.p : view_.p2) = Own<QtWidgetControl>(marker);
    }
}

void MainWindow::WireHandlers() {
    using Handler = void (ParameterFields::*)();
    const Handler validators[] = {
        &ParameterFields::txtCompensation_Validate, &ParameterFields::txtMainAngle_Validate,
        &ParameterFields::txtEFI_angle_Validate,    &ParameterFields::txtPump_Validate,
        &ParameterFields::txtTHRmin_Validate,       &ParameterFields::txtTHRmax_Validate,
        &ParameterFields::txtCorte_Validate,        &ParameterFields::txtFactor_Validate,
        &ParameterFields::txtOffset_Validate,       &ParameterFields::txtPriming_Validate,
        &ParameterFields::txtDwell_Validate,
    };
    // A field is handled when the user leaves it (or presses Enter) after
    // changing it; a text the program wrote (every refresh) is not the user's,
    // and a field the focus merely passes writes nothing.
    for (int i = 0; i < 11; ++i) {
        const Handler h = validators[i];
        QLineEdit* field = fields_[i];
        connect(field, &QLineEdit::editingFinished, this, [this, h, field] {
            if (!field->isModified()) return;
            field->setModified(false);
            const TuneControl::Step step(frm_->tune());
            (frm_->parameters().*h)();
        });
    }
    connect(thrButtons_[0], &QPushButton::clicked, this, [this] {
        const TuneControl::Step step(frm_->tune());
        frm_->parameters().cmdTHRmin_Click();
    });
    connect(thrButtons_[1], &QPushButton::clicked, this, [this] {
        const TuneControl::Step step(frm_->tune());
        frm_->parameters().cmdTHRmax_Click();
    });
    for (int i = 0; i < 10; ++i) {
        connect(optionBoxes_[i], &QCheckBox::clicked, this, [this, i] {
            const TuneControl::Step step(frm_->tune());
            if (i < 8)
                frm_->parameters().options_Click(i);
            else
                frm_->parameters().options2_Click(i - 8);
        });
    }
    // Whatever selects a tab (a click, the keyboard, a screen reader) switches
    // the tables, once per change.
    connect(tab1_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) frm_->tab1_Click(index + 1);
    });
    for (int k = 0; k < 2; ++k)
        connect(modeActions_[k], &QAction::triggered, this, [this, k] { frm_->mnMode_Click(k); });
}

void MainWindow::mnAuto_Click() {
    auto* frmAuto = new AutoDialog(frm_->detectionHost(), *ports_, frm_->texts(), this);
    frmAuto->Start();
}

void MainWindow::mnAbout_Click() {
    frm_->mnAbout_Click();
    const LanguageTexts& texts = frm_->texts();
    const auto say = [&texts](int entry) { return QString::fromStdString(texts.Text(entry)); };
    const QString builtWith = QString::fromStdString(texts.Format(
        text::kAboutBuiltWith, {QT_VERSION_STR, std::string_view(qVersion())}));
    // The menu entry's own caption, without its tooltip part.
    // Opened, not run: the window goes on (the link, the chart) while it is up.
    auto* box = new QMessageBox(
        QMessageBox::NoIcon, say(12).section(QLatin1Char('~'), 0, 0).trimmed(),
        QStringLiteral("<b>KAVRIN</b> %1<br>%2<br><br>%3<br><br>%4")
            .arg(QStringLiteral(KAVRIN_VERSION), say(text::kAboutPurpose).toHtmlEscaped(),
                 builtWith.toHtmlEscaped(), say(text::kAboutLicence).toHtmlEscaped()),
        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange && frm_) FitCaptions(this);
    // The activation handler belongs to activation among this program's own
    // windows: coming back from another program leaves an open box, and what
    // was typed into it, alone.
    if (event->type() == QEvent::ActivationChange && frm_) {
        if (!isActiveWindow())
            lostToOwnWindow_ = QApplication::activeWindow() != nullptr;
        else if (lostToOwnWindow_)
            frm_->Form_Activate();
    }
    QMainWindow::changeEvent(event);
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

    // Panels shown only while they have something to say.
    const auto hiddenPanel = [&](const char* name, int stretch) {
        auto* panel = new QLabel(barra);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->hide();
        row->addWidget(panel, stretch);
        return panel;
    };
    view_.logPanel = Own<QtWidgetControl>(hiddenPanel("barra_log", 3));
    notInEcu_ = hiddenPanel("barra_notInEcu", 2);
    view_.notInEcuPanel = Own<QtWidgetControl>(notInEcu_);
    view_.notePanel = Own<QtWidgetControl>(hiddenPanel("barra_note", 3));
}

void MainWindow::BindLanguageAndFiles() {
    view_.caption = Own<QtWindowCaption>(this);
    dialogs_ = std::make_unique<QtFileDialogs>(this);
    view_.dialogs = dialogs_.get();
    mnlan_ = std::make_unique<QtLanguageMenu>(languageMenu_, [this](int k) {
        if (!frm_) return;
        frm_->languages().mnlan_Click(k);
        RetranslateTune();
        FitCaptions(this);
        NameFixedParts(*this, view_, frm_->texts());
    });
    view_.mnLanguage = mnlan_.get();
    tagged_ = TagMainWindowControls(this);
    for (const auto& control : tagged_) view_.tagged.push_back(control.get());

    auto* tab0 = findChild<QTabWidget*>(QStringLiteral("tab0"));
    auto* tab2 = findChild<QTabWidget*>(QStringLiteral("tab2"));
    if (tab0) {
        view_.tabCaptions[0] = Own<QtTabCaption>(tab0, 0);
        view_.tabCaptions[1] = Own<QtTabCaption>(tab0, 1);
    }
    if (tab2) {
        view_.tabCaptions[2] = Own<QtTabCaption>(tab2, 0);
        view_.tabCaptions[3] = Own<QtTabCaption>(tab2, 1);
    }
    if (tab1_) {
        view_.tabCaptions[4] = Own<QtTabCaption>(tab1_, 0);
        view_.tabCaptions[5] = Own<QtTabCaption>(tab1_, 1);
    }
}

void MainWindow::WireSettingsAndFiles() {
    connect(openAction_, &QAction::triggered, this, [this] {
        frmKAVRIN& frm = *frm_;
        const TuneControl::Step step(frm.tune(), [&frm] {
            return ItemNames(frm.config(), frm.state().DataFormat, frm.texts())
                .LoadFileName(frm.files().caption());
        });
        frm.files().mnOpen_Click();
    });
    connect(saveAction_, &QAction::triggered, this, [this] { frm_->files().mnSave_Click(); });
    for (int n = 0; n < kMeasuredChannels; ++n) {
        if (auto* chk = findChild<QCheckBox*>(QStringLiteral("chk%1").arg(n)))
            connect(chk, &QCheckBox::clicked, this, [this, n] { frm_->chk_Click(n); });
        if (auto* scale = findChild<QLineEdit*>(QStringLiteral("txtEscala%1").arg(n)))
            connect(scale, &QLineEdit::editingFinished, this,
                    [this, n] { frm_->txtEscala_Validate(n); });
    }
}

} // namespace kavrin

namespace kavrin {

void MainWindow::BuildTuneMenus(QMenu* file) {
    compareAction_ = file->addAction(tr("Compare with..."));
    compareAction_->setObjectName(QStringLiteral("mnCompare"));
    recentMenu_ = file->addMenu(tr("Recent ECU configurations"));
    recentMenu_->setObjectName(QStringLiteral("mnRecent"));

    editMenu_ = new QMenu(tr("Edit"), this);
    menuBar()->insertMenu(menuBar()->actions().value(1), editMenu_);
    undoAction_ = editMenu_->addAction(QString());
    undoAction_->setObjectName(QStringLiteral("mnUndo"));
    undoAction_->setShortcut(QKeySequence::Undo);
    redoAction_ = editMenu_->addAction(QString());
    redoAction_->setObjectName(QStringLiteral("mnRedo"));
    redoAction_->setShortcut(QKeySequence::Redo);
}

void MainWindow::WireTune() {
    // Inside a text field its own text undo keeps the keys: a line edit with
    // the focus takes the standard undo and redo shortcuts before the menu's.
    connect(undoAction_, &QAction::triggered, this, [this] { frm_->tune().mnUndo_Click(); });
    connect(redoAction_, &QAction::triggered, this, [this] { frm_->tune().mnRedo_Click(); });
    connect(editMenu_, &QMenu::aboutToShow, this, [this] { RetranslateTune(); });
    connect(compareAction_, &QAction::triggered, this, [this] { frm_->tune().mnCompare_Click(); });
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
}

void MainWindow::RetranslateTune() {
    const TuneControl& tune = frm_->tune();
    undoAction_->setText(QString::fromStdString(tune.UndoText()));
    redoAction_->setText(QString::fromStdString(tune.RedoText()));
    undoAction_->setEnabled(tune.CanUndo());
    redoAction_->setEnabled(tune.CanRedo());
    notInEcu_->setAccessibleName(
        QString::fromStdString(frm_->texts().Text(tune_texts::kNotInEcu)));
}

void MainWindow::FillRecentMenu() {
    recentMenu_->clear();
    TuneControl& tune = frm_->tune();
    const LanguageTexts& texts = frm_->texts();
    for (const BackupEntry& entry : tune.RecentConfigurations()) {
        QMenu* item = recentMenu_->addMenu(QString::fromStdString(tune.BackupLabel(entry)));
        const std::string path = entry.path;
        QAction* open =
            item->addAction(QString::fromStdString(texts.Text(tune_window_texts::kOpenBackup)));
        connect(open, &QAction::triggered, this,
                [this, path] { frm_->tune().mnRecentOpen_Click(path); });
        QAction* compare =
            item->addAction(QString::fromStdString(texts.Text(tune_window_texts::kCompareBackup)));
        connect(compare, &QAction::triggered, this,
                [this, path] { frm_->tune().CompareWith(path); });
    }
}

void MainWindow::AskBeforeClosing() {
    if (closeAsked_) return;
    closeAsked_ = true;
    const LanguageTexts& texts = frm_->texts();
    auto say = [&texts](int entry) { return QString::fromStdString(texts.Text(entry)); };
    auto* box = new QMessageBox(QMessageBox::Question, windowTitle(),
                                say(tune_texts::kUnsavedQuestion),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box->setObjectName(QStringLiteral("unsavedBox"));
    box->button(QMessageBox::Yes)->setText(say(tune_window_texts::kSave));
    box->button(QMessageBox::No)->setText(say(tune_texts::kCloseWithoutSaving));
    box->button(QMessageBox::Cancel)->setText(say(tune_window_texts::kCancel));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        closeAsked_ = false;
        const auto answer = box->standardButton(box->clickedButton());
        if (answer == QMessageBox::Yes) {
            // Closes once the tune is saved; a cancelled or failed save keeps the window.
            frm_->files().mnSave_Click([this] {
                if (frm_->tune().HasUnsavedWork()) return;
                closeAnswered_ = true;
                close();
            });
            return;
        }
        if (answer != QMessageBox::No) return;
        closeAnswered_ = true;
        close();
    });
    box->open();
}

} // namespace kavrin
