#include "ui/DesignDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "cli/ProjectPoints.h"
#include "core/crs/Geoid.h"
#include "core/ground/Design.h"

namespace {

// The kinds of points file, in the list's order: a table with a header, or
// a point file of latitudes and longitudes or of the window's grid.
struct Kind {
    const char* text;
    const char* pointFormat;
    bool inverse;
};
constexpr Kind kKinds[] = {
    {"Table with a header (latitude, longitude, height or elevation)", "", false},
    {"Point file: point, latitude, longitude, elevation, description", "pyxzd", false},
    {"Point file: point, northing, easting, elevation, description (the window's grid)", "pnezd", true},
};

// The pipeline's messages without the batch tool's name.
std::string Messages(std::string text) {
    const std::string name = "tarvane-convert: ";
    for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos;) text.erase(at, name.size());
    return text;
}

}  // namespace

DesignDialog::DesignDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DesignDialog"));
    setWindowTitle(QStringLiteral("Design a low-distortion grid"));
    auto* grid = new QGridLayout(this);
    auto* fileLabel = new QLabel(QStringLiteral("&Points file:"), this);
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    fileLabel->setBuddy(txtFile);
    cmdBrowse = new QPushButton(QStringLiteral("&Browse\u2026"), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmbFormat = new QComboBox(this);
    cmbFormat->setObjectName(QStringLiteral("cmbFormat"));
    cmbFormat->setAccessibleName(QStringLiteral("Kind of points file"));
    for (const Kind& kind : kKinds) cmbFormat->addItem(QString::fromUtf8(kind.text));
    auto* units = new QLabel(QStringLiteral("Heights in the window's unit; the grid on its datum and in its unit."), this);
    chkGeoid = new QCheckBox(QStringLiteral("&Elevations through the EGM96 geoid (h = H + N)"), this);
    chkGeoid->setObjectName(QStringLiteral("chkGeoid"));
    cmdDesign = new QPushButton(QStringLiteral("&Design"), this);
    cmdDesign->setObjectName(QStringLiteral("cmdDesign"));
    txtSummary = new QPlainTextEdit(this);
    txtSummary->setObjectName(QStringLiteral("txtSummary"));
    txtSummary->setAccessibleName(QStringLiteral("Summary"));
    txtSummary->setReadOnly(true);
    txtSummary->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cmdUse = new QPushButton(QStringLiteral("&Use this grid"), this);
    cmdUse->setObjectName(QStringLiteral("cmdUse"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(txtFile, 0, 1);
    grid->addWidget(cmdBrowse, 0, 2);
    grid->addWidget(cmbFormat, 1, 1, 1, 2);
    grid->addWidget(units, 2, 1, 1, 2);
    grid->addWidget(chkGeoid, 3, 1);
    grid->addWidget(cmdDesign, 3, 2);
    grid->addWidget(txtSummary, 4, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdUse);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    resize(640, 460);

    // Return in the file's box designs, and only that: no button takes it.
    for (QPushButton* button : {cmdBrowse, cmdDesign, cmdUse, cmdClose}) button->setAutoDefault(false);
    cmdUse->setEnabled(false);
    connect(cmdBrowse, &QPushButton::clicked, this, &DesignDialog::cmdBrowse_Click);
    connect(cmdDesign, &QPushButton::clicked, this, &DesignDialog::cmdDesign_Click);
    connect(txtFile, &QLineEdit::returnPressed, this, &DesignDialog::cmdDesign_Click);
    connect(cmdUse, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void DesignDialog::cmdBrowse_Click() {
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Points file"), txtFile->text());
    if (file.isEmpty()) return;
    txtFile->setText(file);
    cmdDesign_Click();
}

void DesignDialog::cmdDesign_Click() {
    bool made = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);  // a large file takes a moment
    const std::string text = design(made);
    QApplication::restoreOverrideCursor();
    txtSummary->setPlainText(QString::fromStdString(text));
    cmdUse->setEnabled(made);
}

std::string DesignDialog::design(bool& made) {
    // The window's grid is set up again once the design is done.
    const Ground::KeepEngine keep;
    const Kind& kind = kKinds[std::max(0, cmbFormat->currentIndex())];
    if (kind.inverse && !window_.current) return "A point file of grid co-ordinates needs the window initialized.";
    BatchConvert::Format f;
    f.pointFormat = kind.pointFormat;
    f.header = f.pointFormat.empty();  // the list says so
    f.inverse = kind.inverse;
    f.unitsPerMetre = window_.current ? window_.current->unitsPerMetre : UnitsPerMetre(window_.unit);
    try {
        if (chkGeoid->isChecked()) {
            const Geoid::Model model = Geoid::Open("egm96");
            f.geoid = model.open;
            f.geoidName = model.name;
        }
        ProjectPoints::SetUpToRead(window_.current ? &*window_.current : nullptr, window_.datum);
        std::vector<Ground::ProjectPoint> points;
        std::string messages;
        if (ProjectPoints::ReadFile(txtFile->text().toStdString(), f, points, messages) == 2) return Messages(messages);
        Ground::Distortion other;
        if (window_.current) other = Ground::Measure(points, *window_.current);
        const Ground::Distortion* shown = window_.current ? &other : nullptr;
        const Ground::Design d =
            Ground::Propose(points, {window_.datum, window_.unit, window_.decimalSeparator, shown});
        const std::string summary =
            Ground::Summary(d, Ground::Measure(points, d.parameters), shown, "window's", window_.currentName);
        chosen_ = d.fields;
        made = true;
        return summary + (messages.empty() ? "" : "\n" + Messages(messages));
    } catch (const std::exception& e) {
        return e.what() + std::string(".");
    }
}
