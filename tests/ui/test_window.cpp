// The main window: what the user sees of the form, its two states, the
// option handlers, the commands and their messages, driven through the real
// widgets. What the angle and number texts read as is the core tests' part.
#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include <functional>
#include <tuple>
#include <vector>

#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"

namespace {

// The user-defined cone of the worked example: WGS84, parallels 33° and 45°,
// origin 23°, central meridian 96° W, no false values.
void setUpWorkedCone(Tarvane& w) {
    QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton);
    w.cmbDatum->setCurrentIndex(0);
    for (auto [box, text] : {std::pair{w.txtParallel[0], "23 N"}, {w.txtParallel[1], "33 N"},
                             {w.txtParallel[2], "45 N"}, {w.txtCentralMeridian, "96 W"}, {w.txtFalseNorthing, "0"},
                             {w.txtFalseEasting, "0"}})
        box->setText(text);
    w.cmdInit_Click();
}

QString nameOf(QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name); }
bool takesInput(QWidget* c) {
    return (qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractButton*>(c)) &&
           !c->objectName().isEmpty() && !c->objectName().startsWith("qt_");  // not the parts Qt adds
}
QStringList entries(QComboBox* list) {
    QStringList l;
    for (int i = 0; i < list->count(); ++i) l << list->itemText(i);
    return l;
}

}  // namespace

// In each layout every control lies inside its frame or the window, no two
// input controls overlap, and every caption has room. Then what the form
// fixes: focus order, title, client size, lists and menus.
TEST_F(WindowTest, EveryControlHasItsOwnPlaceAndRoomForItsCaption) {
    Tarvane& w = openShown();
    const char* order[] = {"txtLat", "txtLon", "txtNorthing", "txtEasting", "cmdConvert(0)", "cmdConvert(1)",
                           "cmdInit", "optCoordSystem(0)", "optCoordSystem(1)", "optCoordSystem(2)", "cmbDatum",
                           "cmbUnit", "cmbZone", "optParallel(0)", "optParallel(1)", "txtParallel(0)",
                           "txtParallel(1)", "txtParallel(2)", "txtCentralMeridian", "txtFalseNorthing",
                           "txtFalseEasting"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        // The focus chain also holds labels and frames, which never take the focus.
        QWidget* next = w.findChild<QWidget*>(order[i])->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(str(next->objectName()), order[i + 1]) << "after " << order[i];
    }
    const auto checkPlaces = [&](const char* layout) {
        std::vector<QWidget*> inputs;
        for (QWidget* c : w.client->findChildren<QWidget*>()) {
            if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
            const QRect g = c->geometry();
            EXPECT_TRUE(g.x() >= 0 && g.y() >= 0 && g.x() + g.width() <= c->parentWidget()->width() &&
                        g.y() + g.height() <= c->parentWidget()->height()) << layout << ": " << str(c->objectName());
            // A caption's room: a label's text, an option's circle and text, a button's text.
            auto* label = qobject_cast<QLabel*>(c);
            auto* button = qobject_cast<QAbstractButton*>(c);
            const int room = label ? label->fontMetrics().horizontalAdvance(label->text())
                           : qobject_cast<QRadioButton*>(c) ? c->sizeHint().width()
                           : button ? button->fontMetrics().horizontalAdvance(button->text()) : 0;
            EXPECT_GE(g.width(), room) << layout << ": " << str(c->objectName());
            if (takesInput(c)) inputs.push_back(c);
        }
        for (QWidget* a : inputs)
            for (QWidget* b : inputs)
                EXPECT_TRUE(a == b || !QRect(a->mapTo(w.client, QPoint()), a->size())
                                           .intersects(QRect(b->mapTo(w.client, QPoint()), b->size())))
                    << layout << ": " << str(a->objectName()) << " over " << str(b->objectName());
    };
    checkPlaces("first run");
    click(w.optParallel[0]);
    choose(w.cmbUnit, 1);
    checkPlaces("one parallel, US feet");
    click(w.optCoordSystem[2]);
    checkPlaces("State Plane 1927");

    EXPECT_EQ(w.windowTitle(), QString("  TARVANE  FREEWARE"));
    EXPECT_EQ(w.client->size(), QSize(513, 419));  // 7695 by 6285 twips
    for (QComboBox* list : {w.cmbDatum, w.cmbUnit, w.cmbZone}) EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(entries(w.cmbDatum) + entries(w.cmbUnit),
              QStringList({"WGS84", "NAD83", "NAD27", "meter", "USFeet"}));
    EXPECT_EQ(entries(w.cmbZone), QStringList({" 903 Florida North", "1701 Louisiana North", "1702 Louisiana South",
                                               "1703 Louisiana Offshore", "4203 Texas Central",
                                               "4204 Texas South Central", "4205 Texas South"}));
    QStringList captions;  // the fixed ones, as the user reads them
    for (QLabel* label : w.Label1) if (label) captions << label->text();
    for (QLabel* label : {w.lblParallel[0], w.lblParallel[2]}) captions << label->text();
    for (QGroupBox* frame : {w.frmTransformationData, w.FrafrmDatum, w.frmSetuo}) captions << frame->title();
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{w.cmdConvert[0], w.cmdInit, w.cmdConvert[1],
             w.optCoordSystem[0], w.optCoordSystem[1], w.optCoordSystem[2], w.optParallel[0], w.optParallel[1]})
        captions << b->text();
    EXPECT_EQ(captions, QStringList({"Latitude", "Longitude", "Northing", "Easting", "Geodetic Datum ",
        "Cenral Meridian", "False Northing", "False Easting", "Scale factor : ", ".. meridian :",
        "( 1 m = 3.28083333333 USft )", ".. prime vertical :", "Radius of curvature in  the ..", "Iterations :",
        "Units ", "Latitude of Origin ", "Northern Standard Parallel ", "Transformation data",
        "Co-ordinate system and Geodetic Datum", "TARVANE Conformal  Projection Parameters", "Convert  >",
        "INITIALIZE", "<  Convert", "User Defined", "US State Plane 1983", "US State Plane 1927",
        "One Standard Parallel", "Two Standard Parallels"}));
    QStringList menus;
    for (QAction* menu : w.menuBar()->actions()) {
        menus << menu->text();
        for (QAction* entry : menu->menu()->actions()) menus << entry->text();
    }
    EXPECT_EQ(menus, QStringList({"&File", "Projection from EPSG\u2026", "", "E&xit", "&About", "About"}));
}

