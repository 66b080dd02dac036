// The main window's controls, its two states, the initialize and convert
// commands and the option handlers, driven through the real widgets.
#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <cmath>
#include <functional>
#include <vector>

#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"

namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

// The user-defined cone of the worked example: WGS84, parallels 33° and 45°,
// origin 23°, central meridian 96° W, no false values.
void setUpWorkedCone(Tarvane& w) {
    QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton);
    w.cmbDatum->setCurrentIndex(0);
    w.txtParallel[0]->setText("23 N");
    w.txtParallel[1]->setText("33 N");
    w.txtParallel[2]->setText("45 N");
    w.txtCentralMeridian->setText("96 W");
    w.txtFalseNorthing->setText("0");
    w.txtFalseEasting->setText("0");
    QTest::mouseClick(w.cmdInit, Qt::LeftButton);
}

double number(QString text) { return text.replace(',', '.').toDouble(); }

QStringList texts(std::initializer_list<QLineEdit*> boxes) {
    QStringList l;
    for (QLineEdit* box : boxes) l << box->text();
    return l;
}

}  // namespace

// Every control of the form: its name, kind, parent, caption and place in twips.
TEST_F(WindowTest, ControlsStandWhereTheFormPutsThem) {
    Tarvane& w = openShown();
    struct Row { const char *name, *kind, *parent, *caption; int left, top, width, height; };  // caption null: set at start-up
    const Row rows[] = {
        {"Label1(0)", "QLabel", "client", "Latitude", 120, 240, 570, 195},
        {"txtLat", "QLineEdit", "client", nullptr, 960, 240, 1455, 285},
        {"Label1(1)", "QLabel", "client", "Longitude", 120, 720, 705, 195},
        {"txtLon", "QLineEdit", "client", nullptr, 960, 720, 1455, 285},
        {"Label1(2)", "QLabel", "client", "Northing", 2520, 240, 600, 195},
        {"txtNorthing", "QLineEdit", "client", nullptr, 3240, 240, 1095, 285},
        {"lblUnit(0)", "QLabel", "client", nullptr, 4440, 360, 120, 195},
        {"Label1(3)", "QLabel", "client", "Easting", 2520, 720, 525, 195},
        {"txtEasting", "QLineEdit", "client", nullptr, 3240, 720, 1095, 285},
        {"lblUnit(1)", "QLabel", "client", nullptr, 4440, 720, 120, 195},
        {"Label1(13)", "QLabel", "client", "Iterations :", 3120, 1080, 735, 195},
        {"lblTest", "QLabel", "client", "n/a", 3960, 1080, 255, 195},
        {"cmdConvert(0)", "QPushButton", "client", "Convert  >", 1080, 1320, 1215, 495},
        {"cmdInit", "QPushButton", "client", "INITIALIZE", 2160, 1320, 1215, 495},
        {"cmdConvert(1)", "QPushButton", "client", "<  Convert", 3240, 1320, 1215, 495},
        {"frmTransformationData", "QGroupBox", "client", "Transformation data", 5160, 120, 2295, 1335},
        {"FrafrmDatum", "QGroupBox", "client", "Co-ordinate system and Geodetic Datum", 360, 1920, 6855, 1335},
        {"frmSetuo", "QGroupBox", "client", "TARVANE Conformal  Projection Parameters", 360, 3360, 6855, 2415},
        {"lblFreeware(0)", "QLabel", "client", nullptr, 1080, 5760, 4620, 195},
        {"lblFreeware(1)", "QLabel", "client", nullptr, 1080, 6000, 4695, 195},
        {"Label1(8)", "QLabel", "frmTransformationData", "Scale factor : ", 120, 240, 990, 195},
        {"lblScaleFactor", "QLabel", "frmTransformationData", "n/a", 1200, 240, 255, 195},
        {"Label1(12)", "QLabel", "frmTransformationData", "Radius of curvature in  the ..", 120, 480, 2010, 195},
        {"Label1(9)", "QLabel", "frmTransformationData", ".. meridian :", 480, 720, 810, 195},
        {"lblMeridianRadius", "QLabel", "frmTransformationData", "n/a", 1320, 720, 255, 195},
        {"Label1(11)", "QLabel", "frmTransformationData", ".. prime vertical :", 120, 960, 1155, 195},
        {"lblNormalRadius", "QLabel", "frmTransformationData", "n/a", 1320, 960, 255, 195},
        {"optCoordSystem(0)", "QRadioButton", "FrafrmDatum", "User Defined", 120, 240, 1815, 255},
        {"optCoordSystem(1)", "QRadioButton", "FrafrmDatum", "US State Plane 1983", 120, 600, 1815, 255},
        {"optCoordSystem(2)", "QRadioButton", "FrafrmDatum", "US State Plane 1927", 120, 960, 1815, 255},
        {"Label1(4)", "QLabel", "FrafrmDatum", "Geodetic Datum ", 2040, 240, 1200, 195},
        {"cmbDatum", "QComboBox", "FrafrmDatum", nullptr, 3360, 180, 1095, 315},
        {"cmbZone", "QComboBox", "FrafrmDatum", nullptr, 2040, 600, 2415, 315},
        {"Label1(16)", "QLabel", "FrafrmDatum", "Units ", 4800, 240, 405, 195},
        {"cmbUnit", "QComboBox", "FrafrmDatum", nullptr, 5280, 180, 1215, 315},
        {"Label1(10)", "QLabel", "FrafrmDatum", "( 1 m = 3.28083333333 USft )", 4680, 600, 2100, 195},
        {"optParallel(0)", "QRadioButton", "frmSetuo", "One Standard Parallel", 360, 240, 2055, 255},
        {"optParallel(1)", "QRadioButton", "frmSetuo", "Two Standard Parallels", 360, 600, 1935, 255},
        {"lblParallel(0)", "QLabel", "frmSetuo", "Latitude of Origin ", 2520, 240, 1245, 195},
        {"txtParallel(0)", "QLineEdit", "frmSetuo", nullptr, 4440, 240, 1455, 285},
        {"lblParallel(1)", "QLabel", "frmSetuo", nullptr, 2520, 600, 1935, 195},
        {"txtParallel(1)", "QLineEdit", "frmSetuo", nullptr, 4440, 600, 1455, 285},
        {"lblParallel(2)", "QLabel", "frmSetuo", "Northern Standard Parallel ", 2520, 960, 1905, 195},
        {"txtParallel(2)", "QLineEdit", "frmSetuo", nullptr, 4440, 960, 1455, 285},
        {"Label1(5)", "QLabel", "frmSetuo", "Cenral Meridian", 3240, 1320, 1095, 195},
        {"txtCentralMeridian", "QLineEdit", "frmSetuo", nullptr, 4440, 1320, 1455, 285},
        {"Label1(6)", "QLabel", "frmSetuo", "False Northing", 3240, 1680, 1020, 195},
        {"txtFalseNorthing", "QLineEdit", "frmSetuo", nullptr, 4440, 1680, 1455, 285},
        {"lblUnit(2)", "QLabel", "frmSetuo", nullptr, 6000, 1800, 120, 195},
        {"Label1(7)", "QLabel", "frmSetuo", "False Easting", 3240, 2040, 945, 195},
        {"txtFalseEasting", "QLineEdit", "frmSetuo", nullptr, 4440, 2040, 1455, 285},
        {"lblUnit(3)", "QLabel", "frmSetuo", nullptr, 6000, 2040, 120, 195},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* c = find(row.name);
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c->metaObject()->className(), row.kind);
        EXPECT_EQ(c->parentWidget()->objectName(), QString(row.parent));
        const QRect g = c->geometry();
        EXPECT_EQ(g.x(), px(row.left));
        EXPECT_EQ(g.y(), px(row.top));
        EXPECT_EQ(g.height(), px(row.height));
        auto* label = qobject_cast<QLabel*>(c);
        auto* button = qobject_cast<QAbstractButton*>(c);
        auto* frame = qobject_cast<QGroupBox*>(c);
        const QString caption = label ? label->text() : button ? button->text() : frame ? frame->title() : QString();
        if (row.caption) { EXPECT_EQ(str(caption), row.caption); }
        // A label takes the width of its caption; an option button may grow to fit its caption, never shrink.
        if (label) {
            EXPECT_EQ(g.width(), label->fontMetrics().horizontalAdvance(caption));
        } else if (qobject_cast<QRadioButton*>(c)) {
            EXPECT_GE(g.width(), px(row.width));
            EXPECT_GE(g.width(), button->sizeHint().width());
        } else {
            EXPECT_EQ(g.width(), px(row.width));
        }
        EXPECT_LE(g.right(), c->parentWidget()->width() - 1);  // inside its frame or the window
    }
    EXPECT_EQ(w.client->size(), QSize(px(7695), px(6285)));
    EXPECT_EQ(w.windowTitle(), QString("  TARVANE  FREEWARE"));
    EXPECT_FALSE(w.windowIcon().isNull());

    auto entries = [](QComboBox* list) {
        EXPECT_FALSE(list->isEditable());
        QStringList l;
        for (int i = 0; i < list->count(); ++i) l << list->itemText(i);
        return l;
    };
    EXPECT_EQ(entries(w.cmbDatum), QStringList({"WGS84", "NAD83", "NAD27"}));
    EXPECT_EQ(entries(w.cmbUnit), QStringList({"meter", "USFeet"}));
    EXPECT_EQ(entries(w.cmbZone), QStringList({" 903 Florida North", "1701 Louisiana North", "1702 Louisiana South",
                                               "1703 Louisiana Offshore", "4203 Texas Central",
                                               "4204 Texas South Central", "4205 Texas South"}));

    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QString("&File"));
    EXPECT_EQ(menus[1]->text(), QString("&About"));
    EXPECT_EQ(menus[0]->menu()->actions().value(0), w.mnuFileEpsg);
    EXPECT_EQ(w.mnuFileEpsg->text(), QString("Projection from EPSG\u2026"));
    EXPECT_TRUE(menus[0]->menu()->actions().value(1)->isSeparator());
    EXPECT_EQ(menus[0]->menu()->actions().value(2), w.mnuFileExit);
    EXPECT_EQ(w.mnuFileExit->text(), QString("E&xit"));
    EXPECT_EQ(menus[1]->menu()->actions().value(0), w.mnuAboutAbout);
    EXPECT_EQ(w.mnuAboutAbout->text(), QString("About"));

    const char* order[] = {"txtLat", "txtLon", "txtNorthing", "txtEasting", "cmdConvert(0)", "cmdConvert(1)",
                           "cmdInit", "optCoordSystem(0)", "optCoordSystem(1)", "optCoordSystem(2)",
                           "cmbDatum", "cmbUnit", "cmbZone", "optParallel(0)", "optParallel(1)",
                           "txtParallel(0)", "txtParallel(1)", "txtParallel(2)", "txtCentralMeridian",
                           "txtFalseNorthing", "txtFalseEasting"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        // The focus chain also holds labels and frames, which never take the focus.
        QWidget* next = find(order[i])->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next, find(order[i + 1])) << order[i];
    }
}

