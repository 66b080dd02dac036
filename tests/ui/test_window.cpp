// The main window through its real widgets: what only it shows (texts, numbers, files: tested below it).
#include <algorithm>
#include <cerrno>
#include <fstream>

#include "core/crs/Registry.h"
#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"
#include "ui/About.h"
#include "ui/EpsgDialog.h"

namespace {

QString nameOf(QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name); }
// The ten text boxes, in the form's order; `from` skips the position fields.
QList<QLineEdit*> boxes(Tarvane& w, int from = 0) {
    return QList<QLineEdit*>({w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                              w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting})
        .mid(from);
}
QStringList texts(const QList<QLineEdit*>& l) {
    QStringList t;
    for (QLineEdit* box : l) t << box->text();
    return t;
}
void setTexts(const QList<QLineEdit*>& l, const QStringList& t) {
    for (qsizetype i = 0; i < l.size(); ++i) l[i]->setText(t[i]);
}

}  // namespace

// In each layout every control lies inside its frame with room for its caption, no two input
// controls overlap; the focus order, a screen-reader name for each, and the texts the form fixes.
TEST_F(WindowTest, EveryControlHasItsPlaceCaptionAndName) {
    Tarvane& w = openShown();
    const QStringList order = QString("txtLat txtLon txtNorthing txtEasting cmdConvert(0) cmdConvert(1) cmdInit "
        "optCoordSystem(0) optCoordSystem(1) optCoordSystem(2) cmbDatum cmbUnit cmbZone optParallel(0) optParallel(1) "
        "txtParallel(0) txtParallel(1) txtParallel(2) txtCentralMeridian txtFalseNorthing txtFalseEasting").split(' ');
    const auto checkPlaces = [&](const char* layout) {
        QList<QRect> taken;
        for (QWidget* c : w.client->findChildren<QWidget*>()) {
            if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
            auto* label = qobject_cast<QLabel*>(c);
            auto* button = qobject_cast<QAbstractButton*>(c);
            const int room = label ? label->fontMetrics().horizontalAdvance(label->text())
                           : qobject_cast<QRadioButton*>(c) ? c->sizeHint().width()
                           : button ? button->fontMetrics().horizontalAdvance(button->text()) : 0;
            const QRect place(c->mapTo(w.client, QPoint()), c->size());
            const std::string what = layout + (": " + str(c->objectName()));
            EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry()) && c->width() >= room) << what;
            if (!order.contains(c->objectName())) continue;
            for (const QRect& other : taken) EXPECT_FALSE(place.intersects(other)) << what;
            taken << place;
        }
    };
    checkPlaces("first run");
    QStringList names;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QWidget* c = w.findChild<QWidget*>(order[i]);
        const auto* frame = qobject_cast<QGroupBox*>(c->parentWidget());  // Qt names an unnamed control by it
        names << (frame && nameOf(c) == frame->title() ? QString() : nameOf(c));
        if (i + 1 == order.size()) break;
        QWidget* next = c->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();  // past labels and frames
        EXPECT_EQ(next->objectName(), order[i + 1]);
    }
    EXPECT_TRUE(!names.contains(QString()) && names.removeDuplicates() == 0) << str(names.join(", "));

    // One parallel: row 1 holds the scale factor; row 2 goes.
    click(w.optParallel[0]);
    EXPECT_EQ(QStringList({w.lblParallel[0]->text(), w.lblParallel[1]->text(), w.txtParallel[1]->text(),
                           nameOf(w.txtParallel[1])}),
              QStringList({"Latitude of Origin ", "ScaleFactor ", "1.00", "Scale factor"}));
    EXPECT_TRUE(w.lblParallel[2]->isHidden() && w.txtParallel[2]->isHidden());
    // The unit changes the captions, not the numbers.
    choose(w.cmbUnit, 1);
    for (QLabel* label : w.lblUnit) EXPECT_EQ(label->text(), "USFeet");
    EXPECT_EQ(QStringList({w.txtFalseEasting->text(), nameOf(w.lblUnit[1])}),
              QStringList({"500000.0 m", "Unit of the easting USFeet"}));
    checkPlaces("one parallel, US feet");
    // Two parallels again: both rows reset; a click on the chosen option keeps them.
    click(w.optParallel[1]);
    EXPECT_EQ(QStringList({w.lblParallel[1]->text(), nameOf(w.txtParallel[1])}),
              QStringList({"Southern Standard Parallel", "Southern standard parallel"}));
    EXPECT_EQ(texts(boxes(w).mid(5, 2)), QStringList(2, regional("00°00'00.000\"N")));
    EXPECT_TRUE(w.lblParallel[2]->isVisible() && w.txtParallel[2]->isVisible());
    w.txtParallel[1]->setText("20 N");
    click(w.optParallel[1]);
    EXPECT_EQ(w.txtParallel[1]->text(), "20 N");
    click(w.optCoordSystem[2]);
    checkPlaces("State Plane 1927");

    EXPECT_EQ(w.client->size(), QSize(513, 419));  // 7695 by 6285 twips
    QStringList fixed;  // list entries, captions and menus, as the user reads them
    for (QComboBox* list : {w.cmbDatum, w.cmbUnit, w.cmbZone}) {
        EXPECT_FALSE(list->isEditable());
        for (int i = 0; i < list->count(); ++i) fixed << list->itemText(i);
    }
    fixed << w.lblParallel[0]->text() << w.lblParallel[2]->text();
    for (QLabel* label : w.Label1) if (label) fixed << label->text();
    for (QGroupBox* frame : w.client->findChildren<QGroupBox*>()) fixed << frame->title();
    for (QAbstractButton* b : w.client->findChildren<QAbstractButton*>()) fixed << b->text();
    for (QAction* menu : w.menuBar()->actions()) {
        fixed << menu->text();
        for (QAction* entry : menu->menu()->actions()) fixed << entry->text();
    }
    EXPECT_EQ(fixed, QStringList({"WGS84", "NAD83", "NAD27", "meter", "USFeet", " 903 Florida North",
        "1701 Louisiana North", "1702 Louisiana South", "1703 Louisiana Offshore", "4203 Texas Central",
        "4204 Texas South Central", "4205 Texas South", "Latitude of Origin ", "Northern Standard Parallel ",
        "Latitude", "Longitude", "Northing", "Easting", "Geodetic Datum ", "Cenral Meridian", "False Northing",
        "False Easting", "Scale factor : ", ".. meridian :", "( 1 m = 3.28083333333 USft )", ".. prime vertical :",
        "Radius of curvature in  the ..", "Iterations :", "Units ", "Transformation data",
        "Co-ordinate system and Geodetic Datum", "TARVANE Conformal  Projection Parameters", "Convert  >",
        "INITIALIZE", "<  Convert", "User Defined", "US State Plane 1983", "US State Plane 1927",
        "One Standard Parallel", "Two Standard Parallels", "&File", "Projection from EPSG\u2026", "", "E&xit",
        "&About", "About"}));
}

