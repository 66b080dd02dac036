// The main window's controls, its two states, the initialize and convert
// commands and the option handlers, driven through the real widgets.
#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <cmath>

#include "Tarvane_Module.h"
#include "WindowFixture.h"

namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// Sets up the user-defined cone of the worked example: WGS84, parallels 33°
// and 45°, origin 23°, central meridian 96° W, no false values.
void setUpWorkedCone(Tarvane& w) {
    QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton);
    choose(w.cmbDatum, 0);
    w.txtParallel[0]->setText("23 N");
    w.txtParallel[1]->setText("33 N");
    w.txtParallel[2]->setText("45 N");
    w.txtCentralMeridian->setText("96 W");
    w.txtFalseNorthing->setText("0");
    w.txtFalseEasting->setText("0");
    QTest::mouseClick(w.cmdInit, Qt::LeftButton);
}

double number(const QString& text) {
    QString t = text;
    return t.replace(',', '.').toDouble();
}

}  // namespace

// Every control of the form: its name, kind, parent, caption and place in twips.
TEST_F(WindowTest, ControlsStandWhereTheFormPutsThem) {
    Tarvane& w = openShown();
    struct Row {
        const char* name;
        const char* kind;
        const char* parent;
        const char* caption;  // nullptr: the text is set at start-up
        int left, top, width, height;
    };
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
        QString caption;
        if (auto* l = qobject_cast<QLabel*>(c)) {
            caption = l->text();
            // A label takes the width of its caption.
            EXPECT_EQ(g.width(), l->fontMetrics().horizontalAdvance(caption));
        } else if (auto* b = qobject_cast<QAbstractButton*>(c)) {
            caption = b->text();
            // Option buttons may grow to fit their caption, never shrink.
            if (qobject_cast<QRadioButton*>(c)) {
                EXPECT_GE(g.width(), px(row.width));
                EXPECT_GE(g.width(), b->sizeHint().width());
            } else {
                EXPECT_EQ(g.width(), px(row.width));
            }
        } else if (auto* f = qobject_cast<QGroupBox*>(c)) {
            caption = f->title();
            EXPECT_EQ(g.width(), px(row.width));
        } else {
            EXPECT_EQ(g.width(), px(row.width));
        }
        if (row.caption) {
            EXPECT_EQ(str(caption), row.caption);
        }
        // Every caption fits inside its frame or the window.
        EXPECT_LE(g.right(), c->parentWidget()->width() - 1);
    }
    EXPECT_EQ(w.client->size(), QSize(px(7695), px(6285)));
    EXPECT_EQ(w.windowTitle(), QString("  TARVANE  FREEWARE"));
    EXPECT_FALSE(w.windowIcon().isNull());

    QStringList datums, units, zones;
    for (int i = 0; i < w.cmbDatum->count(); ++i) datums << w.cmbDatum->itemText(i);
    for (int i = 0; i < w.cmbUnit->count(); ++i) units << w.cmbUnit->itemText(i);
    for (int i = 0; i < w.cmbZone->count(); ++i) zones << w.cmbZone->itemText(i);
    EXPECT_EQ(datums, QStringList({"WGS84", "NAD83", "NAD27"}));
    EXPECT_EQ(units, QStringList({"meter", "USFeet"}));
    EXPECT_EQ(zones, QStringList({" 903 Florida North", "1701 Louisiana North", "1702 Louisiana South",
                                  "1703 Louisiana Offshore", "4203 Texas Central", "4204 Texas South Central",
                                  "4205 Texas South"}));
    for (QComboBox* list : {w.cmbDatum, w.cmbUnit, w.cmbZone}) EXPECT_FALSE(list->isEditable());

    // Menu bar: "&File" > "E&xit", "&About" > "About".
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QString("&File"));
    EXPECT_EQ(menus[1]->text(), QString("&About"));
    EXPECT_EQ(menus[0]->menu()->actions().value(0), w.mnuFileExit);
    EXPECT_EQ(w.mnuFileExit->text(), QString("E&xit"));
    EXPECT_EQ(menus[1]->menu()->actions().value(0), w.mnuAboutAbout);
    EXPECT_EQ(w.mnuAboutAbout->text(), QString("About"));

    // Focus order.
    const char* order[] = {"txtLat", "txtLon", "txtNorthing", "txtEasting", "cmdConvert(0)", "cmdConvert(1)",
                           "cmdInit", "optCoordSystem(0)", "optCoordSystem(1)", "optCoordSystem(2)",
                           "cmbDatum", "cmbUnit", "cmbZone", "optParallel(0)", "optParallel(1)",
                           "txtParallel(0)", "txtParallel(1)", "txtParallel(2)", "txtCentralMeridian",
                           "txtFalseNorthing", "txtFalseEasting"};
    // The focus chain also holds labels and frames, which never take the focus.
    auto nextTabStop = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        return next;
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        SCOPED_TRACE(order[i]);
        EXPECT_EQ(nextTabStop(find(order[i])), find(order[i + 1]));
    }
}

