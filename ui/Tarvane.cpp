#include "ui/Tarvane.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "core/crs/Registry.h"
#include "core/setup/Units.h"
#include "ui/About.h"
#include "ui/Artwork.h"
#include "ui/DesignDialog.h"
#include "ui/EpsgDialog.h"

const QString Tarvane::kTitle = QStringLiteral("TARVANE");

namespace {

// The form was laid out in twips; 15 twips make one device-independent pixel.
int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }
QRect tw(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// A label takes the width of its caption and keeps its height. A label that
// shows a value carries what it is as its accessible description; a screen
// reader gets both as its name, which Qt announces anew on every change.
void setCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->resize(label->fontMetrics().horizontalAdvance(caption), label->height());
    if (!label->accessibleDescription().isEmpty())
        label->setAccessibleName(label->accessibleDescription() + QLatin1Char(' ') + caption);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, QRect place) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCaption(label, caption);
    return label;
}

QLineEdit* makeText(QWidget* parent, const QString& name, const QString& text, QRect place) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    box->setText(text);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, QRect place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

// An option button keeps its place; it grows only where its caption needs it.
QRadioButton* makeOption(QWidget* parent, const QString& name, const QString& caption, QRect place) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    place.setWidth(std::max(place.width(), option->sizeHint().width()));
    option->setGeometry(place);
    return option;
}

QComboBox* makeList(QWidget* parent, const QString& name, const QStringList& entries, QRect place) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->addItems(entries);
    list->setGeometry(place);
    return list;
}

QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption, QRect place) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(place);
    return frame;
}

// Runs the handler when the user chooses the option. A click on the option
// that is already chosen changes nothing: for the parallels it would wipe
// both typed parallels.
void onChosen(QRadioButton* option, QObject* context, std::function<void()> handler) {
    QObject::connect(option, &QRadioButton::pressed, context,
                     [option] { option->setProperty("wasChosen", option->isChecked()); });
    QObject::connect(option, &QRadioButton::clicked, context, [option, handler](bool checked) {
        if (checked && !option->property("wasChosen").toBool()) handler();
    });
}

template <std::size_t N>
QStringList listOf(const std::array<const char*, N>& names) {
    QStringList list;
    for (const char* name : names) list << QLatin1String(name);
    return list;
}

QString arrayName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

}  // namespace

void Tarvane::applyLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The form's places were measured for captions of this width: an 11-pixel
    // sans serif, slightly condensed, keeps every caption inside its place.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setStretch(95);
    QApplication::setFont(font);
}