// The state is what the buttons show: INITIALIZE alone, or both convert buttons. A trailing blank
// changes a text, not what it reads as; typed without a focus move, which would rewrite a field.
TEST_F(WindowTest, EveryChoiceAndParameterEditAsksForANewInitialization) {
    Tarvane& w = openShown();
    std::vector<std::tuple<QString, std::function<void()>, bool>> steps;  // what, how, initialized after
    for (QLineEdit* box : boxes(w)) {
        const auto typeBlank = [box] { box->end(false), QTest::keyClick(box, Qt::Key_Space); };
        steps.emplace_back("typing into " + box->objectName(), typeBlank, !boxes(w, 4).contains(box));
    }
    const auto clicking = [](QAbstractButton* b) { return [b] { click(b); }; };
    steps.insert(steps.end(), {{"converting forward", clicking(w.cmdConvert[0]), true},
                               {"converting back", clicking(w.cmdConvert[1]), true},
                               {"choosing a datum", [&] { choose(w.cmbDatum, 1); }, false},
                               {"choosing a unit", [&] { choose(w.cmbUnit, 1); }, false},
                               {"choosing one parallel", clicking(w.optParallel[0]), false},
                               {"choosing two parallels", clicking(w.optParallel[1]), false},
                               {"choosing State Plane 1983", clicking(w.optCoordSystem[1]), false},
                               {"choosing a zone", [&] { choose(w.cmbZone, 3); }, false},
                               {"choosing User Defined", clicking(w.optCoordSystem[0]), false}});
    for (const auto& [what, act, initializedAfter] : steps) {
        if (!w.isInitialized()) {  // parameters that give a cone, so that every initialization succeeds
            setTexts(boxes(w, 5).mid(0, 2), {w.optParallel[0]->isChecked() ? "1.00" : "20 N", "40 N"});
            w.cmdInit_Click();
        }
        ASSERT_TRUE(w.isInitialized()) << str(what);
        act();
        EXPECT_EQ(QList<bool>({w.isInitialized(), w.cmdInit->isHidden(), w.cmdConvert[0]->isVisible(),
                               w.cmdConvert[1]->isVisible()}), QList<bool>(4, initializedAfter)) << str(what);
    }
}