TEST_F(WindowTest, EveryChoiceAndParameterEditAsksForANewInitialization) {
    Tarvane& w = openShown();
    struct Step { QString what; std::function<void()> act; bool initializedAfter; };
    std::vector<Step> steps;
    // A trailing blank changes the text but not what it reads as.
    for (QLineEdit* box : {w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                           w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting}) {
        const bool position = box == w.txtLat || box == w.txtLon || box == w.txtNorthing || box == w.txtEasting;
        steps.push_back({"typing into " + box->objectName(), [box] {
                             box->setFocus();
                             box->end(false);
                             QTest::keyClick(box, Qt::Key_Space);
                         }, position});
    }
    auto click = [](QAbstractButton* b) { return [b] { QTest::mouseClick(b, Qt::LeftButton); }; };
    steps.insert(steps.end(), {
        {"converting forward", click(w.cmdConvert[0]), true},
        {"converting back", click(w.cmdConvert[1]), true},
        {"choosing a datum", [&] { choose(w.cmbDatum, 1); }, false},
        {"choosing the same datum", [&] { choose(w.cmbDatum, 1); }, false},
        {"choosing a unit", [&] { choose(w.cmbUnit, 1); }, false},
        {"choosing one parallel", click(w.optParallel[0]), false},
        {"choosing two parallels", click(w.optParallel[1]), false},
        {"choosing State Plane 1983", click(w.optCoordSystem[1]), false},
        {"choosing a zone", [&] { choose(w.cmbZone, 3); }, false},
        {"choosing User Defined", click(w.optCoordSystem[0]), false},
    });
    for (const Step& step : steps) {
        SCOPED_TRACE(str(step.what));
        if (!w.isInitialized()) {  // parameters that give a cone, so that every initialization succeeds
            w.txtParallel[1]->setText(w.optParallel[0]->isChecked() ? "1.00" : "20 N");
            w.txtParallel[2]->setText("40 N");
            w.cmdInit_Click();
        }
        ASSERT_TRUE(w.isInitialized());
        step.act();
        EXPECT_EQ(w.isInitialized(), step.initializedAfter);
        // The two states never show INITIALIZE together with a convert button.
        EXPECT_NE(w.cmdInit->isVisible(), w.cmdConvert[0]->isVisible());
        EXPECT_EQ(w.cmdConvert[0]->isVisible(), w.cmdConvert[1]->isVisible());
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, StatePlane1927WithoutAZoneTakesFloridaNorth) {
    Tarvane& w = openShown();
    ASSERT_EQ(w.cmbZone->currentIndex(), -1);
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    EXPECT_EQ(w.cmbZone->currentText(), QString(" 903 Florida North"));
    EXPECT_TRUE(w.cmbZone->isVisible());
    EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[2]->y());
    QStringList choices = {w.cmbDatum->currentText(), w.cmbUnit->currentText(), w.unitTag()};
    for (QLabel* unit : w.lblUnit) choices << unit->text();
    EXPECT_EQ(choices, QStringList({"NAD27", "USFeet", "USFeet", "USFeet", "USFeet", "USFeet", "USFeet"}));
    EXPECT_EQ(texts({w.txtParallel[0], w.txtParallel[1], w.txtParallel[2], w.txtCentralMeridian,
                     w.txtFalseNorthing, w.txtFalseEasting}),
              QStringList({regional("29°00'00.000\"N"), regional("29°35'00.000\"N"), regional("30°45'00.000\"N"),
                           regional("084°30'00.000\"W"), "0", "2000000"}));
    for (QWidget* c : std::initializer_list<QWidget*>{w.txtParallel[0], w.txtParallel[1], w.txtParallel[2],
                                                      w.txtCentralMeridian, w.txtFalseNorthing,
                                                      w.txtFalseEasting, w.cmbDatum, w.cmbUnit,
                                                      w.optParallel[0], w.optParallel[1]})
        EXPECT_FALSE(c->isEnabled()) << str(c->objectName());
    EXPECT_TRUE(w.optParallel[1]->isChecked());
    EXPECT_FALSE(w.isInitialized());
}

