// Start-up from TARVANE.ini or the defaults, field editing, exit and the
// About box, driven through the real widgets.
#include <QSignalSpy>

#include <unistd.h>

#include <cerrno>

#include "ui/About.h"
#include "core/settings/Settings.h"
#include "engine/Tarvane_Module.h"
#include "tests/ui/WindowFixture.h"

namespace {

// The file a first run writes when the user leaves at once.
const std::string kFirstRunFile =
    " 0 \r\n-1 \r\n 0 \r\n 0 \r\n30\xB0" "00'00.000\"N\r\n080\xB0" "00'00.000\"W\r\n 2 \r\n"
    "25\xB0" "00'00.000\"N\r\n20\xB0" "00'00.000\"N\r\n40\xB0" "00'00.000\"N\r\n075\xB0" "00'00.000\"W\r\n"
    "1000000.0 m\r\n500000.0 m\r\n";

// State Plane 1927 on Texas South Central, with stored texts that differ from
// the zone table, so that it shows which of the two wins.
std::string statePlaneFile(int parallels) {
    return " 2 \r\n 5 \r\n 2 \r\n 1 \r\n29 30 15.5 N\r\n98 W\r\n " + std::to_string(parallels) +
           " \r\n27\xB0" "50'00.000\"N\r\n28\xB0" "23'00.000\"N\r\n30\xB0" "17'00.000\"N\r\n099\xB0"
           "00'00.000\"W\r\n0\r\n2000001\r\n";
}

}  // namespace

TEST_F(WindowTest, FirstRunOpensOnTheDefaultsAndExitOrCloseWritesThemOnce) {
    int creates = 0;
    const SettingsFileCalls real = Real_Settings_File_Calls();
    SettingsFileCalls counting;
    counting.create = [&](const std::string& path) { ++creates; return real.create(path); };
    Set_Settings_File_Calls(counting);

    Tarvane& w = openShown();
    EXPECT_TRUE(w.optCoordSystem[0]->isChecked());
    QStringList texts = {w.cmbDatum->currentText(), w.cmbUnit->currentText()};
    for (QLabel* unit : w.lblUnit) texts << unit->text();
    EXPECT_EQ(texts, QStringList({"WGS84", "meter", "meter", "meter", "meter", "meter"}));
    EXPECT_EQ(w.cmbZone->currentIndex(), -1);
    EXPECT_FALSE(w.cmbZone->isVisible());
    EXPECT_TRUE(w.optParallel[1]->isChecked());
    texts.clear();
    for (QLineEdit* box : {w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                           w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting})
        texts << box->text();
    EXPECT_EQ(texts, QStringList({"30°00'00.000\"N", "080°00'00.000\"W", "0.0 m", "0.0 m", "25°00'00.000\"N",
                                  "20°00'00.000\"N", "40°00'00.000\"N", "075°00'00.000\"W", "1000000.0 m",
                                  "500000.0 m"}));
    EXPECT_TRUE(w.isInitialized());

    // File > Exit, then the close box; and in the next run the close box, then File > Exit:
    // the file is written once per run, and the defaults come back unchanged.
    for (const bool exitFirst : {true, false}) {
        Tarvane& run = exitFirst ? w : openShown();
        QSignalSpy ended(&run, &Tarvane::programEnded);
        if (exitFirst) run.mnuFileExit_Click();
        run.close();
        run.mnuFileExit_Click();
        EXPECT_EQ(creates, exitFirst ? 1 : 2);
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(readSettings(), kFirstRunFile);
    }
    Reset_Settings_File_Calls();
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, StoredTextsWinOverTheZoneTable) {
    writeSettings(statePlaneFile(2));
    Tarvane& w = openShown();
    EXPECT_TRUE(w.optCoordSystem[2]->isChecked());
    EXPECT_EQ(w.cmbZone->currentText(), QString("4204 Texas South Central"));
    EXPECT_TRUE(w.cmbZone->isVisible());
    EXPECT_EQ(w.cmbZone->y(), w.optCoordSystem[2]->y());
    EXPECT_EQ(w.cmbDatum->currentText(), QString("NAD27"));
    EXPECT_EQ(w.unitTag(), QString("USFeet"));
    // Stored texts as they were, not reformatted; no grid position.
    EXPECT_EQ(QStringList({w.txtLat->text(), w.txtLon->text(), w.txtNorthing->text(), w.txtEasting->text(),
                           w.txtFalseEasting->text(), w.txtParallel[0]->text()}),
              QStringList({"29 30 15.5 N", "98 W", "n/a", "n/a", "2000001", "27°50'00.000\"N"}));
    for (QLineEdit* box : {w.txtParallel[0], w.txtCentralMeridian, w.txtFalseEasting}) EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(w.isInitialized());
    // The cone was set up from the stored false easting, in feet.
    EXPECT_NEAR(Tarvane_Module::State.FalseEasting, 2000001 / 3.28083333333, 1e-6);
}