// Each step: the system, the zone (-1: the one chosen before), then the zone,
// datum and unit shown, and the parameter fields (all six, or none).
TEST_F(WindowTest, StatePlaneSystemsTakeTheirParametersFromTheZoneTable) {
    Tarvane& w = openShown();
    const struct { int system, zone; QStringList choices, fields; } steps[] = {
        {2, -1, {" 903 Florida North", "NAD27", "USFeet"}, {regional("29°00'00.000\"N"), regional("29°35'00.000\"N"),
                                                            regional("30°45'00.000\"N"), regional("084°30'00.000\"W"),
                                                            "0", "2000000"}},
        {1, 5, {"4204 Texas South Central", "NAD83", "meter"}, {}},
        {2, -1, {"4204 Texas South Central", "NAD27", "USFeet"}, {}},
    };
    QList<QWidget*> followers = {w.cmbDatum, w.cmbUnit, w.optParallel[0], w.optParallel[1]};
    for (QLineEdit* box : boxes(w, 4)) followers << box;
    for (const auto& s : steps) {
        SCOPED_TRACE(str(s.choices.join(" ")));
        click(w.optCoordSystem[s.system]);
        if (s.zone >= 0) choose(w.cmbZone, s.zone);
        EXPECT_EQ(QStringList({w.cmbZone->currentText(), w.cmbDatum->currentText(), w.unitTag()}), s.choices);
        EXPECT_TRUE(w.cmbZone->isVisible() && w.cmbZone->y() == w.optCoordSystem[s.system]->y());  // on its row
        EXPECT_EQ(texts(boxes(w, 4)).mid(0, s.fields.size()), s.fields);
        for (QWidget* c : followers) EXPECT_FALSE(c->isEnabled()) << str(c->objectName());
        EXPECT_TRUE(w.optParallel[1]->isChecked());
    }
    // Back to User Defined: the zone's texts, datum and unit stay, now editable.
    click(w.optCoordSystem[0]);
    EXPECT_EQ(QStringList({w.cmbDatum->currentText(), w.unitTag(), w.txtFalseEasting->text()}),
              QStringList({"NAD27", "USFeet", "2000000"}));
    for (QWidget* c : followers) EXPECT_TRUE(c->isEnabled()) << str(c->objectName());
    EXPECT_FALSE(w.cmbZone->isVisible());
}