TEST_F(WindowTest, SwitchingStatePlaneSystemsFollowsTheZoneTable) {
    Tarvane& w = openShown();
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    choose(w.cmbZone, 1);  // 1701 Louisiana North
    EXPECT_EQ(w.txtParallel[0]->text(), regional("30°40'00.000\"N"));
    EXPECT_EQ(w.txtFalseEasting->text(), QString("2000000"));

    QTest::mouseClick(w.optCoordSystem[1], Qt::LeftButton);
    EXPECT_EQ(w.cmbZone->currentIndex(), 1);
    EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[1]->y());
    EXPECT_EQ(w.txtParallel[0]->text(), regional("30°30'00.000\"N"));
    EXPECT_EQ(QStringList({w.txtFalseEasting->text(), w.cmbUnit->currentText(), w.cmbDatum->currentText()}),
              QStringList({"1000000", "meter", "NAD83"}));

    // Texas South Central: false values per system, the same angles.
    choose(w.cmbZone, 5);
    const QStringList angles = {regional("27°50'00.000\"N"), regional("28°23'00.000\"N"),
                                regional("30°17'00.000\"N"), regional("099°00'00.000\"W")};
    EXPECT_EQ(texts({w.txtParallel[0], w.txtParallel[1], w.txtParallel[2], w.txtCentralMeridian,
                     w.txtFalseNorthing, w.txtFalseEasting}),
              angles + QStringList({"4000000", "600000"}));
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    EXPECT_EQ(texts({w.txtParallel[0], w.txtParallel[1], w.txtParallel[2], w.txtCentralMeridian,
                     w.txtFalseNorthing, w.txtFalseEasting}),
              angles + QStringList({"0", "2000000"}));

    // Back to User Defined: the zone's texts, datum and unit stay, now editable.
    QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton);
    EXPECT_FALSE(w.cmbZone->isVisible());
    EXPECT_EQ(QStringList({w.cmbDatum->currentText(), w.cmbUnit->currentText(), w.txtFalseEasting->text()}),
              QStringList({"NAD27", "USFeet", "2000000"}));
    for (QWidget* c : std::initializer_list<QWidget*>{w.txtParallel[0], w.txtCentralMeridian, w.txtFalseEasting,
                                                      w.cmbDatum, w.cmbUnit, w.optParallel[0]})
        EXPECT_TRUE(c->isEnabled()) << str(c->objectName());
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, ParallelAndUnitOptionsRewriteTheirRows) {
    Tarvane& w = openShown();
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
    EXPECT_EQ(w.lblParallel[1]->text(), QString("ScaleFactor "));
    EXPECT_EQ(w.txtParallel[1]->text(), QString("1.00"));
    EXPECT_FALSE(w.txtParallel[2]->isVisible());
    EXPECT_FALSE(w.lblParallel[2]->isVisible());
    EXPECT_EQ(w.lblParallel[0]->text(), QString("Latitude of Origin "));

    QTest::mouseClick(w.optParallel[1], Qt::LeftButton);
    EXPECT_EQ(w.lblParallel[1]->text(), QString("Southern Standard Parallel"));
    EXPECT_EQ(texts({w.txtParallel[1], w.txtParallel[2]}),
              QStringList({regional("00°00'00.000\"N"), regional("00°00'00.000\"N")}));
    EXPECT_TRUE(w.txtParallel[2]->isVisible());

    // A click on the option already chosen keeps the typed parallels.
    w.txtParallel[1]->setText("20 N");
    QTest::mouseClick(w.optParallel[1], Qt::LeftButton);
    EXPECT_EQ(w.txtParallel[1]->text(), QString("20 N"));

    // The unit changes the captions, not the numbers.
    choose(w.cmbUnit, 1);
    EXPECT_EQ(w.txtFalseEasting->text(), QString("500000.0 m"));
    for (QLabel* unit : w.lblUnit) EXPECT_EQ(unit->text(), QString("USFeet"));
    choose(w.cmbUnit, 0);
    for (QLabel* unit : w.lblUnit) EXPECT_EQ(unit->text(), QString("meter"));
}