TEST_F(WindowTest, EveryChoiceAndParameterEditAsksForANewInitialization) {
    Tarvane& w = openShown();
    struct Step {
        const char* what;
        std::function<void()> act;
        bool initializedAfter;
    };
    auto typeBlank = [](QLineEdit* box) {
        return [box] {
            box->setFocus();
            box->end(false);
            // A trailing blank changes the text but not what it reads as.
            QTest::keyClick(box, Qt::Key_Space);
        };
    };
    const Step steps[] = {
        {"typing into the latitude", typeBlank(w.txtLat), true},
        {"typing into the longitude", typeBlank(w.txtLon), true},
        {"typing into the northing", typeBlank(w.txtNorthing), true},
        {"typing into the easting", typeBlank(w.txtEasting), true},
        {"converting forward", [&] { QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton); }, true},
        {"converting back", [&] { QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton); }, true},
        {"typing into the origin", typeBlank(w.txtParallel[0]), false},
        {"typing into the southern parallel", typeBlank(w.txtParallel[1]), false},
        {"typing into the northern parallel", typeBlank(w.txtParallel[2]), false},
        {"typing into the central meridian", typeBlank(w.txtCentralMeridian), false},
        {"typing into the false northing", typeBlank(w.txtFalseNorthing), false},
        {"typing into the false easting", typeBlank(w.txtFalseEasting), false},
        {"choosing a datum", [&] { choose(w.cmbDatum, 1); }, false},
        {"choosing the same datum", [&] { choose(w.cmbDatum, 1); }, false},
        {"choosing a unit", [&] { choose(w.cmbUnit, 1); }, false},
        {"choosing one parallel", [&] { QTest::mouseClick(w.optParallel[0], Qt::LeftButton); }, false},
        {"choosing two parallels", [&] { QTest::mouseClick(w.optParallel[1], Qt::LeftButton); }, false},
        {"choosing State Plane 1983", [&] { QTest::mouseClick(w.optCoordSystem[1], Qt::LeftButton); }, false},
        {"choosing a zone", [&] { choose(w.cmbZone, 3); }, false},
        {"choosing User Defined", [&] { QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton); }, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        // Parameters that give a cone, so that every initialization succeeds.
        if (!w.isInitialized()) {
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
    EXPECT_EQ(w.cmbDatum->currentText(), QString("NAD27"));
    EXPECT_EQ(w.cmbUnit->currentText(), QString("USFeet"));
    EXPECT_EQ(w.unitTag(), QString("USFeet"));
    for (QLabel* unit : w.lblUnit) EXPECT_EQ(unit->text(), QString("USFeet"));
    const char* sep = Tarvane::decimalSeparator() == ',' ? "," : ".";
    EXPECT_EQ(str(w.txtParallel[0]->text()), std::string("29°00'00") + sep + "000\"N");
    EXPECT_EQ(str(w.txtParallel[1]->text()), std::string("29°35'00") + sep + "000\"N");
    EXPECT_EQ(str(w.txtParallel[2]->text()), std::string("30°45'00") + sep + "000\"N");
    EXPECT_EQ(str(w.txtCentralMeridian->text()), std::string("084°30'00") + sep + "000\"W");
    EXPECT_EQ(w.txtFalseNorthing->text(), QString("0"));
    EXPECT_EQ(w.txtFalseEasting->text(), QString("2000000"));
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
    const QString sep = Tarvane::decimalSeparator() == ',' ? "," : ".";
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    choose(w.cmbZone, 1);  // 1701 Louisiana North
    EXPECT_EQ(w.txtParallel[0]->text(), "30°40'00" + sep + "000\"N");
    EXPECT_EQ(w.txtFalseEasting->text(), QString("2000000"));

    QTest::mouseClick(w.optCoordSystem[1], Qt::LeftButton);
    EXPECT_EQ(w.cmbZone->currentIndex(), 1);
    EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[1]->y());
    EXPECT_EQ(w.txtParallel[0]->text(), "30°30'00" + sep + "000\"N");
    EXPECT_EQ(w.txtFalseEasting->text(), QString("1000000"));
    EXPECT_EQ(w.cmbUnit->currentText(), QString("meter"));
    EXPECT_EQ(w.cmbDatum->currentText(), QString("NAD83"));

    // Texas South Central: false values per system, the same angles.
    choose(w.cmbZone, 5);
    EXPECT_EQ(w.txtFalseNorthing->text(), QString("4000000"));
    EXPECT_EQ(w.txtFalseEasting->text(), QString("600000"));
    const QStringList angles1983 = {w.txtParallel[0]->text(), w.txtParallel[1]->text(), w.txtParallel[2]->text(),
                                    w.txtCentralMeridian->text()};
    EXPECT_EQ(angles1983, QStringList({"27°50'00" + sep + "000\"N", "28°23'00" + sep + "000\"N",
                                       "30°17'00" + sep + "000\"N", "099°00'00" + sep + "000\"W"}));
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    EXPECT_EQ(w.txtFalseNorthing->text(), QString("0"));
    EXPECT_EQ(w.txtFalseEasting->text(), QString("2000000"));
    EXPECT_EQ(QStringList({w.txtParallel[0]->text(), w.txtParallel[1]->text(), w.txtParallel[2]->text(),
                           w.txtCentralMeridian->text()}),
              angles1983);

    // Back to User Defined: the zone's texts, datum and unit stay, now editable.
    QTest::mouseClick(w.optCoordSystem[0], Qt::LeftButton);
    EXPECT_FALSE(w.cmbZone->isVisible());
    EXPECT_EQ(w.cmbDatum->currentText(), QString("NAD27"));
    EXPECT_EQ(w.cmbUnit->currentText(), QString("USFeet"));
    EXPECT_EQ(w.txtFalseEasting->text(), QString("2000000"));
    for (QWidget* c : std::initializer_list<QWidget*>{w.txtParallel[0], w.txtCentralMeridian, w.txtFalseEasting,
                                                      w.cmbDatum, w.cmbUnit, w.optParallel[0]})
        EXPECT_TRUE(c->isEnabled()) << str(c->objectName());
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, ParallelAndUnitOptionsRewriteTheirRows) {
    Tarvane& w = openShown();
    const QString sep = Tarvane::decimalSeparator() == ',' ? "," : ".";
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
    EXPECT_EQ(w.lblParallel[1]->text(), QString("ScaleFactor "));
    EXPECT_EQ(w.txtParallel[1]->text(), QString("1.00"));
    EXPECT_FALSE(w.txtParallel[2]->isVisible());
    EXPECT_FALSE(w.lblParallel[2]->isVisible());
    EXPECT_EQ(w.lblParallel[0]->text(), QString("Latitude of Origin "));

    QTest::mouseClick(w.optParallel[1], Qt::LeftButton);
    EXPECT_EQ(w.lblParallel[1]->text(), QString("Southern Standard Parallel"));
    EXPECT_EQ(w.txtParallel[1]->text(), "00°00'00" + sep + "000\"N");
    EXPECT_EQ(w.txtParallel[2]->text(), "00°00'00" + sep + "000\"N");
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
    const QString sep = Tarvane::decimalSeparator() == ',' ? "," : ".";
    setUpWorkedCone(w);
    ASSERT_TRUE(w.isInitialized()) << str(messages.join(" | "));

    w.txtLat->setText("40 N");
    w.txtLon->setText("80 W");
    QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
    // 40° N 80° W: easting 1352003.253 m, northing 2016449.325 m.
    EXPECT_NEAR(number(w.txtEasting->text()), 1352003.253, 0.006);
    EXPECT_NEAR(number(w.txtNorthing->text()), 2016449.325, 0.006);
    EXPECT_TRUE(w.txtEasting->text().endsWith(sep + w.txtEasting->text().right(2)));
    EXPECT_EQ(w.lblTest->text(), QString("n/a"));
    EXPECT_TRUE(w.isInitialized());

    // And back: 40° N 80° W after five passes.
    QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton);
    EXPECT_EQ(w.txtLat->text(), "40°00'00" + sep + "000\"N");
    EXPECT_EQ(w.txtLon->text(), "080°00'00" + sep + "000\"W");
    EXPECT_EQ(w.lblTest->text(), QString("5"));
    // Scale factor and radii at 40° on WGS84, radii in metres with " m".
    EXPECT_TRUE(w.lblMeridianRadius->text().endsWith(" m"));
    EXPECT_NEAR(number(w.lblNormalRadius->text().chopped(2)), 6386976.2, 0.1);
    EXPECT_EQ(w.lblScaleFactor->text().size(), 11);

    // The same point in US survey feet: the grid fields follow the unit,
    // the radii stay in metres.
    const QString radius = w.lblNormalRadius->text();
    choose(w.cmbUnit, 1);
    w.cmdInit_Click();
    QTest::mouseClick(w.cmdConvert[0], Qt::LeftButton);
    EXPECT_NEAR(number(w.txtEasting->text()), 1352003.253 * 3.28083333333, 0.02);
    EXPECT_NEAR(number(w.txtNorthing->text()), 2016449.325 * 3.28083333333, 0.02);
    EXPECT_EQ(w.lblNormalRadius->text(), radius);
    QTest::mouseClick(w.cmdConvert[1], Qt::LeftButton);
    EXPECT_EQ(w.txtLat->text(), "40°00'00" + sep + "000\"N");
    EXPECT_EQ(w.txtLon->text(), "080°00'00" + sep + "000\"W");
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

