// The real message box, offscreen, answered the way an operator would: by clicking a button.
#include "controls/MessageBox.h"
#include "support/QtPrinters.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace stowline::controls {
namespace {

TEST(RealMessageBox, ShowsTheInformationIconAndReturnsTheButtonCode) {
    setMessageBoxPresenter({});
    struct Case {
        int style;
        QString title; // none: the application's display name
        QMessageBox::StandardButton click;
        int expectedAnswer;
        QMessageBox::StandardButtons expectedButtons;
        QString details; // offered under "Show Details..." when there are any
    };
    const Case cases[] = {
        {64, QString(), QMessageBox::Ok, 1, QMessageBox::Ok, {}},
        {68, "Delete Route", QMessageBox::Yes, 6, QMessageBox::Yes | QMessageBox::No, {}},
        {68, QString(), QMessageBox::No, 7, QMessageBox::Yes | QMessageBox::No, {}},
        {64, QString(), QMessageBox::Ok, 1, QMessageBox::Ok, "Couldn't connect to server"},
    };
    const QString appTitle = QGuiApplication::applicationDisplayName();
    ASSERT_FALSE(appTitle.isEmpty());
    const QString prompt = QStringLiteral("Route has been added successfully!!!!");
    for (const Case& c : cases) {
        // Polls for the application-modal box, notes what it shows and clicks the button; a
        // box without that button is closed, so the test never waits for a person.
        QStringList shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QStringList details;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->isVisible()) {
                poll.stop();
                shown = {box->windowTitle(), box->text()};
                icon = box->icon();
                buttons = box->standardButtons();
                for (QAbstractButton* button : box->buttons()) {
                    if (box->buttonRole(button) == QMessageBox::ActionRole) {
                        details << button->text() << box->detailedText();
                    }
                }
                box->button(c.click) ? box->button(c.click)->click()
                                     : box->done(QMessageBox::Cancel);
            }
        });
        poll.start(10);
        EXPECT_EQ(showMessageBox(MessageBoxRequest{prompt, c.style, c.title, c.details}),
                  c.expectedAnswer);
        EXPECT_EQ(shown, (QStringList{c.title.isEmpty() ? appTitle : c.title, prompt}));
        EXPECT_EQ(icon, QMessageBox::Information);
        EXPECT_EQ(buttons, c.expectedButtons) << c.style;
        const QStringList expectedDetails{"Show Details...", c.details};
        EXPECT_EQ(details, c.details.isEmpty() ? QStringList() : expectedDetails);
    }
}

} // namespace
} // namespace stowline::controls