// The state is what the buttons show: INITIALIZE alone, or both convert buttons.
TEST_F(WindowTest, EveryChoiceAndParameterEditAsksForANewInitialization) {
    Tarvane& w = openShown();
    std::vector<std::tuple<QString, std::function<void()>, bool>> steps;  // what, how, initialized after
    for (QLineEdit* box : {w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                           w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting}) {
        // A trailing blank changes the text but not what it reads as.
        steps.emplace_back("typing into " + box->objectName(), [box] {
            box->setFocus();
            box->end(false);
            QTest::keyClick(box, Qt::Key_Space);
        }, box == w.txtLat || box == w.txtLon || box == w.txtNorthing || box == w.txtEasting);
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
            w.txtParallel[1]->setText(w.optParallel[0]->isChecked() ? "1.00" : "20 N");
            w.txtParallel[2]->setText("40 N");
            w.cmdInit_Click();
        }
        ASSERT_TRUE(w.isInitialized()) << str(what);
        act();
        EXPECT_EQ(QList<bool>({w.isInitialized(), w.cmdInit->isVisible(), w.cmdConvert[0]->isVisible(),
                               w.cmdConvert[1]->isVisible()}),
                  QList<bool>({initializedAfter, !initializedAfter, initializedAfter, initializedAfter}))
            << str(what);
    }
    EXPECT_TRUE(messages.isEmpty()) << allMessages();
}

