// File > "Projection from EPSG…" driven through its real widgets, and the
// convert commands across the antimeridian.
#include <QDialogButtonBox>
#include <QListWidget>

#include <algorithm>
#include <cstdlib>

#include "core/crs/Registry.h"
#include "tests/ui/WindowFixture.h"
#include "ui/EpsgDialog.h"

namespace {

// What the initialize command reads, and a point converted with it.
QStringList parametersAndPoint(Tarvane& w) {
    QStringList l = {w.cmbDatum->currentText(), w.unitTag(), w.optParallel[1]->isChecked() ? "two" : "one"};
    for (QLineEdit* box : {w.txtParallel[0], w.txtParallel[1], w.txtParallel[2], w.txtCentralMeridian,
                           w.txtFalseNorthing, w.txtFalseEasting})
        l << box->text();
    w.txtLat->setText("29 30 N");
    w.txtLon->setText("98 15 W");
    w.cmdConvert_Click(0);
    return l << w.txtNorthing->text() << w.txtEasting->text() << w.lblScaleFactor->text();
}

QList<QListWidgetItem*> shown(const EpsgDialog& d) {
    QList<QListWidgetItem*> items;
    for (int i = 0; i < d.lstGrids->count(); ++i)
        if (!d.lstGrids->item(i)->isHidden()) items << d.lstGrids->item(i);
    return items;
}

}  // namespace

// Choosing NAD27 / Texas South Central fills exactly what the 1927 zone 4204
// fills, initializes, and converts a point to the same numbers.
TEST_F(WindowTest, ProjectionFromEpsgFillsTheFieldsAsTyped) {
    Tarvane& w = openShown();
    QTest::mouseClick(w.optCoordSystem[2], Qt::LeftButton);
    choose(w.cmbZone, w.cmbZone->findData(4204));
    w.cmdInit_Click();
    const QStringList zone = parametersAndPoint(w);

    w.mnuFileEpsg->trigger();
    EpsgDialog* d = w.epsgDialog();
    ASSERT_TRUE(d && QTest::qWaitForWindowExposed(d));
    const qsizetype all = shown(*d).size();
    QTest::keyClicks(d->txtSearch, "Texas SOUTH cent");
    EXPECT_GT(all, 1000);
    EXPECT_EQ(shown(*d).size(), 9);  // in 1927, 1983 and its realizations, metres and feet

    // A grid on another ellipsoid is there, greyed, with the reason.
    typeInto(d->txtSearch, "27572");
    ASSERT_EQ(shown(*d).size(), 1);
    d->lstGrids->setCurrentItem(shown(*d)[0]);
    EXPECT_FALSE(shown(*d)[0]->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(shown(*d)[0]->text().endsWith("its ellipsoid, Clarke 1880 (IGN), is none of the window's datums "
                                              "(WGS84, NAD83 on GRS 1980, NAD27 on Clarke 1866)"));
    EXPECT_FALSE(d->buttons->button(QDialogButtonBox::Ok)->isEnabled());

    typeInto(d->txtSearch, "32040");
    ASSERT_EQ(shown(*d).size(), 1);
    EXPECT_EQ(shown(*d)[0]->text(), QString("32040  NAD27 / Texas South Central  (US survey foot)"));
    QTest::mouseClick(d->lstGrids->viewport(), Qt::LeftButton, {}, d->lstGrids->visualItemRect(shown(*d)[0]).center());
    QTest::mouseClick(d->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(!d->isVisible() && w.optCoordSystem[0]->isChecked() && w.isInitialized());
    EXPECT_EQ(parametersAndPoint(w), zone);
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}

TEST_F(WindowTest, ProjectionFromEpsgWithoutTheDatabaseSaysSoAndTheWindowGoesOn) {
    Tarvane& w = open();
    Epsg::Registry();  // PROJ takes its search path once a run: here, before PROJ_DATA changes
    setenv("PROJ_DATA", "/nonexistent", 1);
    w.mnuFileEpsg->trigger();
    unsetenv("PROJ_DATA");
    EXPECT_EQ(messages, QStringList("PROJ's database of coordinate reference systems, proj.db, was not found: install "
                                    "the package proj-data, or set PROJ_DATA to the folder that holds proj.db."));
    EXPECT_TRUE(!w.epsgDialog() && w.isInitialized());
}

// A cone whose central meridian is 176 W: 179 E lies 5 degrees west of it,
// as mirror of 171 W, and comes back as 179 E.
TEST_F(WindowTest, ConversionsAcrossTheAntimeridian) {
    Tarvane& w = open();
    choose(w.cmbDatum, 1);
    w.txtParallel[0]->setText("51 N");
    w.txtParallel[1]->setText("51 50 N");
    w.txtParallel[2]->setText("53 50 N");
    w.txtCentralMeridian->setText("176 W");
    w.txtFalseEasting->setText("1000000");
    w.cmdInit_Click();
    QStringList grid;
    w.txtLat->setText("52 N");
    for (const char* lon : {"179 E", "171 W"}) {
        w.txtLon->setText(lon);
        w.cmdConvert_Click(0);
        grid << w.txtNorthing->text() << w.txtEasting->text();
    }
    EXPECT_EQ(grid[0], grid[2]);
    EXPECT_NEAR(grid[1].toDouble() + grid[3].toDouble(), 2000000.0, 0.011);
    w.txtNorthing->setText(grid[0]);
    w.txtEasting->setText(grid[1]);
    w.cmdConvert_Click(1);
    EXPECT_EQ(w.txtLon->text(), QString("179\u00B000'00.000\"E"));
    EXPECT_TRUE(messages.isEmpty()) << str(messages.join(" | "));
}
