#include "ui/EpsgDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/crs/WindowFields.h"

EpsgDialog::EpsgDialog(const std::vector<Epsg::Grid>& grids, char decimalSeparator, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("EpsgDialog"));
    setWindowTitle(QStringLiteral("Projection from EPSG"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Search by code or by any words of the name:"), this);
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setAccessibleName(QStringLiteral("Search"));
    label->setBuddy(txtSearch);
    lstGrids = new QListWidget(this);
    lstGrids->setObjectName(QStringLiteral("lstGrids"));
    lstGrids->setAccessibleName(QStringLiteral("Lambert conic grids of the EPSG registry"));
    lstGrids->setUniformItemSizes(true);  // keeps narrowing quick over the whole list
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(label);
    layout->addWidget(txtSearch);
    layout->addWidget(lstGrids);
    layout->addWidget(buttons);
    resize(640, 420);

    rows_.reserve(grids.size());
    for (const Epsg::Grid& grid : grids) {
        Row row{Epsg::SearchText(grid), {}};
        std::string reason;
        const bool usable = Epsg::WindowFields(grid, decimalSeparator, row.fields, reason);
        QString text = QStringLiteral("%1  %2  (%3)")
                           .arg(grid.code)
                           .arg(QString::fromStdString(grid.name), QString::fromStdString(grid.unitName));
        if (!usable) text += QStringLiteral(": not for this window, ") + QString::fromStdString(reason);
        auto* item = new QListWidgetItem(text, lstGrids);
        if (!usable) {
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            item->setToolTip(QString::fromStdString(reason));
        }
        rows_.push_back(std::move(row));
    }

    connect(txtSearch, &QLineEdit::textChanged, this, &EpsgDialog::txtSearch_Change);
    connect(lstGrids, &QListWidget::currentRowChanged, this, &EpsgDialog::updateOk);
    connect(lstGrids, &QListWidget::itemActivated, this, &EpsgDialog::choose);
    connect(buttons, &QDialogButtonBox::accepted, this, &EpsgDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateOk();
}

void EpsgDialog::txtSearch_Change(const QString& query) {
    const std::string words = query.toStdString();
    lstGrids->setUpdatesEnabled(false);
    for (int i = 0; i < lstGrids->count(); ++i)
        lstGrids->item(i)->setHidden(!Epsg::Matches(rows_[static_cast<std::size_t>(i)].searchText, words));
    // The first grid that can be chosen, so that a code and Return choose it.
    const QListWidgetItem* current = lstGrids->currentItem();
    if (!current || current->isHidden()) {
        int row = 0;
        while (row < lstGrids->count() &&
               (lstGrids->item(row)->isHidden() || !(lstGrids->item(row)->flags() & Qt::ItemIsEnabled)))
            ++row;
        lstGrids->setCurrentRow(row < lstGrids->count() ? row : -1);
    }
    lstGrids->setUpdatesEnabled(true);
    updateOk();
}

void EpsgDialog::updateOk() {
    const QListWidgetItem* item = lstGrids->currentItem();
    buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(item && !item->isHidden() && (item->flags() & Qt::ItemIsEnabled));
}

void EpsgDialog::choose() {
    const QListWidgetItem* item = lstGrids->currentItem();
    if (!item || item->isHidden() || !(item->flags() & Qt::ItemIsEnabled)) return;
    chosen_ = rows_[static_cast<std::size_t>(lstGrids->row(item))].fields;
    accept();
}