// Each step: the system chosen, the zone chosen (-1: none), then the zone
// list, datum and unit, and the parameter fields (all six, or row 0 alone).
TEST_F(WindowTest, StatePlaneSystemsTakeTheirParametersFromTheZoneTable) {
    Tarvane& w = openShown();
    const QStringList texas = {regional("27°50'00.000\"N"), regional("28°23'00.000\"N"),
                               regional("30°17'00.000\"N"), regional("099°00'00.000\"W")};
    const struct { int system, zone; QStringList choices, fields; } steps[] = {
        {2, -1, {" 903 Florida North", "NAD27", "USFeet"},
         {regional("29°00'00.000\"N"), regional("29°35'00.000\"N"), regional("30°45'00.000\"N"),
          regional("084°30'00.000\"W"), "0", "2000000"}},
        {2, 1, {"1701 Louisiana North", "NAD27", "USFeet"}, {regional("30°40'00.000\"N")}},
        {1, -1, {"1701 Louisiana North", "NAD83", "meter"}, {regional("30°30'00.000\"N")}},
        {1, 5, {"4204 Texas South Central", "NAD83", "meter"}, texas + QStringList({"4000000", "600000"})},
        {2, -1, {"4204 Texas South Central", "NAD27", "USFeet"}, texas + QStringList({"0", "2000000"})},
    };
    const std::initializer_list<QWidget*> followers = {w.txtParallel[0], w.txtParallel[1], w.txtParallel[2],
                                                       w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting,
                                                       w.cmbDatum, w.cmbUnit, w.optParallel[0], w.optParallel[1]};
    for (const auto& s : steps) {
        SCOPED_TRACE(str(s.choices.join(" ")));
        click(w.optCoordSystem[s.system]);
        if (s.zone >= 0) choose(w.cmbZone, s.zone);
        EXPECT_EQ(QStringList({w.cmbZone->currentText(), w.cmbDatum->currentText(), w.unitTag()}), s.choices);
        EXPECT_TRUE(w.cmbZone->isVisible());
        EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[s.system]->y());  // on the row of its system
        EXPECT_EQ(texts({w.txtParallel[0], w.txtParallel[1], w.txtParallel[2], w.txtCentralMeridian,
                         w.txtFalseNorthing, w.txtFalseEasting}).mid(0, s.fields.size()), s.fields);
        for (QWidget* c : followers) EXPECT_FALSE(c->isEnabled()) << str(c->objectName());
        EXPECT_TRUE(w.optParallel[1]->isChecked());
    }
    // Back to User Defined: the zone's texts, datum and unit stay, now editable.
    click(w.optCoordSystem[0]);
    EXPECT_FALSE(w.cmbZone->isVisible());
    EXPECT_EQ(QStringList({w.cmbDatum->currentText(), w.unitTag(), w.txtFalseEasting->text()}),
              QStringList({"NAD27", "USFeet", "2000000"}));
    for (QWidget* c : followers) EXPECT_TRUE(c->isEnabled()) << str(c->objectName());
    EXPECT_TRUE(messages.isEmpty()) << allMessages();
}

TEST_F(WindowTest, ParallelAndUnitOptionsRewriteTheirRows) {
    Tarvane& w = openShown();
    click(w.optParallel[0]);
    EXPECT_EQ(QStringList({w.lblParallel[0]->text(), w.lblParallel[1]->text(), w.txtParallel[1]->text()}),
              QStringList({"Latitude of Origin ", "ScaleFactor ", "1.00"}));
    EXPECT_FALSE(w.lblParallel[2]->isVisible() || w.txtParallel[2]->isVisible());
    click(w.optParallel[1]);
    EXPECT_EQ(QStringList({w.lblParallel[1]->text(), w.txtParallel[1]->text(), w.txtParallel[2]->text()}),
              QStringList({"Southern Standard Parallel", regional("00°00'00.000\"N"), regional("00°00'00.000\"N")}));
    EXPECT_TRUE(w.lblParallel[2]->isVisible() && w.txtParallel[2]->isVisible());
    // A click on the option already chosen keeps the typed parallels.
    w.txtParallel[1]->setText("20 N");
    click(w.optParallel[1]);
    EXPECT_EQ(w.txtParallel[1]->text(), QString("20 N"));

    // The unit changes the captions, not the numbers.
    for (const int unit : {1, 0}) {
        choose(w.cmbUnit, unit);
        EXPECT_EQ(w.txtFalseEasting->text(), QString("500000.0 m"));
        for (QLabel* label : w.lblUnit) EXPECT_EQ(label->text(), QString(unit ? "USFeet" : "meter"));
    }
}

