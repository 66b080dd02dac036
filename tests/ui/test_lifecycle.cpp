// Start-up from TARVANE.ini or the defaults, field editing and its focus
// rules, exit and the About box, driven through the real widgets.
#include <QSignalSpy>

#include <cerrno>

#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"
#include "ui/About.h"

namespace {

// State Plane 1927 on Texas South Central, with stored texts that differ from
// the zone table, so that it shows which of the two wins.
std::string statePlaneFile(int parallels, const char* southern = "28\xB0" "23'00.000\"N") {
    return " 2 \r\n 5 \r\n 2 \r\n 1 \r\n29 30 15.5 N\r\n98 W\r\n " + std::to_string(parallels) +
           " \r\n27\xB0" "50'00.000\"N\r\n" + southern + "\r\n30\xB0" "17'00.000\"N\r\n099\xB0" "00'00.000\"W\r\n"
           "0\r\n2000001\r\n";
}

}  // namespace

// The stored file wins over the zone table and leaves the grid position out;
// no file, or one the reader refuses, gives the defaults. Shown: the system,
// zone, datum, the four unit captions, row 1's caption and the ten fields.
TEST_F(WindowTest, StartUpAppliesTheStoredFileOrTheDefaults) {
    const QStringList defaults = {"User Defined", "", "WGS84", "meter", "meter", "meter", "meter",
        "Southern Standard Parallel", regional("30°00'00.000\"N"), regional("080°00'00.000\"W"), "0.0 m", "0.0 m",
        regional("25°00'00.000\"N"), regional("20°00'00.000\"N"), regional("40°00'00.000\"N"),
        regional("075°00'00.000\"W"), "1000000.0 m", "500000.0 m"};
    const auto stored = [](bool one) {  // with one parallel, row 1 holds the scale factor
        return QStringList({"US State Plane 1927", "4204 Texas South Central", "NAD27", "USFeet", "USFeet", "USFeet",
            "USFeet", one ? "ScaleFactor " : "Southern Standard Parallel", "29 30 15.5 N", "98 W", "n/a", "n/a",
            "27°50'00.000\"N", one ? "0.9996" : "28°23'00.000\"N", "30°17'00.000\"N", "099°00'00.000\"W", "0",
            "2000001"});
    };
    const std::pair<std::string, QStringList> cases[] = {
        {"", defaults},  // no file: the first row, in a fresh directory
        {statePlaneFile(2).substr(0, 40), defaults},          {std::string("\x00\xff rest", 7), defaults},
        {statePlaneFile(2), stored(false)},                   {statePlaneFile(1, "0.9996"), stored(true)},
        {statePlaneFile(0), stored(false)},                   {statePlaneFile(-7), stored(false)},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file.substr(0, 20));
        if (!file.empty()) writeSettings(file);
        Tarvane& w = open();
        const bool statePlane = expected[0] != "User Defined";
        QStringList shown;
        for (QRadioButton* option : w.optCoordSystem) if (option->isChecked()) shown << option->text();
        shown << w.cmbZone->currentText() << w.cmbDatum->currentText();
        for (QLabel* unit : w.lblUnit) shown << unit->text();
        shown << w.lblParallel[1]->text();
        shown += texts({w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                        w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting});
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(w.cmbZone->isHidden(), !statePlane);
        EXPECT_EQ(w.txtFalseEasting->isEnabled(), !statePlane);
        EXPECT_TRUE(w.isInitialized());
        if (!statePlane) continue;
        EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[2]->y());
        // The cone was set up from the stored false easting, in feet.
        EXPECT_NEAR(Tarvane_Module::State.FalseEasting, 2000001 / 3.28083333333, 1e-6);
    }
    EXPECT_TRUE(messages.isEmpty()) << allMessages();
}

