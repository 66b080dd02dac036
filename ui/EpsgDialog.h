// File > "Projection from EPSG…": the Lambert conic grids of the EPSG
// registry, narrowed by a search as the user types. Grids the window's
// fields cannot hold are listed greyed out with the reason.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "core/crs/Registry.h"
#include "core/setup/ProjectionSetup.h"

class QDialogButtonBox;
class QLineEdit;
class QListWidget;

class EpsgDialog : public QDialog {
    Q_OBJECT

public:
    EpsgDialog(const std::vector<Epsg::Grid>& grids, char decimalSeparator, QWidget* parent);

    // The fields of the grid chosen last, as the window's fields hold it.
    const ProjectionSetup::ParameterFields& chosenFields() const { return chosen_; }

    // Shows only the grids whose code or name holds every word of the query.
    void txtSearch_Change(const QString& query);

    QLineEdit* txtSearch = nullptr;
    QListWidget* lstGrids = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void choose();
    void updateOk();

    struct Row {
        std::string searchText;                   // code and name in small letters
        ProjectionSetup::ParameterFields fields;  // valid when the window can hold the grid
    };
    std::vector<Row> rows_;
    ProjectionSetup::ParameterFields chosen_;
};