// 40° N 80° W on the worked cone: easting 1352003.253 m, northing 2016449.325 m,
// and back after five passes. Grid values in the grid unit, the radii in
// metres; the numbers in their patterns with the regional separator (the run
// under a German locale checks the comma).
TEST_F(WindowTest, ConvertsTheWorkedExampleBothWaysInMetresAndFeet) {
    Tarvane& w = openShown();
    const QString sep = QChar(Tarvane::decimalSeparator());
    if (qgetenv("LC_ALL").startsWith("de_")) { ASSERT_EQ(sep, ","); }
    // A text in its pattern, "." standing for the regional separator.
    const auto shows = [&](const QString& text, QString pattern) {
        pattern.replace('.', QRegularExpression::escape(sep));
        EXPECT_TRUE(QRegularExpression(pattern).match(text).hasMatch()) << str(text);
    };
    const auto number = [&](QLineEdit* box) {
        shows(box->text(), "^-?\\d+.\\d\\d$");
        return box->text().replace(sep, ".").toDouble();
    };
    setUpWorkedCone(w);
    for (const double unit : {1.0, 3.28083333333}) {  // metres, then US survey feet per metre
        SCOPED_TRACE(unit);
        if (unit != 1.0) {
            choose(w.cmbUnit, 1);
            w.cmdInit_Click();
        }
        w.txtLat->setText("40 N");
        w.txtLon->setText("80 W");
        click(w.cmdConvert[0]);
        EXPECT_NEAR(number(w.txtEasting), 1352003.253 * unit, 0.006 * unit);
        EXPECT_NEAR(number(w.txtNorthing), 2016449.325 * unit, 0.006 * unit);
        EXPECT_EQ(w.lblTest->text(), QString("n/a"));
        shows(w.lblScaleFactor->text(), "^\\d.\\d{9}$");
        click(w.cmdConvert[1]);
        EXPECT_EQ(texts({w.txtLat, w.txtLon}),
                  QStringList({regional("40°00'00.000\"N"), regional("080°00'00.000\"W")}));
        EXPECT_EQ(w.lblTest->text(), QString("5"));
        shows(w.lblMeridianRadius->text(), "^\\d+.\\d m$");
        shows(w.lblNormalRadius->text(), "^6386976.2 m$");  // at 40° on WGS84
    }
    EXPECT_TRUE(messages.isEmpty()) << allMessages();
}

