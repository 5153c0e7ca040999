// The component's texts under a translator: a caption and a message box (prompt and title)
// from the test translation, and exactly the designed texts without one.
#include "support/QtPrinters.h"
#include "support/Recorders.h"

#include <stowline/Stowline.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace stowline;

namespace {

// Clicks "Change Route" with no route selected, which asks the operator to select one first:
// the button's caption, then the prompt and title of each box shown.
QStringList askToSelectARoute(Stowline& component) {
    auto* change = component.findChild<QPushButton*>("cmdChangeRoute");
    if (change == nullptr) {
        return {"no cmdChangeRoute"};
    }
    test::MessageBoxRecorder boxes;
    change->click();
    QStringList texts{change->text()};
    for (const controls::MessageBoxRequest& box : boxes.shown()) {
        texts << box.prompt << box.title;
    }
    return texts;
}

// Captions are looked up when the component is built; messages when they are shown. A
// translator installed afterwards must not upset the page modes, which are told apart by the
// captions.
TEST(Translation, CaptionsComeFromTheTranslatorAtConstructionMessagesWhenShown) {
    const QString caption = "Change Route";
    const QString german[] = {
        "Route ändern", "Bitte zuerst die Route wählen, die geändert werden soll.", "Angabe fehlt"};
    Stowline before;
    EXPECT_EQ(askToSelectARoute(before),
              (QStringList{caption, "Please select a route to change.", "Information Required"}));
    QTranslator translator; // removes itself from the application when destroyed
    ASSERT_TRUE(translator.load(STOWLINE_TEST_TRANSLATION));
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(askToSelectARoute(before), (QStringList{caption, german[1], german[2]}));
    Stowline after;
    EXPECT_EQ(askToSelectARoute(after), (QStringList{german[0], german[1], german[2]}));
}

} // namespace
