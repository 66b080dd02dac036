// File > "Design a low-distortion grid…": a points file in, the grid that
// keeps its combined factors closest to 1 out, with its distortion beside
// the window's grid; "Use this grid" hands it to the User Defined fields.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "core/setup/ProjectionSetup.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class DesignDialog : public QDialog {
    Q_OBJECT

public:
    explicit DesignDialog(QWidget* parent);

    // What the window gives a design: the datum and unit of its form, its
    // decimal separator, and its grid, where it is initialized.
    struct WindowGrid {
        Datum datum = Datum::NAD83;
        GridUnit unit = GridUnit::Metre;
        char decimalSeparator = '.';
        std::optional<ProjectionSetup::ProjectionParameters> current;
        std::string currentName;  // "US State Plane 1983, 4204 Texas South Central"
    };
    void setWindowGrid(const WindowGrid& grid) { window_ = grid; }

    // The fields of the design shown last, as the window's fields hold it.
    const ProjectionSetup::ParameterFields& chosenFields() const { return chosen_; }

    // Handlers.
    void cmdBrowse_Click();
    void cmdDesign_Click();

    QLineEdit* txtFile = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QComboBox* cmbFormat = nullptr;
    QCheckBox* chkGeoid = nullptr;
    QPushButton* cmdDesign = nullptr;
    QPlainTextEdit* txtSummary = nullptr;
    QPushButton* cmdUse = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    // The summary of a design of the file's points, or why there is none.
    std::string design(bool& made);

    WindowGrid window_;
    ProjectionSetup::ParameterFields chosen_;
};
