// The main window through its real widgets: what only it shows (texts, numbers, files: tested below it).
#include <algorithm>
#include <cerrno>
#include <fstream>

#include "core/crs/Registry.h"
#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"
#include "ui/About.h"
#include "ui/DesignDialog.h"
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

    // One parallel: row 1 holds the scale factor, and says so; row 2 goes. US feet in every unit caption.
    click(w.optParallel[0]);
    EXPECT_EQ(QStringList({w.lblParallel[1]->text(), nameOf(w.txtParallel[1])}),
              QStringList({"ScaleFactor ", "Scale factor"}));
    EXPECT_TRUE(w.lblParallel[2]->isHidden() && w.txtParallel[2]->isHidden());
    choose(w.cmbUnit, 1);
    for (QLabel* label : w.lblUnit) EXPECT_EQ(label->text(), "USFeet");
    EXPECT_EQ(nameOf(w.lblUnit[1]), "Unit of the easting USFeet");
    checkPlaces("one parallel, US feet");
    // Two parallels again; a click on the chosen option runs nothing, which would reset both rows.
    click(w.optParallel[1]);
    EXPECT_EQ(QStringList({w.lblParallel[1]->text(), nameOf(w.txtParallel[1])}),
              QStringList({"Southern Standard Parallel", "Southern standard parallel"}));
    EXPECT_TRUE(w.lblParallel[2]->isVisible() && w.txtParallel[2]->isVisible());
    w.txtParallel[1]->setText("20 N");
    click(w.optParallel[1]);
    EXPECT_EQ(w.txtParallel[1]->text(), "20 N");
    // A State Plane system locks what follows the zone and shows the zone list on its own row.
    QList<QWidget*> followers = {w.cmbDatum, w.cmbUnit, w.optParallel[0], w.optParallel[1]};
    for (QLineEdit* box : boxes(w, 4)) followers << box;
    for (const int system : {2, 1}) {
        click(w.optCoordSystem[system]);
        EXPECT_TRUE(w.cmbZone->isVisible() && w.cmbZone->y() == w.optCoordSystem[system]->y());
        for (QWidget* c : followers) EXPECT_FALSE(c->isEnabled()) << str(c->objectName());
    }
    checkPlaces("State Plane 1983");
    click(w.optCoordSystem[0]);
    for (QWidget* c : followers) EXPECT_TRUE(c->isEnabled()) << str(c->objectName());
    EXPECT_FALSE(w.cmbZone->isVisible());
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
        "One Standard Parallel", "Two Standard Parallels", "&File", "Projection from EPSG\u2026",
        "Design a low-distortion grid\u2026", "", "E&xit",
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
// with its messages once, in the region's decimal separator. Only a move to
// another control of the window is a lost focus: visiting an unchanged field
// keeps the window initialized, and another window taking the focus leaves
// the text alone.
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

    if (qgetenv("LC_ALL").startsWith("de_")) { ASSERT_EQ(Tarvane::decimalSeparator(), ','); }
    const struct { QLineEdit* box; const char *typed, *shown; QStringList messages; } cases[] = {
        {w.txtLon, "-95 15", "095°15'00.000\"W", {}},
        {w.txtParallel[0], "89 59 60", "90°00'00.000\"N",
         {"LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"}},
    };
    for (const auto& c : cases) {
        typeInto(c.box, c.typed);
        leaveTo(w.txtNorthing);
        EXPECT_EQ(c.box->text(), regional(c.shown)) << c.typed;
        EXPECT_EQ(messages, c.messages) << c.typed;
        messages.clear();
    }
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

// File > "Design a low-distortion grid…": a file that is not there says so and offers nothing to use; a
// points file gives its design beside the window's grid, which stays set up, and "Use this grid" fills
// the User Defined fields with the design and initializes.
TEST_F(WindowTest, DesignDialogProposesAndUsesAGrid) {
    Tarvane& w = openShown();
    click(w.optCoordSystem[1]);
    choose(w.cmbZone, w.cmbZone->findData(4204));
    w.cmdInit_Click();
    setTexts({w.txtLat, w.txtLon}, {"29 30 N", "95 15 W"});
    w.cmdConvert_Click(0);
    const QStringList zone = texts(boxes(w, 2));
    w.mnuFileDesign->trigger();
    DesignDialog* d = w.designDialog();
    ASSERT_TRUE(d && QTest::qWaitForWindowExposed(d));
    typeInto(d->txtFile, "none.csv");
    click(d->cmdDesign);
    EXPECT_EQ(d->txtSummary->toPlainText(), "cannot open \"none.csv\": No such file or directory\n");
    EXPECT_FALSE(d->cmdUse->isEnabled());
    std::ofstream("points.csv") << "lat,lon,elev\n29 30 N,95 15 W,10\n29 10 N,95 40 W,30\n";
    typeInto(d->txtFile, "points.csv");
    click(d->chkGeoid);
    QTest::keyClick(d->txtFile, Qt::Key_Return);
    const QString summary = d->txtSummary->toPlainText();
    EXPECT_TRUE(summary.contains("this grid    window's\n  smallest ") &&
                summary.contains("window's: US State Plane 1983, zone 4204 Texas South Central\n") &&
                summary.contains("made heights above the ellipsoid by adding the geoid height N of EGM96")) << str(summary);
    w.cmdConvert_Click(0);
    EXPECT_EQ(texts(boxes(w, 2)), zone);
    click(d->cmdUse);
    EXPECT_TRUE(!d->isVisible() && w.optCoordSystem[0]->isChecked() && w.optParallel[0]->isChecked() &&
                w.isInitialized());
    EXPECT_TRUE(summary.contains("latitude of origin  " + w.txtParallel[0]->text() + "\n  central meridian    " +
                                 w.txtCentralMeridian->text() + "\n  scale factor        " + w.txtParallel[1]->text() +
                                 "\n  false easting       " + w.txtFalseEasting->text() + "\n  false northing      " +
                                 w.txtFalseNorthing->text())) << str(summary);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    Tarvane::applyLook();
    return RUN_ALL_TESTS();
}