TEST_F(WindowTest, ConvertsTheWorkedExampleBothWaysInMetresAndFeet) {
    Tarvane& w = openShown();
    setUpWorkedCone(w);
    ASSERT_TRUE(w.isInitialized()) << str(messages.join(" | "));
    const double ft = 3.28083333333;  // US survey feet per metre
    for (const bool feet : {false, true}) {
        SCOPED_TRACE(feet ? "USFeet" : "meter");
        if (feet) {
            choose(w.cmbUnit, 1);
            w.cmdInit_Click();
        }
        w.txtLat->setText("40 N");
        w.txtLon->setText("80 W");
        QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
        // 40° N 80° W: easting 1352003.253 m, northing 2016449.325 m; shown to 0.01 in the grid unit.
        EXPECT_NEAR(number(w.txtEasting->text()), 1352003.253 * (feet ? ft : 1), 0.006 * (feet ? ft : 1));
        EXPECT_NEAR(number(w.txtNorthing->text()), 2016449.325 * (feet ? ft : 1), 0.006 * (feet ? ft : 1));
        EXPECT_EQ(w.lblTest->text(), QString("n/a"));

        // And back: 40° N 80° W after five passes.  Radii at 40° on WGS84, in metres whatever the unit.
        QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton);
        EXPECT_EQ(w.txtLat->text(), regional("40°00'00.000\"N"));
        EXPECT_EQ(w.txtLon->text(), regional("080°00'00.000\"W"));
        EXPECT_EQ(w.lblTest->text(), QString("5"));
        EXPECT_TRUE(w.lblMeridianRadius->text().endsWith(" m"));
        EXPECT_TRUE(w.lblNormalRadius->text().endsWith(" m"));
        EXPECT_NEAR(number(w.lblNormalRadius->text().chopped(2)), 6386976.2, 0.1);
        EXPECT_EQ(w.lblScaleFactor->text().size(), 11);
    }
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

