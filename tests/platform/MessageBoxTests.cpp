// The real message box, offscreen, answered the way an operator would: by clicking a button.
#include "platform/MessageBox.h"
#include "support/QtPrinters.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace stowline::platform {
namespace {

// Polls for the application-modal box and clicks one of its buttons, noting what it showed.
class ModalBoxClicker {
public:
    explicit ModalBoxClicker(QMessageBox::StandardButton button) : m_button(button) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { clickWhenShown(); });
        m_timer.start(10);
    }

    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    bool clicked = false;

private:
    void clickWhenShown() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        m_timer.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons()) {
            buttons << box->standardButton(b);
        }
        if (QAbstractButton* target = box->button(m_button)) {
            clicked = true;
            target->click();
        } else {
            box->done(QMessageBox::Cancel); // never leave the test waiting for a person
        }
    }

    QMessageBox::StandardButton m_button;
    QTimer m_timer;
};

TEST(RealMessageBox, ShowsTheInformationIconAndReturnsTheButtonCode) {
    setMessageBoxPresenter({});
    struct Case {
        int style;
        QString title;
        QMessageBox::StandardButton click;
        int expectedAnswer;
        QString expectedTitle;
        QList<QMessageBox::StandardButton> expectedButtons;
    };
    const QString appTitle = QGuiApplication::applicationDisplayName();
    const std::vector<Case> cases = {
        {64, QString(), QMessageBox::Ok, 1, appTitle, {QMessageBox::Ok}},
        {68,
         "Delete Route",
         QMessageBox::Yes,
         6,
         "Delete Route",
         {QMessageBox::Yes, QMessageBox::No}},
        {68, QString(), QMessageBox::No, 7, appTitle, {QMessageBox::Yes, QMessageBox::No}},
    };
    ASSERT_FALSE(appTitle.isEmpty());
    for (const Case& c : cases) {
        ModalBoxClicker clicker(c.click);
        EXPECT_EQ(showMessageBox(QStringLiteral("Route has been added successfully!!!!"), c.style,
                                 c.title),
                  c.expectedAnswer);
        EXPECT_TRUE(clicker.clicked);
        EXPECT_EQ(clicker.title, c.expectedTitle);
        EXPECT_EQ(clicker.text, "Route has been added successfully!!!!");
        EXPECT_EQ(clicker.icon, QMessageBox::Information);
        std::sort(clicker.buttons.begin(), clicker.buttons.end());
        EXPECT_EQ(clicker.buttons, c.expectedButtons) << c.style;
    }
}

} // namespace
} // namespace stowline::platform
