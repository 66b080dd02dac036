#include "ui/Tarvane.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
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

#include <cmath>

#include "ui/About.h"
#include "ui/EpsgDialog.h"
#include "core/crs/Registry.h"
#include "core/setup/Antimeridian.h"
#include "core/text/AngleText.h"
#include "ui/Artwork.h"
#include "core/text/NumberText.h"
#include "core/setup/Causes.h"
#include "core/setup/ProjectionSetup.h"
#include "core/settings/Settings.h"
#include "engine/Tarvane_Module.h"

using namespace Tarvane_Module;

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

// A failure of the engine as the window says it: what could not be done, the
// kind, and the cause as a sentence, with the window's own advice where the
// user can mend it here.
QString failureMessage(const char* what, Causes::Step step, ArithmeticErrorKind kind, const char* advice = "") {
    QString cause = QString::fromUtf8(Causes::Cause(step, kind));
    cause[0] = cause[0].toUpper();
    return QString::fromLatin1(what) + QStringLiteral(": ") + QLatin1String(Causes::KindName(kind)) +
           QStringLiteral(". ") + cause + QLatin1String(advice) + QLatin1Char('.');
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
    : QMainWindow(parent), messages_(std::move(messages)) {
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

// The buttons show the state: INITIALIZE alone, or the two convert buttons.
void Tarvane::setInitialized(bool initialized) {
    initialized_ = initialized;
    if (initialized) {
        cmdInit->hide();
        cmdConvert[0]->show();
        cmdConvert[1]->show();
    } else {
        cmdInit->show();
        cmdConvert[0]->hide();
        cmdConvert[1]->hide();
    }
}

void Tarvane::enterNotInitialized() { setInitialized(false); }

QString Tarvane::formatAngle(double degrees, const char* type) const {
    return QString::fromStdString(HrHms(degrees, type, "form", 3, decimalSeparator()));
}

// The patterns "0.00", "0.0" and "0.000000000": no grouping, the regional
// decimal separator, and no minus sign on a value that shows as zero.
QString Tarvane::formatFixed(double value, int decimals) const {
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2)
        text.remove(0, 1);
    if (decimalSeparator() == ',') text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

double Tarvane::readAngle(const QLineEdit* box, const char* type) {
    return HmsHr(box->text().toStdString(), type,
                 [this](const std::string& message) { showMessage(QString::fromStdString(message)); });
}

// --- Initialize -----------------------------------------------------------

void Tarvane::cmdInit_Click() {
    ProjectionSetup::ParameterFields fields;
    fields.datum = static_cast<Datum>(std::max(cmbDatum->currentIndex(), 0));
    fields.unit = unitTag_ == QLatin1String(UnitTag(GridUnit::USFeet)) ? GridUnit::USFeet : GridUnit::Metre;
    fields.oneParallel = optParallel[0]->isChecked();
    for (int i = 0; i < 3; ++i) fields.parallel[i] = txtParallel[i]->text().toStdString();
    fields.centralMeridian = txtCentralMeridian->text().toStdString();
    fields.falseNorthing = txtFalseNorthing->text().toStdString();
    fields.falseEasting = txtFalseEasting->text().toStdString();

    try {
        ProjectionSetup::SetupFromFields(fields, [this](const std::string& message) {
            showMessage(QString::fromStdString(message));
        });
    } catch (const ArcSinDomainError&) {
        showMessage(QStringLiteral("ARCSINUS DATA ERROR"));
        return;
    } catch (const ArithmeticError& error) {
        const bool equalParallels = error.kind() == ArithmeticErrorKind::InvalidOperation;
        showMessage(failureMessage("The projection cannot be set up from these parameters", Causes::Step::SetUp,
                                   error.kind(),
                                   equalParallels ? "; for a single parallel choose \"One Standard Parallel\"" : ""));
        return;
    } catch (const ProjectionSetup::ScaleFactorError& error) {
        showMessage(QString::fromStdString(error.what()));
        return;
    }
    setInitialized(true);
}

// --- Convert --------------------------------------------------------------

void Tarvane::cmdConvert_Click(std::int16_t Index) {
    double lat = 0.0;
    // Which of the three steps is running, for the message if it fails.
    const char* what = Index == 0 ? "The position cannot be converted" : "The grid position cannot be converted";
    Causes::Step step = Index == 0 ? Causes::Step::Forward : Causes::Step::Inverse;
    try {
        if (Index == 0) {
            lat = readAngle(txtLat, "LAT") * kDegToRad;
            const double lon = Antimeridian::ToEngine(readAngle(txtLon, "LON") * kDegToRad);
            double easting = 0.0;
            double northing = 0.0;
            GeoToGrid(lat, lon, easting, northing);
            if (unitTag_ == QLatin1String("USFeet")) {
                northing = northing * kFeetPerMetre;
                easting = easting * kFeetPerMetre;
            }
            txtNorthing->setText(formatFixed(northing, 2));
            txtEasting->setText(formatFixed(easting, 2));
            setCaption(lblTest, QStringLiteral("n/a"));
        } else {
            double northing = XVal(txtNorthing->text().toStdString());
            double easting = XVal(txtEasting->text().toStdString());
            if (unitTag_ == QLatin1String("USFeet")) {
                northing = northing / kFeetPerMetre;
                easting = easting / kFeetPerMetre;
            }
            double lon = 0.0;
            std::int16_t iterations = 0;
            GridToGeo(easting, northing, lat, lon, iterations);
            txtLat->setText(formatAngle(lat * kRadToDeg, "LAT"));
            txtLon->setText(formatAngle(Antimeridian::FromEngine(lon) * kRadToDeg, "LON"));
            setCaption(lblTest, QString::number(iterations));
        }
        what = "The transformation data cannot be computed at this latitude";
        step = Causes::Step::Forward;
        setCaption(lblScaleFactor, formatFixed(PointScaleFactor(lat), 9));
        setCaption(lblMeridianRadius, formatFixed(MeridianRadius(lat), 1) + QStringLiteral(" m"));
        setCaption(lblNormalRadius, formatFixed(PrimeVerticalRadius(lat), 1) + QStringLiteral(" m"));
    } catch (const ArithmeticError& error) {
        showMessage(failureMessage(what, step, error.kind()));
    }
}

// --- Options ----------------------------------------------------------------

void Tarvane::selectCoordSystem(std::int16_t index) {
    optCoordSystem[index]->setChecked(true);
    optCoordSystem_Click(index);
}

void Tarvane::selectParallel(std::int16_t index) {
    optParallel[index]->setChecked(true);
    optParallel_Click(index);
}

void Tarvane::setZoneIndex(int index) {
    cmbZone->setCurrentIndex(index);
    if (cmbZone->currentIndex() >= 0) cmbZone_Click();
}

void Tarvane::setDatumIndex(int index) {
    cmbDatum->setCurrentIndex(index);
    if (cmbDatum->currentIndex() >= 0) cmbDatum_Click();
}

void Tarvane::setUnitIndex(int index) {
    cmbUnit->setCurrentIndex(index);
    if (cmbUnit->currentIndex() >= 0) cmbUnit_Click();
}

void Tarvane::optCoordSystem_Click(std::int16_t Index) {
    enterNotInitialized();
    QWidget* fields[] = {txtParallel[0], txtParallel[1], txtParallel[2],
                         txtCentralMeridian, txtFalseNorthing, txtFalseEasting};
    if (Index == 1 || Index == 2) {
        cmbDatum->setEnabled(false);
        cmbUnit->setEnabled(false);
        cmbZone->show();
        cmbZone->move(cmbZone->x(), optCoordSystem[Index]->y());
        optParallel[0]->setEnabled(false);
        optParallel[1]->setEnabled(false);
        selectParallel(1);
        for (QWidget* field : fields) field->setEnabled(false);
        if (Index == 1) {
            setDatumIndex(1);
            setUnitIndex(0);
        } else {
            setDatumIndex(2);
            setUnitIndex(1);
        }
        cmbZone_Click();
    } else {
        cmbDatum->setEnabled(true);
        cmbUnit->setEnabled(true);
        cmbZone->hide();
        optParallel[0]->setEnabled(true);
        optParallel[1]->setEnabled(true);
        for (QWidget* field : fields) field->setEnabled(true);
    }
}

void Tarvane::cmbZone_Click() {
    enterNotInitialized();
    if (cmbZone->currentIndex() < 0) setZoneIndex(0);
    if (cmbZone->currentIndex() < 0) return;  // an empty list has nothing to apply

    const auto zoneNumber = static_cast<std::int16_t>(cmbZone->currentData().toInt());
    writeParameterRows(ProjectionSetup::ZoneFields(optCoordSystem[2]->isChecked(), zoneNumber, decimalSeparator()));
}

void Tarvane::writeParameterRows(const ProjectionSetup::ParameterFields& f) {
    auto q = [](const std::string& text) { return QString::fromStdString(text); };
    // The parallels first: choosing them resets rows 1 and 2.
    selectParallel(f.oneParallel ? 0 : 1);
    txtParallel[0]->setText(q(f.parallel[0]));
    txtParallel[1]->setText(q(f.parallel[1]));
    if (!f.oneParallel) txtParallel[2]->setText(q(f.parallel[2]));
    txtCentralMeridian->setText(q(f.centralMeridian));
    txtFalseNorthing->setText(q(f.falseNorthing));
    txtFalseEasting->setText(q(f.falseEasting));
}

void Tarvane::cmbUnit_Click() {
    enterNotInitialized();
    unitTag_ = QLatin1String(UnitTag(cmbUnit->currentIndex() == 0 ? GridUnit::Metre : GridUnit::USFeet));
    for (QLabel* label : lblUnit) setCaption(label, unitTag_);
}

// Another datum changes every result, so it asks for a new set-up like every
// other choice.
void Tarvane::cmbDatum_Click() { enterNotInitialized(); }

void Tarvane::optParallel_Click(std::int16_t Index) {
    enterNotInitialized();
    if (Index == 0) {
        setCaption(lblParallel[1], QStringLiteral("ScaleFactor "));
        txtParallel[1]->setAccessibleName(QStringLiteral("Scale factor"));
        txtParallel[1]->setText(QStringLiteral("1.00"));
        lblParallel[2]->hide();
        txtParallel[2]->hide();
    } else {
        setCaption(lblParallel[1], QStringLiteral("Southern Standard Parallel"));
        txtParallel[1]->setAccessibleName(QStringLiteral("Southern standard parallel"));
        txtParallel[1]->setText(formatAngle(0.0, "LAT"));
        lblParallel[2]->show();
        txtParallel[2]->show();
        txtParallel[2]->setText(formatAngle(0.0, "LAT"));
    }
}

// --- Field editing -----------------------------------------------------------

void Tarvane::txtParameter_Change() { enterNotInitialized(); }

std::string Tarvane::angleTypeOf(const QLineEdit* box) const {
    if (box == txtLat || box == txtParallel[0] || box == txtParallel[2]) return "LAT";
    // In one-parallel mode row 1 holds the scale factor, not an angle.
    if (box == txtParallel[1]) return optParallel[0]->isChecked() ? "" : "LAT";
    if (box == txtLon || box == txtCentralMeridian) return "LON";
    return "";
}

void Tarvane::txtAngle_LostFocus(QLineEdit* box) {
    const std::string type = angleTypeOf(box);
    if (type.empty()) return;
    const double degrees = readAngle(box, type.c_str());
    box->setText(formatAngle(degrees, type.c_str()));
}

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

// --- Start-up ------------------------------------------------------------------

void Tarvane::Form_Load() {
    for (const StatePlaneZone& zone : StatePlaneZones())
        cmbZone->addItem(QString::fromUtf8(ProjectionSetup::ZoneListText(zone)), int(zone.number));
    cmbZone->setCurrentIndex(-1);

    std::int16_t iOption = 0, iZone = 0, iDatum = 0, iUnit = 0, iParallels = 0;
    std::string currentLat, currentLon, OriginLat, SouthernLat, NorthernLat, CentralMeridian,
        FalseNorthing, FalseEasting;
    Read_Tarvane(iOption, iZone, iDatum, iUnit, currentLat, currentLon, iParallels, OriginLat,
                 SouthernLat, NorthernLat, CentralMeridian, FalseNorthing, FalseEasting);

    auto q = [](const std::string& text) { return QString::fromStdString(text); };
    if (iZone != -99) {
        selectCoordSystem(iOption);
        setZoneIndex(iZone);
        setDatumIndex(iDatum);
        setUnitIndex(iUnit);
        txtLat->setText(q(currentLat));
        txtLon->setText(q(currentLon));
        txtNorthing->setText(QStringLiteral("n/a"));
        txtEasting->setText(QStringLiteral("n/a"));
        selectParallel(iParallels == 1 ? 0 : 1);
        txtParallel[0]->setText(q(OriginLat));
        txtParallel[1]->setText(q(SouthernLat));
        txtParallel[2]->setText(q(NorthernLat));
        txtCentralMeridian->setText(q(CentralMeridian));
        txtFalseNorthing->setText(q(FalseNorthing));
        txtFalseEasting->setText(q(FalseEasting));
    } else {
        selectCoordSystem(0);
        setDatumIndex(0);
        setUnitIndex(0);
        txtLat->setText(formatAngle(30.0, "LAT"));
        txtLon->setText(formatAngle(-80.0, "LON"));
        txtNorthing->setText(QStringLiteral("0.0 m"));
        txtEasting->setText(QStringLiteral("0.0 m"));
        txtParallel[0]->setText(formatAngle(25.0, "LAT"));
        selectParallel(1);
        txtParallel[1]->setText(formatAngle(20.0, "LAT"));
        txtParallel[2]->setText(formatAngle(40.0, "LAT"));
        txtCentralMeridian->setText(formatAngle(-75.0, "LON"));
        txtFalseNorthing->setText(QStringLiteral("1000000.0 m"));
        txtFalseEasting->setText(QStringLiteral("500000.0 m"));
    }
    cmdInit_Click();
}

// --- Menus, exit and About ---------------------------------------------------------

bool Tarvane::Store_Tarvane() {
    const std::int16_t iOption = optCoordSystem[0]->isChecked() ? 0 : optCoordSystem[1]->isChecked() ? 1 : 2;
    const auto iZone = static_cast<std::int16_t>(cmbZone->currentIndex());
    const auto iDatum = static_cast<std::int16_t>(cmbDatum->currentIndex());
    const auto iUnit = static_cast<std::int16_t>(cmbUnit->currentIndex());
    const std::int16_t iParallels = optParallel[0]->isChecked() ? 1 : 2;
    auto s = [](const QLineEdit* box) { return box->text().toStdString(); };
    std::string reason;
    if (Write_Tarvane(iOption, iZone, iDatum, iUnit, s(txtLat), s(txtLon), iParallels, s(txtParallel[0]),
                      s(txtParallel[1]), s(txtParallel[2]), s(txtCentralMeridian), s(txtFalseNorthing),
                      s(txtFalseEasting), reason))
        return true;
    showMessage(QStringLiteral("The settings could not be saved to %1: %2. The settings file that was "
                               "there before, if any, is unchanged.")
                    .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("TARVANE.ini"))),
                         QString::fromStdString(reason)));
    return false;
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
        connect(epsg_, &QDialog::accepted, this, [this] { typeFields(epsg_->chosenFields()); });
    }
    epsg_->open();
}

void Tarvane::typeFields(const ProjectionSetup::ParameterFields& f) {
    selectCoordSystem(0);
    setDatumIndex(static_cast<int>(f.datum));
    setUnitIndex(static_cast<int>(f.unit));
    writeParameterRows(f);
    cmdInit_Click();
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