char Tarvane::decimalSeparator() {
    return QLocale::system().decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

Tarvane::Tarvane(MessageFunction messages, QWidget* parent)
    : QMainWindow(parent),
      messages_(std::move(messages)),
      // A message box shows the form as it stands at that moment.
      calc_(decimalSeparator(), [this](const std::string& text) {
          refresh();
          showMessage(QString::fromStdString(text));
      }) {
    setObjectName(QStringLiteral("Tarvane"));
    setWindowTitle(QStringLiteral("  TARVANE  FREEWARE"));
    setWindowIcon(Artwork::icon());
    buildMenu();
    buildControls();
    setTabOrderChain();
    setAccessibleNames();
    setFixedSize(sizeHint());
    connect(qApp, &QApplication::focusChanged, this, &Tarvane::onFocusChanged);
    Form_Load();
}

Tarvane::~Tarvane() {
    // The controls are deleted after this object has stopped being a
    // Tarvane; no focus handling may reach it meanwhile.
    disconnect(qApp, nullptr, this, nullptr);
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->removeEventFilter(this);
}

void Tarvane::buildMenu() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileEpsg = mnuFile->addAction(QStringLiteral("Projection from EPSG\u2026"));
    mnuFileEpsg->setObjectName(QStringLiteral("mnuFileEpsg"));
    connect(mnuFileEpsg, &QAction::triggered, this, &Tarvane::mnuFileEpsg_Click);
    mnuFileDesign = mnuFile->addAction(QStringLiteral("Design a low-distortion grid\u2026"));
    mnuFileDesign->setObjectName(QStringLiteral("mnuFileDesign"));
    connect(mnuFileDesign, &QAction::triggered, this, &Tarvane::mnuFileDesign_Click);
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(mnuFileExit, &QAction::triggered, this, &Tarvane::mnuFileExit_Click);

    QMenu* mnuAbout = menuBar()->addMenu(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAboutAbout = mnuAbout->addAction(QStringLiteral("About"));
    mnuAboutAbout->setObjectName(QStringLiteral("mnuAboutAbout"));
    connect(mnuAboutAbout, &QAction::triggered, this, &Tarvane::mnuAboutAbout_Click);
}

void Tarvane::buildControls() {
    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(7695), px(6285));
    setCentralWidget(client);
    QWidget* w = client;

    // Position band.
    Label1[0] = makeLabel(w, "Label1(0)", "Latitude", tw(120, 240, 570, 195));
    txtLat = makeText(w, "txtLat", "txtLat", tw(960, 240, 1455, 285));
    Label1[1] = makeLabel(w, "Label1(1)", "Longitude", tw(120, 720, 705, 195));
    txtLon = makeText(w, "txtLon", "txtLon", tw(960, 720, 1455, 285));
    Label1[2] = makeLabel(w, "Label1(2)", "Northing", tw(2520, 240, 600, 195));
    txtNorthing = makeText(w, "txtNorthing", "txtNorth", tw(3240, 240, 1095, 285));
    lblUnit[0] = makeLabel(w, "lblUnit(0)", "m", tw(4440, 360, 120, 195));
    Label1[3] = makeLabel(w, "Label1(3)", "Easting", tw(2520, 720, 525, 195));
    txtEasting = makeText(w, "txtEasting", "txtEast", tw(3240, 720, 1095, 285));
    lblUnit[1] = makeLabel(w, "lblUnit(1)", "m", tw(4440, 720, 120, 195));
    Label1[13] = makeLabel(w, "Label1(13)", "Iterations :", tw(3120, 1080, 735, 195));
    lblTest = makeLabel(w, "lblTest", "n/a", tw(3960, 1080, 255, 195));

    cmdConvert[0] = makeButton(w, "cmdConvert(0)", "Convert  >", tw(1080, 1320, 1215, 495));
    cmdInit = makeButton(w, "cmdInit", "INITIALIZE", tw(2160, 1320, 1215, 495));
    cmdConvert[1] = makeButton(w, "cmdConvert(1)", "<  Convert", tw(3240, 1320, 1215, 495));
    connect(cmdInit, &QPushButton::clicked, this, &Tarvane::cmdInit_Click);
    for (std::int16_t i = 0; i < 2; ++i) {
        connect(cmdConvert[i], &QPushButton::clicked, this, [this, i] { cmdConvert_Click(i); });
    }

    frmTransformationData = makeFrame(w, "frmTransformationData", "Transformation data",
                                      tw(5160, 120, 2295, 1335));
    QWidget* f = frmTransformationData;
    Label1[8] = makeLabel(f, "Label1(8)", "Scale factor : ", tw(120, 240, 990, 195));
    lblScaleFactor = makeLabel(f, "lblScaleFactor", "n/a", tw(1200, 240, 255, 195));
    Label1[12] = makeLabel(f, "Label1(12)", "Radius of curvature in  the ..", tw(120, 480, 2010, 195));
    Label1[9] = makeLabel(f, "Label1(9)", ".. meridian :", tw(480, 720, 810, 195));
    lblMeridianRadius = makeLabel(f, "lblMeridianRadius", "n/a", tw(1320, 720, 255, 195));
    Label1[11] = makeLabel(f, "Label1(11)", ".. prime vertical :", tw(120, 960, 1155, 195));
    lblNormalRadius = makeLabel(f, "lblNormalRadius", "n/a", tw(1320, 960, 255, 195));

    // Co-ordinate system, datum and unit.
    FrafrmDatum = makeFrame(w, "FrafrmDatum", "Co-ordinate system and Geodetic Datum",
                            tw(360, 1920, 6855, 1335));
    f = FrafrmDatum;
    const char* systems[3] = {"User Defined", "US State Plane 1983", "US State Plane 1927"};
    for (std::int16_t i = 0; i < 3; ++i) {
        optCoordSystem[i] = makeOption(f, arrayName("optCoordSystem", i), systems[i],
                                       tw(120, 240 + 360 * i, 1815, 255));
        onChosen(optCoordSystem[i], this, [this, i] { optCoordSystem_Click(i); });
    }
    Label1[4] = makeLabel(f, "Label1(4)", "Geodetic Datum ", tw(2040, 240, 1200, 195));
    cmbDatum = makeList(f, "cmbDatum", listOf(kDatumNames), tw(3360, 180, 1095, 315));
    cmbZone = makeList(f, "cmbZone", {}, tw(2040, 600, 2415, 315));
    cmbZone->hide();
    Label1[16] = makeLabel(f, "Label1(16)", "Units ", tw(4800, 240, 405, 195));
    cmbUnit = makeList(f, "cmbUnit", listOf(kUnitTags), tw(5280, 180, 1215, 315));
    Label1[10] = makeLabel(f, "Label1(10)", "( 1 m = 3.28083333333 USft )", tw(4680, 600, 2100, 195));
    connect(cmbDatum, &QComboBox::activated, this, &Tarvane::cmbDatum_Click);
    connect(cmbZone, &QComboBox::activated, this, &Tarvane::cmbZone_Click);
    connect(cmbUnit, &QComboBox::activated, this, &Tarvane::cmbUnit_Click);

    // Projection parameters.
    frmSetuo = makeFrame(w, "frmSetuo", "TARVANE Conformal  Projection Parameters",
                         tw(360, 3360, 6855, 2415));
    f = frmSetuo;
    optParallel[0] = makeOption(f, "optParallel(0)", "One Standard Parallel", tw(360, 240, 2055, 255));
    optParallel[1] = makeOption(f, "optParallel(1)", "Two Standard Parallels", tw(360, 600, 1935, 255));
    for (std::int16_t i = 0; i < 2; ++i) {
        onChosen(optParallel[i], this, [this, i] { optParallel_Click(i); });
    }
    lblParallel[0] = makeLabel(f, "lblParallel(0)", "Latitude of Origin ", tw(2520, 240, 1245, 195));
    txtParallel[0] = makeText(f, "txtParallel(0)", "txtParallel(0)", tw(4440, 240, 1455, 285));
    lblParallel[1] = makeLabel(f, "lblParallel(1)", "Southern Standard Parallel ", tw(2520, 600, 1935, 195));
    txtParallel[1] = makeText(f, "txtParallel(1)", "txtParallel(1)", tw(4440, 600, 1455, 285));
    lblParallel[2] = makeLabel(f, "lblParallel(2)", "Northern Standard Parallel ", tw(2520, 960, 1905, 195));
    txtParallel[2] = makeText(f, "txtParallel(2)", "txtParallel(2)", tw(4440, 960, 1455, 285));
    Label1[5] = makeLabel(f, "Label1(5)", "Cenral Meridian", tw(3240, 1320, 1095, 195));
    txtCentralMeridian = makeText(f, "txtCentralMeridian", "txtCentralMeridian", tw(4440, 1320, 1455, 285));
    Label1[6] = makeLabel(f, "Label1(6)", "False Northing", tw(3240, 1680, 1020, 195));
    txtFalseNorthing = makeText(f, "txtFalseNorthing", "txtFalseNorthing", tw(4440, 1680, 1455, 285));
    lblUnit[2] = makeLabel(f, "lblUnit(2)", "m", tw(6000, 1800, 120, 195));
    Label1[7] = makeLabel(f, "Label1(7)", "False Easting", tw(3240, 2040, 945, 195));
    txtFalseEasting = makeText(f, "txtFalseEasting", "txtFalseEasting", tw(4440, 2040, 1455, 285));
    lblUnit[3] = makeLabel(f, "lblUnit(3)", "m", tw(6000, 2040, 120, 195));

    for (QLineEdit* box : {txtParallel[0], txtParallel[1], txtParallel[2], txtCentralMeridian,
                           txtFalseNorthing, txtFalseEasting}) {
        connect(box, &QLineEdit::textChanged, this, &Tarvane::txtParameter_Change);
    }
    for (QLineEdit* box : {txtLat, txtLon, txtNorthing, txtEasting, txtParallel[0], txtParallel[1],
                           txtParallel[2], txtCentralMeridian, txtFalseNorthing, txtFalseEasting}) {
        box->installEventFilter(this);
    }

    lblFreeware[0] = makeLabel(w, "lblFreeware(0)",
                               "Free software, provided as is, without warranty of any kind.",
                               tw(1080, 5760, 4620, 195));
    lblFreeware[1] = makeLabel(w, "lblFreeware(1)",
                               "Check important results against an independent source.",
                               tw(1080, 6000, 4695, 195));
}

