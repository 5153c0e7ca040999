#include "MessageBoxAutoAnswer.h"

#include <QMessageBox>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

// Boxes as the component shows them: application-modal, waiting for an answer.
TEST(HostMessageBoxAutoAnswer, AnswersNoToAQuestionOkOtherwiseAndDescribesEachBox) {
    QStringList lines;
    const MessageBoxAutoAnswer autoAnswer([&lines](const QString& line) { lines << line; });
    QMessageBox information(QMessageBox::Information, "Route Added", "Route saved.",
                            QMessageBox::Ok);
    EXPECT_EQ(information.exec(), QMessageBox::Ok);
    QMessageBox question(QMessageBox::Information, "Confirm", "Delete route 12?",
                         QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.exec(), QMessageBox::No);
    EXPECT_EQ(autoAnswer.answered(), 2);
    EXPECT_EQ(lines, (QStringList{"message box \"Route Added\" answered OK: Route saved.",
                                  "message box \"Confirm\" answered No: Delete route 12?"}));
}

} // namespace
} // namespace stowline::host