// Parallels (origin, row 1, row 2; row 2 empty: one parallel), false easting,
// and the one message, or its start.
TEST_F(WindowTest, FailedSetUpsAreReportedAndLeaveTheWindowNotInitialized) {
    Tarvane& w = openShown();
    const QString setUp = "The projection cannot be set up from these parameters: ";
    const struct { const char *what, *p0, *p1, *p2, *fe; QString expected; } cases[] = {
        {"one parallel on the equator", "0", "1.00", "", "0",
         setUp + "division by zero. A standard parallel on the equator"},
        {"parallels symmetric about the equator", "0", "30 S", "30 N", "0", setUp + "division by zero."},
        {"two equal parallels", "30", "30 N", "30 N", "0", setUp + "invalid operation. Two equal standard parallels"},
        // The pole at the apex has a place on the cone; the other lies at infinity.
        {"origin at the far pole", "90 S", "20 N", "40 N", "0", setUp + "invalid argument."},
        // A thousandth of a second apart near the pole: rounding puts the sine of the equivalent parallel above 1.
        {"arcsine beyond 1", "30", "89 58 31.857", "89 58 31.858", "0", "ARCSINUS DATA ERROR"},
        {"scale factor not a number", "30", "abc", "", "0",
         "The scale factor \"abc\" is not a number. Type a decimal number such as 1.00 or 0.9996."},
        {"scale factor of 0", "30", "0", "", "0", "The scale factor must be greater than 0."},
        {"false easting beyond a double", "25", "20 N", "40 N", "1e999", setUp + "invalid argument."},
    };
    for (const auto& c : cases) {
        messages.clear();
        click(w.optParallel[*c.p2 ? 1 : 0]);
        for (auto [box, text] : {std::pair{w.txtParallel[0], c.p0}, {w.txtParallel[1], c.p1},
                                 {w.txtParallel[2], c.p2}, {w.txtFalseEasting, c.fe}})
            box->setText(text);
        w.cmdInit_Click();
        ASSERT_EQ(messages.size(), 1) << c.what << ": " << allMessages();
        EXPECT_TRUE(messages[0].startsWith(c.expected)) << c.what << ": " << str(messages[0]);
        EXPECT_FALSE(w.isInitialized()) << c.what;
    }
}

// Latitude, northing and easting typed, the button, and the message; the
// field that the failing step would have written keeps its text.
TEST_F(WindowTest, FailedConversionsKeepWhatWasWrittenBefore) {
    Tarvane& w = openShown();
    setUpWorkedCone(w);
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
        messages.clear();
        w.txtLat->setText(c.lat);
        w.txtNorthing->setText(c.northing);
        w.txtEasting->setText(c.easting);
        click(w.cmdConvert[c.button]);
        EXPECT_EQ(messages, QStringList({c.message}));
        EXPECT_EQ(texts({w.txtLat, w.txtNorthing}), QStringList({c.lat, c.northing}));
        EXPECT_TRUE(w.isInitialized());
    }
}

// Every control that takes input has a name of its own, and every value label
// names what it is and the value it shows. (That a change is announced needs
// a real accessibility bus: the end-to-end test listens for it.)
TEST_F(WindowTest, ScreenReadersHearEveryValueAndUnit) {
    Tarvane& w = openShown();
    QStringList names;
    for (QWidget* c : w.findChildren<QWidget*>())
        if (takesInput(c)) names << nameOf(c);
    EXPECT_EQ(names.size(), 21);
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(names.removeDuplicates(), 0) << str(names.join(", "));
    setUpWorkedCone(w);
    w.txtLat->setText("40 N");
    w.txtLon->setText("80 W");
    click(w.cmdConvert[0]);
    choose(w.cmbUnit, 1);
    w.cmdInit_Click();
    click(w.cmdConvert[1]);
    for (QLabel* label : {w.lblScaleFactor, w.lblMeridianRadius, w.lblNormalRadius, w.lblTest, w.lblUnit[0],
                          w.lblUnit[1], w.lblUnit[2], w.lblUnit[3]})
        EXPECT_TRUE(nameOf(label).endsWith(" " + label->text())) << str(nameOf(label));
    EXPECT_EQ(nameOf(w.lblScaleFactor), "Scale factor " + w.lblScaleFactor->text());
    EXPECT_EQ(nameOf(w.lblUnit[1]), QString("Unit of the easting USFeet"));
    EXPECT_EQ(nameOf(w.lblTest), QString("Iterations 5"));
    // Row 1 is named for what it holds in each layout.
    EXPECT_EQ(nameOf(w.txtParallel[1]), QString("Southern standard parallel"));
    click(w.optParallel[0]);
    EXPECT_EQ(nameOf(w.txtParallel[1]), QString("Scale factor"));
}