// The worked cone: WGS84, parallels 33° and 45°, origin 23°, meridian 96° W. Conversions that fail
// (latitude, grid point, button, message) keep the field the failing step would have written. Then
// 40° N 80° W in US feet: easting 1352003.253 m, northing 2016449.325 m, back after five passes, the
// radii in metres, in patterns with the regional separator (a German locale run checks the comma).
// Last, set-ups that fail: origin, row 1, row 2 (empty: one parallel), and the message or its start.
TEST_F(WindowTest, ConvertsTheWorkedExampleAndSaysWhatCannotBeDone) {
    Tarvane& w = openShown();
    setTexts(boxes(w, 4), {"23 N", "33 N", "45 N", "96 W", "0", "0"});
    w.cmdInit_Click();
    const auto& s = Tarvane_Module::State;
    const QString apex = QString::number(s.ConeMapRadiusInv - s.NorthingOffset + s.FalseNorthing, 'f', 10);
    const QString grid = "The grid position cannot be converted: ";
    const struct { const char* lat; QString northing, easting; int button; QString message; } cases[] = {
        {"90 N", "123", "456", 0, "The position cannot be converted: invalid argument. A latitude of 90° north or "
                                  "south has no grid position on a cone."},
        {"lat", apex, "0", 1, grid + "invalid operation. The point lies at the apex of the cone."},
        {"lat", apex, "1000", 1, grid + "division by zero. The point lies at the apex of the cone."},
        {"lat", "1e999", "0", 1, grid + "invalid argument. The point lies beyond the apex of the cone, or a value "
                                        "is not a finite number."},
    };
    for (const auto& c : cases) {
        setTexts({w.txtLat, w.txtNorthing, w.txtEasting}, {c.lat, c.northing, c.easting});
        w.cmdConvert_Click(c.button);
        EXPECT_EQ(messages, QStringList({c.message}));
        EXPECT_EQ(texts({w.txtLat, w.txtNorthing}), QStringList({c.lat, c.northing}));
        EXPECT_TRUE(w.isInitialized());
        messages.clear();
    }

    const QString sep = QChar(Tarvane::decimalSeparator());
    if (qgetenv("LC_ALL").startsWith("de_")) { ASSERT_EQ(sep, ","); }
    const auto shows = [&](const QString& text, QString pattern) {  // "." stands for the separator
        EXPECT_TRUE(QRegularExpression(pattern.replace('.', QRegularExpression::escape(sep))).match(text).hasMatch())
            << str(text);
        return QString(text).replace(sep, ".").toDouble();
    };
    choose(w.cmbUnit, 1);
    w.cmdInit_Click();
    setTexts({w.txtLat, w.txtLon}, {"40 N", "80 W"});
    click(w.cmdConvert[0]);
    EXPECT_NEAR(shows(w.txtEasting->text(), "^\\d+.\\d\\d$"), 1352003.253 * 3.28083333333, 0.02);
    EXPECT_NEAR(shows(w.txtNorthing->text(), "^\\d+.\\d\\d$"), 2016449.325 * 3.28083333333, 0.02);
    shows(w.lblScaleFactor->text(), "^\\d.\\d{9}$");
    click(w.cmdConvert[1]);
    EXPECT_EQ(texts({w.txtLat, w.txtLon}), QStringList({regional("40°00'00.000\"N"), regional("080°00'00.000\"W")}));
    EXPECT_EQ(w.lblTest->text(), "5");
    shows(w.lblMeridianRadius->text(), "^\\d+.\\d m$");
    shows(w.lblNormalRadius->text(), "^6386976.2 m$");  // at 40° on WGS84
    click(w.cmdConvert[0]);
    EXPECT_EQ(w.lblTest->text(), "n/a");

    const QString setUp = "The projection cannot be set up from these parameters: ";
    const struct { const char *what, *p0, *p1, *p2; QString expected; } setUps[] = {
        {"one parallel at 0", "0", "1.00", "", setUp + "division by zero. A standard parallel on the equator"},
        {"two equal parallels", "30", "30 N", "30 N", setUp + "invalid operation. Two equal standard parallels"},
        // The pole at the apex has a place on the cone; the other lies at infinity.
        {"origin at the far pole", "90 S", "20 N", "40 N", setUp + "invalid argument."},
        // A thousandth of a second apart near the pole: rounding puts the sine of the equivalent parallel above 1.
        {"arcsine beyond 1", "30", "89 58 31.857", "89 58 31.858", "ARCSINUS DATA ERROR"},
        {"scale factor not a number", "30", "abc", "",
         "The scale factor \"abc\" is not a number. Type a decimal number such as 1.00 or 0.9996."},
    };
    for (const auto& c : setUps) {
        click(w.optParallel[*c.p2 ? 1 : 0]);
        setTexts(boxes(w, 4).mid(0, 3), {c.p0, c.p1, c.p2});
        w.cmdInit_Click();
        ASSERT_EQ(messages.size(), 1) << c.what << ": " << str(messages.join(" | "));
        EXPECT_TRUE(messages[0].startsWith(c.expected)) << c.what << ": " << str(messages[0]);
        EXPECT_FALSE(w.isInitialized()) << c.what;
        messages.clear();
    }
}

