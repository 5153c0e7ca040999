// The main of every test program: GoogleTest inside a QApplication. Tests run offscreen unless
// the environment asks for a real display, because test discovery does not pass ctest's
// environment along.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Stowline Tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