// Three runs, each writing once and ending once. The first changes the
// choices and leaves by File > Exit, then the close box; the second opens as
// the first left and leaves the other way round, writing the same file; the
// third cannot save its change: it says why, and the file stays as it was.
TEST_F(WindowTest, ExitWritesOnceAndTheNextRunComesBackAsLeft) {
    int creates = 0;
    SettingsFileCalls counting, failing;
    counting.create = [&](const std::string& path) { ++creates; return Real_Settings_File_Calls().create(path); };
    failing.create = [&](const std::string&) { ++creates; errno = EACCES; return -1; };
    std::string stored;
    for (const int run : {1, 2, 3}) {
        Set_Settings_File_Calls(run < 3 ? counting : failing);
        Tarvane& w = openShown();
        if (run == 1) {
            click(w.optCoordSystem[1]);
            choose(w.cmbZone, 6);
            w.txtLat->setText("26 12 N");
        } else {
            EXPECT_TRUE(w.optCoordSystem[1]->isChecked());
            EXPECT_EQ(QStringList({w.cmbZone->currentText(), w.cmbDatum->currentText(), w.txtLat->text(),
                                   w.txtLon->text(), w.txtFalseNorthing->text()}),
                      QStringList({"4205 Texas South", "NAD83", "26 12 N", regional("080°00'00.000\"W"), "5000000"}));
            if (run == 3) w.txtLat->setText("changed");
        }
        QSignalSpy ended(&w, &Tarvane::programEnded);
        if (run == 1) w.mnuFileExit_Click();
        w.close();
        w.mnuFileExit_Click();
        EXPECT_EQ(creates, run);
        EXPECT_EQ(ended.count(), 1);
        if (run > 1) { EXPECT_EQ(readSettings(), stored); }
        stored = readSettings();
    }
    ASSERT_EQ(messages.size(), 1) << allMessages();
    EXPECT_TRUE(messages[0].startsWith("The settings could not be saved to ")) << str(messages[0]);
    EXPECT_TRUE(messages[0].contains("TARVANE.ini: Permission denied.")) << str(messages[0]);
}

TEST_F(WindowTest, LeavingAnAngleFieldRewritesIt) {
    Tarvane& w = openShown();
    struct Case { QLineEdit* box; QString typed, shown; QStringList messages; };
    const Case cases[] = {
        {w.txtLat, "29 30", regional("29°30'00.000\"N"), {}},
        {w.txtLon, "-95 15", regional("095°15'00.000\"W"), {}},
        {w.txtLat, "", regional("00°00'00.000\"N"), {"LATITUDE FORMAT ERROR. "}},
        {w.txtLon, "", regional("000°00'00.000\"E"), {"LONGITUDE FORMAT ERROR. "}},
        {w.txtParallel[0], "89 59 60", regional("90°00'00.000\"N"),
         {"LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"}},
        {w.txtParallel[2], "91", regional("90°00'00.000\"N"), {"LATITUDE FORMAT ERROR. Max 90 deg allowed"}},
        {w.txtCentralMeridian, "10 30 0 V", regional("010°30'00.000\"W"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(c.box->objectName() + " " + c.typed));
        messages.clear();
        typeInto(c.box, c.typed);
        leaveTo(w.txtNorthing);
        EXPECT_EQ(c.box->text(), c.shown);
        EXPECT_EQ(messages, c.messages);  // each lost focus gives its messages once
    }
}

TEST_F(WindowTest, OnlyARealMoveWithinTheWindowIsALostFocus) {
    Tarvane& w = openShown();
    // In one-parallel mode row 1 holds the scale factor and is left alone.
    click(w.optParallel[0]);
    typeInto(w.txtParallel[1], "0,9996");
    leaveTo(w.txtParallel[0]);
    EXPECT_EQ(w.txtParallel[1]->text(), QString("0,9996"));

    // Merely visiting a well-formed angle field keeps the window initialized.
    w.cmdInit_Click();
    ASSERT_TRUE(w.isInitialized());
    leaveTo(w.txtCentralMeridian);
    leaveTo(w.txtFalseEasting);
    EXPECT_TRUE(w.isInitialized());

    // Another window taking the focus is not a move within this one.
    typeInto(w.txtLat, "12 30");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(w.txtLat->text(), QString("12 30"));
    EXPECT_TRUE(messages.isEmpty()) << allMessages();
}

TEST_F(WindowTest, EnteringABoxSelectsAllOfItsText) {
    Tarvane& w = openShown();
    for (QLineEdit* box : {w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                           w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting}) {
        w.cmbDatum->setFocus();  // away first
        box->deselect();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QApplication::processEvents();
        EXPECT_TRUE(box->hasFocus()) << str(box->objectName());
        EXPECT_EQ(box->selectedText(), box->text()) << str(box->objectName());
    }
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
    int abouts = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) abouts += qobject_cast<About*>(top) && top->isVisible();
    EXPECT_EQ(abouts, 1);

    click(box->cmdOK);
    EXPECT_FALSE(box->isVisible());
    w.move(w.x() + 120, w.y() + 60);
    EXPECT_EQ(showAbout(), box);
    w.mnuFileExit_Click();  // leaving with the box open takes it along
    EXPECT_FALSE(box->isVisible());
}
