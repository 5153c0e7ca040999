#include "EventLogFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

TEST(HostEventLogFile, StampsEachLineWithItsOffsetAppendsAcrossOpeningsOrReportsAFailure) {
    const QTemporaryDir dir;
    const QString path = dir.filePath("events.log");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("earlier line\n");
    file.close();
    QString error;
    for (const QStringList& entries : {QStringList{"one", "zwei – ü"}, QStringList{"three"}}) {
        const auto log = EventLogFile::open(path, &error);
        ASSERT_TRUE(log) << error.toStdString();
        for (const QString& entry : entries) {
            EXPECT_TRUE(log->append(entry));
        }
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d) )",
                                   QRegularExpression::MultilineOption);
    EXPECT_EQ(QString::fromUtf8(file.readAll()).replace(stamp, "@ "),
              "earlier line\n@ one\n@ zwei – ü\n@ three\n");

    // The stamp: local time to the millisecond with its offset from UTC.
    const QDateTime when(QDate(2024, 5, 1), QTime(9, 30, 0, 123), QTimeZone(2 * 3600));
    EXPECT_EQ(EventLogFile::formatLine(when, "Error in LoadData"),
              "2024-05-01T09:30:00.123+02:00 Error in LoadData\n");

    const QString missing = dir.filePath("missing-folder/events.log");
    EXPECT_FALSE(EventLogFile::open(missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

} // namespace
} // namespace stowline::host
