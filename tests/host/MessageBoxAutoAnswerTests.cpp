#include "MessageBoxAutoAnswer.h"

#include <QGuiApplication>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

TEST(HostMessageBoxAutoAnswer, AnswersOkOrNoAndDescribesEachBox) {
    QStringList lines;
    const MessageBoxAutoAnswer autoAnswer([&lines](const QString& line) { lines << line; });

    EXPECT_EQ(platform::showMessageBox(QStringLiteral("Route saved."), platform::StyleOk),
              platform::AnswerOk);
    EXPECT_EQ(platform::showMessageBox(QStringLiteral("Delete route 12?"), platform::StyleYesNo,
                                       QStringLiteral("Confirm")),
              platform::AnswerNo);
    EXPECT_EQ(autoAnswer.answered(), 2);

    ASSERT_EQ(lines.size(), 2);
    const QString displayName = QGuiApplication::applicationDisplayName();
    EXPECT_EQ(lines[0],
              QStringLiteral("message box \"%1\" answered OK: Route saved.").arg(displayName));
    EXPECT_EQ(lines[1], QStringLiteral("message box \"Confirm\" answered No: Delete route 12?"));
}

TEST(HostMessageBoxAutoAnswer, NeverAgreesToAQuestion) {
    EXPECT_EQ(MessageBoxAutoAnswer::answerFor(platform::StyleYesNo), platform::AnswerNo);
    EXPECT_EQ(MessageBoxAutoAnswer::answerFor(platform::StyleOk), platform::AnswerOk);
}

TEST(HostMessageBoxAutoAnswer, CountsWithoutAReporter) {
    const MessageBoxAutoAnswer autoAnswer({});
    platform::showMessageBox(QStringLiteral("x"), platform::StyleOk);
    EXPECT_EQ(autoAnswer.answered(), 1);
}

} // namespace
} // namespace stowline::host
