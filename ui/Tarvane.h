// The main window: position, transformation data, commands, co-ordinate
// system and projection parameters. A view of the calculator: one handler per
// control and event passes the texts in, runs the calculator's command and
// shows its state.
#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/calc/Calculator.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class About;
class EpsgDialog;
class DesignDialog;

class Tarvane : public QMainWindow {
    Q_OBJECT

public:
    // Every message of the window goes through this one function, so that
    // tests can record messages instead of showing them.
    using MessageFunction = std::function<void(const QString&)>;

    // Builds the controls and runs the load handler (settings or defaults,
    // then the initialize command). An empty function shows message boxes.
    explicit Tarvane(MessageFunction messages = {}, QWidget* parent = nullptr);
    ~Tarvane() override;

    // The application's title, the caption of every message box.
    static const QString kTitle;

    // The look every caption was measured with: font and widget style.
    static void applyLook();

    // The regional decimal separator, '.' or ','.
    static char decimalSeparator();

    void showMessage(const QString& text);

    // Handlers, named after the control and the event.
    void Form_Load();
    void cmdInit_Click();
    void cmdConvert_Click(std::int16_t Index);
    void optCoordSystem_Click(std::int16_t Index);
    void cmbZone_Click();
    void cmbUnit_Click();
    void cmbDatum_Click();
    void optParallel_Click(std::int16_t Index);
    void txtParameter_Change();
    void txtAngle_LostFocus(QLineEdit* box);
    void mnuFileEpsg_Click();
    void mnuFileDesign_Click();
    void mnuFileExit_Click();
    void mnuAboutAbout_Click();

    // Writes TARVANE.ini from the form; false (after a message) when it could
    // not be written.
    bool Store_Tarvane();

    // The About box, if one has been created.
    About* aboutBox() const { return about_.get(); }

    // The dialog of File > "Projection from EPSG…", once it has been opened.
    EpsgDialog* epsgDialog() const { return epsg_; }

    // The dialog of File > "Design a low-distortion grid…", once it has been opened.
    DesignDialog* designDialog() const { return design_; }

    // Whether the window is initialized (the convert buttons are offered).
    bool isInitialized() const { return calc_.State().initialized; }

signals:
    // The program has ended: the settings are written and the window is gone.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void setTabOrderChain();
    void setAccessibleNames();
    void onFocusChanged(QWidget* old, QWidget* now);

    // The ten text boxes in the calculator's order of fields.
    std::array<QLineEdit*, Calc::kFieldCount> boxes() const;
    // Passes the texts of the boxes in, runs a command of the calculator, and
    // shows the state it leaves.
    void run(const std::function<void()>& command);
    // Writes every control from the calculator's state; no handler runs.
    void refresh();

    MessageFunction messages_;
    Calc::Calculator calc_;
    std::unique_ptr<About> about_;
    EpsgDialog* epsg_ = nullptr;  // a child of the window
    DesignDialog* design_ = nullptr;  // a child of the window
    bool exiting_ = false;
    bool inLostFocus_ = false;

public:
    // Controls, named as on the form. Arrays are indexed as on the form.
    QWidget* client = nullptr;
    std::array<QLabel*, 17> Label1{};  // 14 and 15 do not exist
    QLineEdit* txtLat = nullptr;
    QLineEdit* txtLon = nullptr;
    QLineEdit* txtNorthing = nullptr;
    QLineEdit* txtEasting = nullptr;
    std::array<QLabel*, 4> lblUnit{};
    QLabel* lblTest = nullptr;
    std::array<QPushButton*, 2> cmdConvert{};
    QPushButton* cmdInit = nullptr;
    QGroupBox* frmTransformationData = nullptr;
    QLabel* lblScaleFactor = nullptr;
    QLabel* lblMeridianRadius = nullptr;
    QLabel* lblNormalRadius = nullptr;
    QGroupBox* FrafrmDatum = nullptr;
    std::array<QRadioButton*, 3> optCoordSystem{};
    QComboBox* cmbDatum = nullptr;
    QComboBox* cmbZone = nullptr;
    QComboBox* cmbUnit = nullptr;
    QGroupBox* frmSetuo = nullptr;
    std::array<QRadioButton*, 2> optParallel{};
    std::array<QLabel*, 3> lblParallel{};
    std::array<QLineEdit*, 3> txtParallel{};
    QLineEdit* txtCentralMeridian = nullptr;
    QLineEdit* txtFalseNorthing = nullptr;
    QLineEdit* txtFalseEasting = nullptr;
    std::array<QLabel*, 2> lblFreeware{};
    QAction* mnuFileEpsg = nullptr;
    QAction* mnuFileDesign = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuAboutAbout = nullptr;

    // The unit tag of cmbUnit: "meter", "USFeet", or empty until first chosen.
    QString unitTag() const { return QString::fromStdString(calc_.State().unitTag); }
};