// Registered a second time under a German locale, for the decimal comma.
TEST_F(WindowTest, LocaleNumbersUseTheRegionalSeparator) {
    Tarvane& w = openShown();
    const char sep = Tarvane::decimalSeparator();
    if (qgetenv("LC_ALL").startsWith("de_")) { ASSERT_EQ(sep, ','); }
    setUpWorkedCone(w);
    w.txtLat->setText("40 N");
    w.txtLon->setText("80 W");
    QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
    EXPECT_EQ(w.txtEasting->text().at(w.txtEasting->text().size() - 3), QChar(sep));
    EXPECT_EQ(w.lblScaleFactor->text().at(1), QChar(sep));
    EXPECT_EQ(w.lblMeridianRadius->text().right(4).at(0), QChar(sep));
    EXPECT_FALSE(w.txtNorthing->text().contains(sep == ',' ? '.' : ','));

    // The scale factor is read with either mark: the option's own "1.00" and
    // a typed "0,9996" both set up a cone.
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
    w.txtParallel[0]->setText("39 N");
    w.cmdInit_Click();
    EXPECT_TRUE(w.isInitialized()) << str(messages.join(" | "));
    w.txtParallel[1]->setText("0,9996");
    w.cmdInit_Click();
    EXPECT_TRUE(w.isInitialized()) << str(messages.join(" | "));
    EXPECT_DOUBLE_EQ(Tarvane_Module::State.ScaleFactor, 0.9996);
}