// Names a screen reader gives the controls, so that fields whose captions
// are short ("m") or absent can be told apart.
void Tarvane::setAccessibleNames() {
    const std::pair<QWidget*, const char*> names[] = {
        {txtLat, "Latitude"},
        {txtLon, "Longitude"},
        {txtNorthing, "Northing"},
        {txtEasting, "Easting"},
        {cmdConvert[0], "Convert latitude and longitude to northing and easting"},
        {cmdConvert[1], "Convert northing and easting to latitude and longitude"},
        {cmdInit, "Initialize the projection"},
        {cmbDatum, "Geodetic datum"},
        {cmbZone, "State Plane zone"},
        {cmbUnit, "Grid unit"},
        {txtParallel[0], "Latitude of origin"},
        {txtParallel[1], "Southern standard parallel"},
        {txtParallel[2], "Northern standard parallel"},
        {txtCentralMeridian, "Central meridian"},
        {txtFalseNorthing, "False northing"},
        {txtFalseEasting, "False easting"},
    };
    for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromLatin1(name));
    // Labels that show a value: what they are, then the value they show.
    const std::pair<QLabel*, const char*> values[] = {
        {lblScaleFactor, "Scale factor"},
        {lblMeridianRadius, "Radius of curvature in the meridian"},
        {lblNormalRadius, "Radius of curvature in the prime vertical"},
        {lblTest, "Iterations"},
        {lblUnit[0], "Unit of the northing"},
        {lblUnit[1], "Unit of the easting"},
        {lblUnit[2], "Unit of the false northing"},
        {lblUnit[3], "Unit of the false easting"},
    };
    for (const auto& [label, what] : values) {
        label->setAccessibleDescription(QString::fromLatin1(what));
        setCaption(label, label->text());
    }
}

