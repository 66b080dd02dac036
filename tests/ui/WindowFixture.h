// Tests of the real window: a fresh working directory per test (its own
// TARVANE.ini), a window whose messages are recorded, and helpers that drive
// controls as a user would.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/settings/Settings.h"
#include "ui/Tarvane.h"

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    }
    void TearDown() override {
        window.reset();
        Reset_Settings_File_Calls();
        QDir::setCurrent(previous_);
    }

    void writeSettings(const std::string& bytes) { std::ofstream("TARVANE.ini", std::ios::binary) << bytes; }
    std::string readSettings() const {
        std::ifstream in("TARVANE.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    Tarvane& open() {
        window = std::make_unique<Tarvane>([this](const QString& text) { messages << text; });
        return *window;
    }
    // Shown and active, as focus events need.
    Tarvane& openShown() {
        open();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Picks a list entry as a user would, which runs the list's click handler.
    static void choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Replaces the whole text as a user would: select all, delete, type.
    static void typeInto(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    // The focus moves to another control of the window, as a Tab would.
    static void leaveTo(QWidget* next) {
        next->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // An angle text written with a point, in the regional decimal separator.
    static QString regional(const char* pointText) {
        return QString(pointText).replace('.', QChar(Tarvane::decimalSeparator()));
    }
    static QStringList texts(std::initializer_list<QLineEdit*> boxes) {
        QStringList l;
        for (QLineEdit* box : boxes) l << box->text();
        return l;
    }
    std::string allMessages() const { return messages.join(" | ").toStdString(); }

    std::unique_ptr<Tarvane> window;
    QStringList messages;

private:
    QTemporaryDir dir_;
    QString previous_;
};

inline std::string str(const QString& s) { return s.toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
