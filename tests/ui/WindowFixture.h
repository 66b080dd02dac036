// The real window in a fresh working directory (its own TARVANE.ini), its
// messages recorded, and helpers that drive the controls as a user does.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

#include "core/settings/Settings.h"
#include "ui/Tarvane.h"

inline std::string str(const QString& s) { return s.toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << str(s) << '"'; }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid() && QDir::setCurrent(dir_.path())); }
    void TearDown() override {
        EXPECT_EQ(messages, QStringList());  // a test that expects messages takes them
        window.reset();
        Reset_Settings_File_Calls();
        QDir::setCurrent(previous_);
    }

    Tarvane& open() {
        window = std::make_unique<Tarvane>([this](const QString& text) { messages << text; });
        return *window;
    }
    Tarvane& openShown() {  // shown and active, as focus events need
        open().show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void choose(QComboBox* list, int index) {  // as a user picks, which runs the click handler
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    static void typeInto(QLineEdit* box, const QString& text) {  // select all, delete, type
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void leaveTo(QWidget* next) {  // as a Tab moves the focus
        next->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // The text as shown, its "." in the regional decimal separator.
    static QString regional(QString text) { return text.replace('.', QChar(Tarvane::decimalSeparator())); }

    std::unique_ptr<Tarvane> window;
    QStringList messages;

private:
    QTemporaryDir dir_;
    QString previous_ = QDir::currentPath();
};