void Tarvane::setTabOrderChain() {
    QWidget* order[] = {txtLat,         txtLon,         txtNorthing,       txtEasting,
                        cmdConvert[0],  cmdConvert[1],  cmdInit,           optCoordSystem[0],
                        optCoordSystem[1], optCoordSystem[2], cmbDatum,    cmbUnit,
                        cmbZone,        optParallel[0], optParallel[1],    txtParallel[0],
                        txtParallel[1], txtParallel[2], txtCentralMeridian, txtFalseNorthing,
                        txtFalseEasting};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Tarvane::showMessage(const QString& text) {
    if (messages_) {
        messages_(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, this);
    // No icon anywhere, not even the one some styles put on the OK button.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

// --- Commands: texts in, the calculator's command, its state out -------------

std::array<QLineEdit*, Calc::kFieldCount> Tarvane::boxes() const {
    return {txtLat,         txtLon,         txtNorthing,        txtEasting,       txtParallel[0],
            txtParallel[1], txtParallel[2], txtCentralMeridian, txtFalseNorthing, txtFalseEasting};
}

void Tarvane::run(const std::function<void()>& command) {
    const auto all = boxes();
    for (std::size_t i = 0; i < all.size(); ++i) calc_.Edit(static_cast<Calc::Field>(i), all[i]->text().toStdString());
    command();
    refresh();
}

void Tarvane::refresh() {
    const Calc::FormState& s = calc_.State();
    if (cmbZone->count() != static_cast<int>(s.zoneList.size())) {
        cmbZone->clear();
        for (std::size_t i = 0; i < s.zoneList.size(); ++i)
            cmbZone->addItem(QString::fromStdString(s.zoneList[i]), int(calc_.ZoneNumber(static_cast<int>(i))));
    }
    optCoordSystem[s.coordSystem]->setChecked(true);
    optParallel[s.oneParallel ? 0 : 1]->setChecked(true);
    cmbZone->setCurrentIndex(s.zone);
    cmbDatum->setCurrentIndex(s.datum);
    cmbUnit->setCurrentIndex(s.unit);
    const auto all = boxes();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const QString text = QString::fromStdString(s.text[i]);
        if (all[i]->text() == text) continue;
        const QSignalBlocker quiet(all[i]);  // the calculator has the text already
        all[i]->setText(text);
    }
    const auto show = [](QLabel* label, const std::string& caption) {
        if (label->text() != QString::fromStdString(caption)) setCaption(label, QString::fromStdString(caption));
    };
    for (QLabel* label : lblUnit) show(label, s.lblUnit);
    show(lblParallel[1], s.lblParallel1);
    show(lblTest, s.lblTest);
    show(lblScaleFactor, s.lblScaleFactor);
    show(lblMeridianRadius, s.lblMeridianRadius);
    show(lblNormalRadius, s.lblNormalRadius);
    const QString rowName = s.oneParallel ? QStringLiteral("Scale factor") : QStringLiteral("Southern standard parallel");
    if (txtParallel[1]->accessibleName() != rowName) txtParallel[1]->setAccessibleName(rowName);
    for (QWidget* c : std::initializer_list<QWidget*>{cmbDatum, cmbUnit, optParallel[0], optParallel[1], txtParallel[0],
                                                      txtParallel[1], txtParallel[2], txtCentralMeridian,
                                                      txtFalseNorthing, txtFalseEasting})
        c->setEnabled(s.parametersEnabled);
    cmbZone->move(cmbZone->x(), optCoordSystem[s.zoneListRow]->y());
    cmbZone->setVisible(s.zoneListShown);
    lblParallel[2]->setVisible(s.northernRowShown);
    txtParallel[2]->setVisible(s.northernRowShown);
    // As the form does it: the button that comes first, then those that go.
    cmdInit->setVisible(!s.initialized);
    cmdConvert[0]->setVisible(s.initialized);
    cmdConvert[1]->setVisible(s.initialized);
}

void Tarvane::Form_Load() {
    calc_.StartFromFile();
    refresh();
}

void Tarvane::cmdInit_Click() { run([this] { calc_.Initialize(); }); }
void Tarvane::cmdConvert_Click(std::int16_t Index) { run([this, Index] { calc_.Convert(Index); }); }
void Tarvane::optCoordSystem_Click(std::int16_t Index) { run([this, Index] { calc_.ChooseSystem(Index); }); }
void Tarvane::cmbZone_Click() { run([this] { calc_.ChooseZone(cmbZone->currentIndex()); }); }
void Tarvane::cmbUnit_Click() { run([this] { calc_.ChooseUnit(cmbUnit->currentIndex()); }); }
void Tarvane::cmbDatum_Click() { run([this] { calc_.ChooseDatum(cmbDatum->currentIndex()); }); }
void Tarvane::optParallel_Click(std::int16_t Index) { run([this, Index] { calc_.ChooseParallels(Index); }); }
void Tarvane::txtParameter_Change() { run([] {}); }

void Tarvane::txtAngle_LostFocus(QLineEdit* box) {
    const auto all = boxes();
    const auto at = std::find(all.begin(), all.end(), box);
    if (at != all.end()) run([this, field = static_cast<Calc::Field>(at - all.begin())] { calc_.Leave(field); });
}

// --- Field focus --------------------------------------------------------------

// Lost focus counts only when the focus moves to another control of this
// window: a menu, a message box or another window is not a move. A message
// box shown while a field is being left does not start a second round.
void Tarvane::onFocusChanged(QWidget* old, QWidget* now) {
    if (inLostFocus_ || exiting_) return;
    auto* box = qobject_cast<QLineEdit*>(old);
    if (!box || box->window() != this || !now || now->window() != this) return;
    inLostFocus_ = true;
    txtAngle_LostFocus(box);
    inLostFocus_ = false;
}

bool Tarvane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (box && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            box->selectAll();
            // A mouse press places the cursor after the focus arrives; select
            // again once the press has been handled.
            if (reason == Qt::MouseFocusReason) QTimer::singleShot(0, box, &QLineEdit::selectAll);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Menus, exit and About ---------------------------------------------------------

bool Tarvane::Store_Tarvane() {
    bool stored = false;
    run([this, &stored] { stored = calc_.StoreToFile(); });
    return stored;
}

// The registry is read on first use, so that a missing database costs
// nothing but this entry.
void Tarvane::mnuFileEpsg_Click() {
    if (!epsg_) {
        std::vector<Epsg::Grid> grids;
        QApplication::setOverrideCursor(Qt::WaitCursor);  // reading a thousand grids takes a moment
        try {
            grids = Epsg::Registry().List();
        } catch (const Epsg::Error& error) {
            QApplication::restoreOverrideCursor();
            showMessage(QString::fromStdString(error.what()) + QLatin1Char('.'));
            return;
        }
        QApplication::restoreOverrideCursor();
        epsg_ = new EpsgDialog(grids, decimalSeparator(), this);
        connect(epsg_, &QDialog::accepted, this,
                [this] { run([this] { calc_.TypeFields(epsg_->chosenFields()); }); });
    }
    epsg_->open();
}

// The design is made on the form's datum and unit, beside the grid the
// window has set up, if any.
void Tarvane::mnuFileDesign_Click() {
    if (!design_) {
        design_ = new DesignDialog(this);
        connect(design_, &QDialog::accepted, this,
                [this] { run([this] { calc_.TypeFields(design_->chosenFields()); }); });
    }
    const Calc::FormState& form = calc_.State();
    DesignDialog::WindowGrid grid;
    grid.datum = static_cast<Datum>(form.datum);
    grid.unit = static_cast<GridUnit>(form.unit);
    grid.decimalSeparator = decimalSeparator();
    if (form.initialized) {
        grid.current = ProjectionSetup::ReadFields(calc_.Fields(), [](const std::string&) {});
        grid.currentName = optCoordSystem[static_cast<std::size_t>(form.coordSystem)]->text().toStdString();
        if (form.coordSystem != 0 && form.zone >= 0)
            grid.currentName += ", zone " + QString::fromStdString(form.zoneList[static_cast<std::size_t>(form.zone)])
                                                    .trimmed()
                                                    .toStdString();
    }
    design_->setWindowGrid(grid);
    design_->open();
}

void Tarvane::mnuFileExit_Click() {
    if (exiting_) return;
    exiting_ = true;
    Store_Tarvane();
    if (about_) about_->close();
    hide();
    emit programEnded();
}

void Tarvane::closeEvent(QCloseEvent* event) {
    // Closing the window leaves the same way as File > Exit, and only once.
    if (!exiting_) mnuFileExit_Click();
    event->accept();
}

void Tarvane::mnuAboutAbout_Click() {
    if (!about_) about_ = std::make_unique<About>();
    if (!about_->isVisible()) about_->Form_Load(*this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}