TEST_F(WindowTest, FailuresOfTheEngineAreReportedAndTheWindowGoesOn) {
    Tarvane& w = openShown();
    const QString setUp = "The projection cannot be set up from these parameters: ";
    // Parallels (origin, row 1, row 2; row 2 empty: one parallel), false easting, the message or its start.
    struct Case { const char *what, *p0, *p1, *p2, *fe; QString expected; };
    const Case cases[] = {
        {"one parallel on the equator", "0", "1.00", "", "500000",
         setUp + "division by zero. A standard parallel on the equator"},
        {"parallels symmetric about the equator", "0", "30 S", "30 N", "500000", setUp + "division by zero."},
        {"two equal parallels", "30", "30 N", "30 N", "500000",
         setUp + "invalid operation. Two equal standard parallels"},
        // The pole at the apex has a place on the cone; the other lies at infinity.
        {"origin at the far pole", "90 S", "20 N", "40 N", "500000", setUp + "invalid argument."},
        // A thousandth of a second apart near the pole: rounding puts the sine of the equivalent parallel above 1.
        {"arcsine beyond 1", "30", "89 58 31.857", "89 58 31.858", "500000", "ARCSINUS DATA ERROR"},
        {"scale factor not a number", "30", "abc", "", "500000",
         "The scale factor \"abc\" is not a number. Type a decimal number such as 1.00 or 0.9996."},
        {"empty scale factor", "30", "", "", "500000", "The scale factor \"\" is not a number."},
        {"scale factor of 0", "30", "0", "", "500000", "The scale factor must be greater than 0."},
        {"negative scale factor", "30", "-1", "", "500000", "The scale factor must be greater than 0."},
        {"false easting beyond a double", "25", "20 N", "40 N", "1e999", setUp + "invalid argument."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        const bool oneParallel = !*c.p2;
        QTest::mouseClick(w.optParallel[oneParallel ? 0 : 1], Qt::LeftButton);
        w.txtParallel[0]->setText(c.p0);
        w.txtParallel[1]->setText(c.p1);
        if (!oneParallel) w.txtParallel[2]->setText(c.p2);
        w.txtFalseEasting->setText(c.fe);
        w.cmdInit_Click();
        ASSERT_EQ(messages.size(), 1) << str(messages.join(" | "));
        EXPECT_TRUE(messages[0].startsWith(c.expected)) << str(messages[0]);
        if (c.expected == "ARCSINUS DATA ERROR") { EXPECT_EQ(messages[0], c.expected); }
        EXPECT_FALSE(w.isInitialized());
    }
}

TEST_F(WindowTest, FailedConversionsKeepWhatWasWrittenBefore) {
    Tarvane& w = openShown();
    setUpWorkedCone(w);
    ASSERT_TRUE(w.isInitialized());
    w.txtNorthing->setText("123");
    w.txtEasting->setText("456");

    // The pole has no grid position: nothing is written.
    w.txtLat->setText("90 N");
    QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString("The position cannot be converted: invalid argument. A latitude of 90° north "
                                   "or south has no grid position on a cone."));
    EXPECT_EQ(w.txtNorthing->text(), QString("123"));

    // The apex and beyond it.
    const auto& s = Tarvane_Module::State;
    const QString apex = QString::number(s.ConeMapRadiusInv - s.NorthingOffset + s.FalseNorthing, 'f', 10);
    const QString beyond = QString::number(s.ConeMapRadiusInv - s.NorthingOffset + s.FalseNorthing + 1000.0, 'f', 3);
    const QString grid = "The grid position cannot be converted: ";
    const QString notFinite = "invalid argument. The point lies beyond the apex of the cone, or a value is not a finite number.";
    struct Case { QString northing, easting, message; };
    const Case cases[] = {
        {apex, "0", grid + "invalid operation. The point lies at the apex of the cone."},
        {apex, "1000", grid + "division by zero. The point lies at the apex of the cone."},
        {beyond, "0", grid + notFinite},
        {"1e999", "0", grid + notFinite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(c.northing + " " + c.easting));
        messages.clear();
        w.txtLat->setText("lat");
        w.txtNorthing->setText(c.northing);
        w.txtEasting->setText(c.easting);
        QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], c.message);
        EXPECT_EQ(w.txtLat->text(), QString("lat"));
        EXPECT_TRUE(w.isInitialized());
    }
}

