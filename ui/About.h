// The About box: title, version and date, and the logo.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

class About : public QWidget {
    Q_OBJECT

public:
    About();

    // Runs each time the box is loaded: centres it on the main window and
    // sets the version caption.
    void Form_Load(const QWidget& mainWindow);

    void cmdOK_Click();

    QLabel* Label1_0 = nullptr;  // "Label1(0)"
    QLabel* lblVersion = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* cmdOK = nullptr;
};
