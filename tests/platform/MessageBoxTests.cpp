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
    QMessageBox::StandardButtons buttons;

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
        buttons = box->standardButtons();
        if (QAbstractButton* target = box->button(m_button)) {
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
        QString title; // none: the application's display name
        QMessageBox::StandardButton click;
        int expectedAnswer;
        QMessageBox::StandardButtons expectedButtons;
    };
    const Case cases[] = {
        {64, QString(), QMessageBox::Ok, 1, QMessageBox::Ok},
        {68, "Delete Route", QMessageBox::Yes, 6, QMessageBox::Yes | QMessageBox::No},
        {68, QString(), QMessageBox::No, 7, QMessageBox::Yes | QMessageBox::No},
    };
    const QString appTitle = QGuiApplication::applicationDisplayName();
    ASSERT_FALSE(appTitle.isEmpty());
    for (const Case& c : cases) {
        ModalBoxClicker clicker(c.click);
        EXPECT_EQ(showMessageBox(QStringLiteral("Route has been added successfully!!!!"), c.style,
                                 c.title),
                  c.expectedAnswer);
        EXPECT_EQ(clicker.title, c.title.isEmpty() ? appTitle : c.title);
        EXPECT_EQ(clicker.text, "Route has been added successfully!!!!");
        EXPECT_EQ(clicker.icon, QMessageBox::Information);
        EXPECT_EQ(clicker.buttons, c.expectedButtons) << c.style;
    }
}

} // namespace
} // namespace stowline::platform
