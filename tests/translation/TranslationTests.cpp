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
using namespace stowline::test;

namespace {

// Installs the test translation while it lives.
class TestTranslation {
public:
    TestTranslation() {
        EXPECT_TRUE(m_translator.load(QStringLiteral(STOWLINE_TEST_TRANSLATION)));
        EXPECT_TRUE(QCoreApplication::installTranslator(&m_translator));
    }
    ~TestTranslation() { QCoreApplication::removeTranslator(&m_translator); }
    TestTranslation(const TestTranslation&) = delete;
    TestTranslation& operator=(const TestTranslation&) = delete;

private:
    QTranslator m_translator;
};

struct Shown {
    QString caption;
    platform::MessageBoxRequest box;
};

// Clicks "Change Route" with no route selected, which asks the operator to select one first.
Shown askToSelectARoute(Stowline& component) {
    auto* change = component.findChild<QPushButton*>(QStringLiteral("cmdChangeRoute"));
    EXPECT_NE(change, nullptr);
    if (change == nullptr) {
        return {};
    }
    MessageBoxRecorder boxes;
    const QString caption = change->text();
    change->click();
    EXPECT_EQ(boxes.shown().size(), 1u);
    return {caption, boxes.shown().empty() ? platform::MessageBoxRequest{} : boxes.shown().front()};
}

} // namespace

TEST(Translation, CaptionsAndMessagesComeFromTheInstalledTranslator) {
    const TestTranslation translation;
    Stowline component;
    const Shown shown = askToSelectARoute(component);
    EXPECT_EQ(shown.caption, QString::fromUtf8("Route ändern"));
    EXPECT_EQ(shown.box.prompt,
              QString::fromUtf8("Bitte zuerst die Route wählen, die geändert werden soll."));
    EXPECT_EQ(shown.box.title, QStringLiteral("Angabe fehlt"));
}

TEST(Translation, WithoutATranslatorTheDesignedTextsStay) {
    Stowline component;
    const Shown shown = askToSelectARoute(component);
    EXPECT_EQ(shown.caption, QStringLiteral("Change Route"));
    EXPECT_EQ(shown.box.prompt, QStringLiteral("Please select a route to change."));
    EXPECT_EQ(shown.box.title, QStringLiteral("Information Required"));
}

// Captions are looked up when the component is built; messages when they are shown. A
// translator installed afterwards must not upset the page modes, which are told apart by the
// captions.
TEST(Translation, ATranslatorInstalledLaterReachesMessagesButNotCaptions) {
    Stowline component;
    const TestTranslation translation;
    const Shown shown = askToSelectARoute(component);
    EXPECT_EQ(shown.caption, QStringLiteral("Change Route"));
    EXPECT_EQ(shown.box.prompt,
              QString::fromUtf8("Bitte zuerst die Route wählen, die geändert werden soll."));
}
