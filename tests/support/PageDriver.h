#pragma once

// What the page test programs share: a component loaded from a stand-in server with every
// message box answered and recorded, and the operator's gestures (clicks on rows, headers and
// buttons, typing, pasting, picking drop-down entries).
#include "controls/DropDown.h"
#include "controls/ListView.h"
#include "controls/SystemColours.h"
#include "controls/TextBox.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "support/StandInServer.h"

#include <stowline/Stowline.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace stowline::test {

inline QString qs(const char* text) {
    return QString::fromUtf8(text);
}

// One list row as shown: the item text, then its two visible sub-items.
inline QStringList row(controls::ListView& list, int position) {
    const controls::ListItemRef item = list.itemAt(position);
    return {list.text(item), list.subItem(item, 1), list.subItem(item, 2)};
}

// The texts of one column (0: the item texts), in the order shown.
inline QStringList column(controls::ListView& list, int index) {
    QStringList values;
    for (int i = 1; i <= list.count(); ++i) {
        const controls::ListItemRef item = list.itemAt(i);
        values << (index == 0 ? list.text(item) : list.subItem(item, index));
    }
    return values;
}

inline QStringList entries(const controls::DropDown& dropDown) {
    QStringList texts;
    for (int i = 0; i < dropDown.listCount(); ++i) {
        texts << dropDown.entryText(i);
    }
    return texts;
}

// The 1-based position of the selected row, 0 when none is selected.
inline int selectedPosition(controls::ListView& list) {
    const controls::ListItemRef selected = list.selectedItem();
    return selected.isNothing() ? 0 : list.indexOf(selected);
}

inline int positionOf(controls::ListView& list, const QString& text) {
    return static_cast<int>(column(list, 0).indexOf(text)) + 1;
}

// A mouse click on the row, as the operator makes it.
inline void clickRow(controls::ListView& list, int position, Qt::KeyboardModifiers modifiers = {}) {
    const QModelIndex row = list.rowIndex(position);
    list.scrollTo(row);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualRect(row).center());
}

inline void clickHeader(controls::ListView& list, int column1Based) {
    QHeaderView* header = list.header();
    const int section = column1Based - 1;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      {header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                       header->height() / 2});
}

inline void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces the box's text by typing, as the operator would after selecting everything.
inline void retype(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

inline void paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keySequence(box, QKeySequence::Paste);
}

// Walks the drop-down to the entry with the keyboard, as the operator can.
inline void pickEntry(controls::DropDown* dropDown, const QString& text) {
    const int target = dropDown->findText(text, Qt::MatchExactly);
    ASSERT_GE(target, 0) << text.toStdString();
    for (int step = 0; step < 2 * dropDown->count() && dropDown->listIndex() != target; ++step) {
        QTest::keyClick(dropDown, dropDown->listIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    ASSERT_EQ(dropDown->listIndex(), target);
}

// A control by its object name; a missing one fails the test.
template <typename T> T* child(const QWidget& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Editable (unlocked, window background) or read-only (locked, button face).
template <typename Field> void expectEditable(const Field& field, bool editable) {
    ASSERT_NE(controls::windowBackgroundColour(), controls::buttonFaceColour());
    EXPECT_EQ(field.locked(), !editable) << field.objectName().toStdString();
    EXPECT_EQ(field.backColour(),
              editable ? controls::windowBackgroundColour() : controls::buttonFaceColour())
        << field.objectName().toStdString();
}

// A component shown and loaded from a stand-in server; the recorders start empty.
class PageTest : public ::testing::Test {
protected:
    explicit PageTest(StandInServer::Data data = StandInServer::Data::Demo) : m_data(data) {}

    void SetUp() override {
        server = std::make_unique<StandInServer>(m_data);
        seed();
        component = std::make_unique<Stowline>();
        component->show();
        component->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(component.get()));
        reload();
    }

    // Rows a test needs in the service before the component first loads.
    virtual void seed() {}

    // LoadData as the host calls it, after which the recorders are emptied.
    void reload() {
        component->LoadData(server->serverName());
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(qs("\n")).toStdString();
        clearRecords();
    }
    void clearRecords() {
        boxes.clear();
        log.clear();
    }

    template <typename T> T* control(const char* name) const { return child<T>(*component, name); }

    void showPage(int index) {
        control<QTabWidget>("SSTab1")->setCurrentIndex(index);
        QApplication::processEvents();
    }

    // Message boxes do not take the focus here, but re-activating the window makes a focus
    // check independent of what a real box would have done.
    bool hasFocus(QWidget* widget) {
        component->activateWindow();
        return QTest::qWaitForWindowActive(component.get()) && widget->hasFocus();
    }

    // The one box shown since the recorders were last emptied.
    ::testing::AssertionResult shownOnly(const QString& prompt, int style, const QString& title) {
        const auto& shown = boxes.shown();
        if (shown.size() == 1 && shown[0].prompt == prompt && shown[0].style == style &&
            shown[0].title == title) {
            return ::testing::AssertionSuccess();
        }
        auto failure = ::testing::AssertionFailure() << shown.size() << " boxes:";
        for (const auto& box : shown) {
            failure << " \"" << box.prompt.toStdString() << "\" style " << box.style << " title \""
                    << box.title.toStdString() << '"';
        }
        return failure;
    }

    // One report, under the procedure and saying the cause, after the boxes expected before it.
    void expectOneReport(const char* procedure = "ReturnWebserviceXML", const char* cause = "",
                         std::size_t boxesBefore = 0) {
        EXPECT_EQ(boxes.errorBoxes(), 1);
        EXPECT_EQ(boxes.shown().size(), boxesBefore + 1)
            << boxes.prompts().join(qs(" | ")).toStdString();
        EXPECT_EQ(log.procedures(), QStringList{qs(procedure)});
        EXPECT_TRUE(log.entries().value(0).contains(qs(cause)))
            << log.entries().value(0).toStdString();
    }

    MessageBoxRecorder boxes;
    EventLogRecorder log;
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<Stowline> component;

private:
    StandInServer::Data m_data;
};

} // namespace stowline::test