// What a screen reader announces for each control that takes input.
TEST_F(WindowTest, EveryInputControlHasAnAccessibleName) {
    Tarvane& w = openShown();
    auto nameOf = [](QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name); };
    QStringList names;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        // Skip the parts that Qt adds inside a list or the menu bar.
        if ((qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractButton*>(c)) &&
            !c->objectName().isEmpty() && !c->objectName().startsWith("qt_")) {
            names << nameOf(c);
            EXPECT_FALSE(names.last().trimmed().isEmpty()) << str(c->objectName());
        }
    }
    EXPECT_EQ(names.size(), 21);
    EXPECT_EQ(names.removeDuplicates(), 0) << str(names.join(", "));
    EXPECT_EQ(nameOf(w.txtCentralMeridian), QString("Central meridian"));
    // Row 1 is named for what it holds in each layout.
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
    EXPECT_EQ(nameOf(w.txtParallel[1]), QString("Scale factor"));
}

// What a screen reader hears of the results: every value label names what it
// is and the value it shows. (That the change is announced needs a real
// accessibility bus: the end-to-end test listens for it.)
TEST_F(WindowTest, ScreenReadersHearEveryValueAndUnit) {
    Tarvane& w = openShown();
    setUpWorkedCone(w);
    auto nameOf = [](QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name); };
    auto heard = [&](const char* step) {
        for (QLabel* label : {w.lblScaleFactor, w.lblMeridianRadius, w.lblNormalRadius, w.lblTest, w.lblUnit[0],
                              w.lblUnit[1], w.lblUnit[2], w.lblUnit[3]}) {
            SCOPED_TRACE(step + (" " + str(label->objectName())));
            EXPECT_TRUE(nameOf(label).endsWith(" " + label->text())) << str(nameOf(label));
        }
    };
    w.txtLat->setText("40 N");
    w.txtLon->setText("80 W");
    QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
    EXPECT_EQ(nameOf(w.lblScaleFactor), "Scale factor " + w.lblScaleFactor->text());
    heard("forward");
    choose(w.cmbUnit, 1);
    w.cmdInit_Click();
    QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton);
    EXPECT_EQ(nameOf(w.lblUnit[1]), QString("Unit of the easting USFeet"));
    EXPECT_EQ(nameOf(w.lblTest), QString("Iterations 5"));
    heard("inverse in feet");
}