// The stored file wins over the zone table, without the grid position; one the reader refuses gives
// the defaults. Shown: system, zone, datum, the four unit captions, row 1's caption, the ten fields.
TEST_F(WindowTest, StartUpAppliesTheStoredFileOrTheDefaults) {
    // 1927, Texas South Central; with one parallel, row 1 holds the scale factor.
    const auto stored = [](int parallels) {
        const bool one = parallels == 1;
        return std::pair{" 2 \r\n 5 \r\n 2 \r\n 1 \r\n29 30 15.5 N\r\n98 W\r\n " + std::to_string(parallels) +
                             " \r\n27\xB0" "50'00.000\"N\r\n" + (one ? "0.9996" : "28\xB0" "23'00.000\"N") +
                             "\r\n30\xB0" "17'00.000\"N\r\n099\xB0" "00'00.000\"W\r\n0\r\n2000001\r\n",
            QStringList({"US State Plane 1927", "4204 Texas South Central", "NAD27", "USFeet", "USFeet", "USFeet",
            "USFeet", one ? "ScaleFactor " : "Southern Standard Parallel", "29 30 15.5 N", "98 W", "n/a", "n/a",
            "27°50'00.000\"N", one ? "0.9996" : "28°23'00.000\"N", "30°17'00.000\"N", "099°00'00.000\"W", "0",
            "2000001"})};
    };
    const std::pair<std::string, QStringList> cases[] = {
        {stored(2).first.substr(0, 40), {"User Defined", "", "WGS84", "meter", "meter", "meter", "meter",
            "Southern Standard Parallel", regional("30°00'00.000\"N"), regional("080°00'00.000\"W"), "0.0 m",
            "0.0 m", regional("25°00'00.000\"N"), regional("20°00'00.000\"N"), regional("40°00'00.000\"N"),
            regional("075°00'00.000\"W"), "1000000.0 m", "500000.0 m"}},
        stored(2), stored(1), stored(0),  // any number but 1: two parallels
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(bytes.substr(0, 20));
        std::ofstream("TARVANE.ini", std::ios::binary) << bytes;
        Tarvane& w = open();
        QStringList shown;
        for (QRadioButton* option : w.optCoordSystem) if (option->isChecked()) shown << option->text();
        shown << w.cmbZone->currentText() << w.cmbDatum->currentText();
        for (QLabel* unit : w.lblUnit) shown << unit->text();
        EXPECT_EQ(shown << w.lblParallel[1]->text() << texts(boxes(w)), expected);
        const bool statePlane = expected[0] != "User Defined";
        EXPECT_TRUE(w.isInitialized() && w.cmbZone->isHidden() != statePlane);
        if (!statePlane) continue;
        EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[2]->y());
        EXPECT_NEAR(Tarvane_Module::State.FalseEasting, 2000001 / 3.28083333333, 1e-6);  // stored, in feet
    }
}

// File > Exit and the close box, in either order, write once and end once; the
// next run comes back as left; a save that fails says why.
TEST_F(WindowTest, ExitWritesOnceAndSaysWhenItCannot) {
    int creates = 0;
    SettingsFileCalls counting, failing;
    counting.create = [&](const std::string& path) { ++creates; return Real_Settings_File_Calls().create(path); };
    failing.create = [&](const std::string&) { ++creates; errno = EACCES; return -1; };
    for (const bool exitFirst : {true, false}) {
        Set_Settings_File_Calls(exitFirst ? counting : failing);
        Tarvane& w = openShown();
        if (exitFirst) click(w.optCoordSystem[1]);
        else EXPECT_TRUE(w.optCoordSystem[1]->isChecked());  // as the first run left it
        QSignalSpy ended(&w, &Tarvane::programEnded);
        if (exitFirst) w.mnuFileExit_Click();
        w.close();
        w.mnuFileExit_Click();
        EXPECT_EQ(creates, exitFirst ? 1 : 2);
        EXPECT_EQ(ended.count(), 1);
    }
    EXPECT_TRUE(messages.size() == 1 && messages[0].startsWith("The settings could not be saved to ") &&
                messages[0].contains("TARVANE.ini: Permission denied.")) << str(messages.join(" | "));
    messages.clear();
}