TEST_F(WindowTest, StoredParallelCountChoosesTheLayout) {
    for (const int stored : {1, 2, 0, -7}) {
        SCOPED_TRACE(stored);
        const bool one = stored == 1;  // then row 1 holds the scale factor
        writeSettings(" 0 \r\n-1 \r\n 0 \r\n 0 \r\n30 N\r\n80 W\r\n " + std::to_string(stored) + " \r\n30 N\r\n" +
                      (one ? "0.9996" : "20 N") + "\r\n40 N\r\n75 W\r\n0\r\n0\r\n");
        Tarvane& w = open();
        EXPECT_EQ(w.optParallel[0]->isChecked(), one);
        EXPECT_EQ(w.lblParallel[1]->text(), QString(one ? "ScaleFactor " : "Southern Standard Parallel"));
        EXPECT_EQ(w.txtParallel[1]->text(), QString(one ? "0.9996" : "20 N"));
        EXPECT_TRUE(w.isInitialized()) << str(messages.join(" | "));
    }
}

TEST_F(WindowTest, AnUnreadableFileGivesTheDefaults) {
    for (const std::string& bytes : {std::string(" 7 \r\n"), statePlaneFile(2).substr(0, 40),
                                    std::string("\x00\xff garbage", 10)}) {
        writeSettings(bytes);
        Tarvane& w = open();
        EXPECT_TRUE(w.optCoordSystem[0]->isChecked());
        EXPECT_EQ(w.txtFalseEasting->text(), QString("500000.0 m"));
        EXPECT_TRUE(w.isInitialized());
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, LeavingAnAngleFieldRewritesIt) {
    Tarvane& w = openShown();
    struct Case { QLineEdit* box; QString typed, shown; QStringList messages; };
    const Case cases[] = {
        {w.txtLat, "29 30", "29°30'00.000\"N", {}},
        {w.txtLon, "-95 15", "095°15'00.000\"W", {}},
        {w.txtLat, "91", "90°00'00.000\"N", {"LATITUDE FORMAT ERROR. Max 90 deg allowed"}},
        {w.txtLat, "", "00°00'00.000\"N", {"LATITUDE FORMAT ERROR. "}},
        {w.txtLon, "", "000°00'00.000\"E", {"LONGITUDE FORMAT ERROR. "}},
        {w.txtParallel[0], "89 59 60", "90°00'00.000\"N",
         {"LATITUDE SECOND FORMAT ERROR. Max 59.9999 allowed", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"}},
        {w.txtCentralMeridian, "10 30 0 V", "010°30'00.000\"W", {}},
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
    QTest::mouseClick(w.optParallel[0], Qt::LeftButton);
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
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, EnteringABoxSelectsAllOfItsText) {
    Tarvane& w = openShown();
    for (QLineEdit* box : {w.txtLat, w.txtLon, w.txtNorthing, w.txtEasting, w.txtParallel[0], w.txtParallel[1],
                           w.txtParallel[2], w.txtCentralMeridian, w.txtFalseNorthing, w.txtFalseEasting}) {
        SCOPED_TRACE(str(box->objectName()));
        w.cmbDatum->setFocus();  // away first
        box->deselect();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QApplication::processEvents();
        EXPECT_TRUE(box->hasFocus());
        EXPECT_EQ(box->selectedText(), box->text());
    }
}

// Whichever step of the save fails, the old file stays and the user is told
// why; the program still ends.
TEST_F(WindowTest, AFailedSaveIsReportedAndTheProgramStillEnds) {
    auto fail = [](int error) { errno = error; return -1; };
    SettingsFileCalls create, write, rename;
    create.create = [&](const std::string&) { return fail(EACCES); };
    write.write = [&](int fd, const char* data, std::size_t size) -> long {
        return size > 20 ? ::write(fd, data, 20) : fail(ENOSPC);  // part-way, then the disk is full
    };
    rename.rename = [&](const std::string&, const std::string&) { return fail(EROFS); };
    const std::pair<SettingsFileCalls, const char*> cases[] = {
        {create, "Permission denied"}, {write, "No space left on device"}, {rename, "Read-only file system"}};
    for (const auto& [calls, reason] : cases) {
        SCOPED_TRACE(reason);
        messages.clear();
        writeSettings(statePlaneFile(2));
        Set_Settings_File_Calls(calls);
        Tarvane& w = open();
        QSignalSpy ended(&w, &Tarvane::programEnded);
        w.txtLat->setText("changed");
        w.mnuFileExit_Click();
        Reset_Settings_File_Calls();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith("The settings could not be saved to ")) << str(messages[0]);
        EXPECT_TRUE(messages[0].contains(QString("TARVANE.ini: ") + reason + ".")) << str(messages[0]);
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(readSettings(), statePlaneFile(2));
        EXPECT_EQ(QDir().entryList(QDir::Files), QStringList({"TARVANE.ini"}));
    }
}

TEST_F(WindowTest, AboutBoxIsOneWindowCentredEachTimeItLoads) {
    Tarvane& w = openShown();
    w.mnuAboutAbout_Click();
    About* box = w.aboutBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_EQ(QStringList({box->windowTitle(), box->Label1_0->text(), box->lblVersion->text(), box->cmdOK->text()}),
              QStringList({"About ........", "TARVANE / US State Plane      co-ordinate calculator",
                           "Version 1.01  Date 03.06.1999", "OK"}));
    EXPECT_EQ(box->size(), QSize(315, 260));
    EXPECT_FALSE(box->Picture1->pixmap().isNull());
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_FALSE(box->isModal());

    w.mnuAboutAbout_Click();
    EXPECT_EQ(w.aboutBox(), box);
    int abouts = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) abouts += qobject_cast<About*>(top) && top->isVisible();
    EXPECT_EQ(abouts, 1);

    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    w.move(w.x() + 120, w.y() + 60);
    QApplication::processEvents();
    w.mnuAboutAbout_Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_LE((w.frameGeometry().center() - box->frameGeometry().center()).manhattanLength(), 4);

    w.mnuFileExit_Click();  // leaving with the box open takes it along
    EXPECT_FALSE(box->isVisible());
}

TEST_F(WindowTest, ChoicesAndFieldsComeBackAfterARestart) {
    Tarvane& first = openShown();
    QTest::mouseClick(first.optCoordSystem[1], Qt::LeftButton);
    choose(first.cmbZone, 6);
    first.txtLat->setText("26 12 N");
    first.txtLon->setText("097°30'00.000\"W");
    first.cmdInit_Click();
    first.mnuFileExit_Click();
    const std::string stored = readSettings();

    Tarvane& w = openShown();
    EXPECT_TRUE(w.optCoordSystem[1]->isChecked());
    EXPECT_EQ(w.cmbZone->currentIndex(), 6);
    EXPECT_EQ(QStringList({w.cmbDatum->currentText(), w.txtLat->text(), w.txtLon->text(), w.txtFalseNorthing->text()}),
              QStringList({"NAD83", "26 12 N", "097°30'00.000\"W", "5000000"}));
    w.mnuFileExit_Click();
    EXPECT_EQ(readSettings(), stored);
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}