// Runs with a decimal comma too (the suite is registered a second time
// under a German locale).
TEST_F(WindowTest, LocaleNumbersUseTheRegionalSeparator) {
    Tarvane& w = openShown();
    const char sep = Tarvane::decimalSeparator();
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
    struct Case {
        const char* what;
        bool oneParallel;
        const char* p0;
        const char* p1;
        const char* p2;
        const char* expected;  // the whole message or its start
    };
    const Case cases[] = {
        {"one parallel on the equator", true, "0", "1.00", "", "The projection cannot be set up from these "
                                                               "parameters: division by zero. A standard parallel on the equator"},
        {"parallels symmetric about the equator", false, "0", "30 S", "30 N",
         "The projection cannot be set up from these parameters: division by zero."},
        {"two equal parallels", false, "30", "30 N", "30 N",
         "The projection cannot be set up from these parameters: invalid operation. Two equal standard parallels"},
        {"origin at the pole", false, "90 N", "20 N", "40 N",
         "The projection cannot be set up from these parameters: invalid argument."},
        // Parallels a thousandth of a second apart near the pole: rounding
        // puts the sine of the equivalent parallel above 1.
        {"arcsine beyond 1", false, "30", "89 58 31.857", "89 58 31.858", "ARCSINUS DATA ERROR"},
        {"scale factor not a number", true, "30", "abc", "",
         "The scale factor \"abc\" is not a number. Type a decimal number such as 1.00 or 0.9996."},
        {"empty scale factor", true, "30", "", "", "The scale factor \"\" is not a number."},
        {"scale factor of 0", true, "30", "0", "", "The scale factor must be greater than 0."},
        {"negative scale factor", true, "30", "-1", "", "The scale factor must be greater than 0."},
        {"false easting beyond a double", false, "25", "20 N", "40 N",
         "The projection cannot be set up from these parameters: invalid argument."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        QTest::mouseClick(w.optParallel[c.oneParallel ? 0 : 1], Qt::LeftButton);
        w.txtParallel[0]->setText(c.p0);
        w.txtParallel[1]->setText(c.p1);
        if (!c.oneParallel) w.txtParallel[2]->setText(c.p2);
        w.txtFalseEasting->setText(QString(c.what).startsWith("false easting") ? "1e999" : "500000");
        w.cmdInit_Click();
        ASSERT_EQ(messages.size(), 1) << str(messages.join(" | "));
        EXPECT_TRUE(messages[0].startsWith(c.expected)) << str(messages[0]);
        if (QString(c.expected) == "ARCSINUS DATA ERROR") {
            EXPECT_EQ(messages[0], QString(c.expected));
        }
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
    const double apexNorthing = s.ConeMapRadiusInv - s.NorthingOffset + s.FalseNorthing;
    struct Case {
        QString northing, easting;
        QString message;
    };
    const Case cases[] = {
        {QString::number(apexNorthing, 'f', 10), "0",
         "The grid position cannot be converted: invalid operation. The point lies at the apex of the cone."},
        {QString::number(apexNorthing, 'f', 10), "1000",
         "The grid position cannot be converted: division by zero. The point lies at the apex of the cone."},
        {QString::number(apexNorthing + 1000.0, 'f', 3), "0",
         "The grid position cannot be converted: invalid argument. The point lies beyond the apex of the cone, "
         "or a value is not a finite number."},
        {"1e999", "0",
         "The grid position cannot be converted: invalid argument. The point lies beyond the apex of the cone, "
         "or a value is not a finite number."},
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
    QStringList names;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(c) && !qobject_cast<QComboBox*>(c) && !qobject_cast<QAbstractButton*>(c))
            continue;
        // Parts that Qt adds inside a list or the menu bar.
        if (c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr);
        const QString name = a->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty()) << str(c->objectName());
        names << name;
    }
    EXPECT_EQ(names.size(), 21);
    EXPECT_EQ(names.removeDuplicates(), 0) << str(names.join(", "));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.txtCentralMeridian)->text(QAccessible::Name),
              QString("Central meridian"));
    // Row 1 is named for what it holds in each layout.
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.txtParallel[1])->text(QAccessible::Name),
              QString("Scale factor"));
}