// Entering any box selects all of it; leaving an angle field rewrites it,
// with its messages once. Only a move to another control of the window is a
// lost focus: visiting an unchanged field keeps the window initialized, and
// another window taking the focus leaves the text alone.
TEST_F(WindowTest, LeavingAndEnteringFieldsFollowTheFocusRules) {
    Tarvane& w = openShown();
    for (QLineEdit* box : boxes(w)) {
        w.cmbDatum->setFocus();
        box->deselect();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QApplication::processEvents();
        EXPECT_TRUE(box->hasFocus() && box->selectedText() == box->text()) << str(box->objectName());
    }
    EXPECT_TRUE(w.isInitialized());

    const struct { QLineEdit* box; const char *typed, *shown; QStringList messages; } cases[] = {
        {w.txtLat, "29 30", "29°30'00.000\"N", {}},
        {w.txtLon, "-95 15", "095°15'00.000\"W", {}},
        {w.txtParallel[0], "89 59 60", "90°00'00.000\"N",
         {"LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"}},
        {w.txtParallel[1], "-12", "12°00'00.000\"S", {}},
        {w.txtParallel[2], "91", "90°00'00.000\"N", {"LATITUDE FORMAT ERROR. Max 90 deg allowed"}},
        {w.txtCentralMeridian, "10 30 0 V", "010°30'00.000\"W", {}},
    };
    for (const auto& c : cases) {
        typeInto(c.box, c.typed);
        leaveTo(w.txtNorthing);
        EXPECT_EQ(c.box->text(), regional(c.shown)) << c.typed;
        EXPECT_EQ(messages, c.messages) << c.typed;
        messages.clear();
    }
    click(w.optParallel[0]);  // row 1 holds the scale factor, not an angle
    typeInto(w.txtParallel[1], "0,9996");
    leaveTo(w.txtParallel[0]);
    EXPECT_EQ(w.txtParallel[1]->text(), "0,9996");

    typeInto(w.txtLat, "12 30");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(w.txtLat->text(), "12 30");
}

// One box at most, modeless, centred on the main window each time it loads,
// and gone when the program ends.
TEST_F(WindowTest, AboutBoxIsOneWindowCentredEachTimeItLoads) {
    Tarvane& w = openShown();
    const auto showAbout = [&] {
        w.mnuAboutAbout_Click();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.aboutBox()));
        EXPECT_LE((w.frameGeometry().center() - w.aboutBox()->frameGeometry().center()).manhattanLength(), 4);
        return w.aboutBox();
    };
    About* box = showAbout();
    EXPECT_TRUE(box->parentWidget() == nullptr && !box->isModal());
    EXPECT_EQ(showAbout(), box);
    EXPECT_EQ(std::ranges::count_if(QApplication::topLevelWidgets(),
                                    [](QWidget* top) { return qobject_cast<About*>(top) && top->isVisible(); }), 1);
    click(box->cmdOK);
    EXPECT_FALSE(box->isVisible());
    w.move(w.x() + 120, w.y() + 60);
    EXPECT_EQ(showAbout(), box);
    w.mnuFileExit_Click();  // leaving with the box open takes it along
    EXPECT_FALSE(box->isVisible());
}

// Without PROJ's database the window says so and goes on. With it, NAD27 / Texas South Central
// from the EPSG list fills exactly what the 1927 zone 4204 fills, initializes, and converts alike.
TEST_F(WindowTest, ProjectionFromEpsgFillsTheFieldsAsTyped) {
    Tarvane& w = openShown();
    Epsg::Registry();  // PROJ takes its search path once a run: here, before PROJ_DATA changes
    setenv("PROJ_DATA", "/nonexistent", 1);
    w.mnuFileEpsg->trigger();
    unsetenv("PROJ_DATA");
    EXPECT_EQ(messages, QStringList("PROJ's database of coordinate reference systems, proj.db, cannot be opened (Cannot "
                                    "find proj.db): install the package proj-data, or set PROJ_DATA to the folder "
                                    "that holds proj.db."));
    EXPECT_TRUE(!w.epsgDialog() && w.isInitialized());
    messages.clear();
    const auto parametersAndPoint = [&] {
        QStringList l = {w.cmbDatum->currentText(), w.unitTag(), w.optParallel[1]->isChecked() ? "two" : "one"};
        setTexts({w.txtLat, w.txtLon}, {"29 30 N", "98 15 W"});
        w.cmdConvert_Click(0);
        return l << texts(boxes(w, 2)) << w.lblScaleFactor->text();
    };
    click(w.optCoordSystem[2]);
    choose(w.cmbZone, w.cmbZone->findData(4204));
    w.cmdInit_Click();
    const QStringList zone = parametersAndPoint();
    w.mnuFileEpsg->trigger();
    EpsgDialog* d = w.epsgDialog();
    ASSERT_TRUE(d && QTest::qWaitForWindowExposed(d));
    const auto shown = [&] {
        QList<QListWidgetItem*> items = d->lstGrids->findItems(QString(), Qt::MatchContains);
        items.removeIf([](QListWidgetItem* item) { return item->isHidden(); });
        return items;
    };
    EXPECT_GT(shown().size(), 1000);
    QTest::keyClicks(d->txtSearch, "Texas SOUTH cent");
    EXPECT_EQ(shown().size(), 9);  // in 1927, 1983 and its realizations, metres and feet
    typeInto(d->txtSearch, "27572");  // a grid on another ellipsoid: greyed, with the reason
    ASSERT_EQ(shown().size(), 1);
    d->lstGrids->setCurrentItem(shown()[0]);
    EXPECT_FALSE(shown()[0]->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(shown()[0]->text().endsWith("its ellipsoid, Clarke 1880 (IGN), is none of the window's datums "
                                            "(WGS84, NAD83 on GRS 1980, NAD27 on Clarke 1866)"));
    EXPECT_FALSE(d->buttons->button(QDialogButtonBox::Ok)->isEnabled());
    typeInto(d->txtSearch, "32040");
    ASSERT_EQ(shown().size(), 1);
    EXPECT_EQ(shown()[0]->text(), "32040  NAD27 / Texas South Central  (US survey foot)");
    QTest::mouseClick(d->lstGrids->viewport(), Qt::LeftButton, {}, d->lstGrids->visualItemRect(shown()[0]).center());
    click(d->buttons->button(QDialogButtonBox::Ok));
    EXPECT_TRUE(!d->isVisible() && w.optCoordSystem[0]->isChecked() && w.isInitialized());
    EXPECT_EQ(parametersAndPoint(), zone);
}

// Central meridian 176 W: 179 E lies 5 degrees west of it, the mirror of 171 W, and comes back as 179 E.
TEST_F(WindowTest, ConversionsAcrossTheAntimeridian) {
    Tarvane& w = open();
    setTexts(boxes(w, 4), {"51 N", "51 50 N", "53 50 N", "176 W", "0", "1000000"});
    w.cmdInit_Click();
    QStringList grid;
    for (const char* lon : {"179 E", "171 W"}) {
        setTexts({w.txtLat, w.txtLon}, {"52 N", lon});
        w.cmdConvert_Click(0);
        grid << texts({w.txtNorthing, w.txtEasting});
    }
    EXPECT_EQ(grid[0], grid[2]);
    EXPECT_NEAR(grid[1].toDouble() + grid[3].toDouble(), 2000000.0, 0.011);
    setTexts({w.txtNorthing, w.txtEasting}, grid.mid(0, 2));
    w.cmdConvert_Click(1);
    EXPECT_EQ(w.txtLon->text(), "179\u00B000'00.000\"E");
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    Tarvane::applyLook();
    return RUN_ALL_TESTS();
}
