#include "EventLogFile.h"

#include "MessageBoxAutoAnswer.h"

#include <stowline/Stowline.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList readLines(const QString& path) {
    QString text = QString::fromUtf8(readAll(path));
    EXPECT_TRUE(text.isEmpty() || text.endsWith(u'\n')) << text.toStdString();
    text.chop(1);
    return text.split(u'\n');
}

TEST(HostEventLogFile, FormatsTheTimeWithItsOffset) {
    const QDateTime when(QDate(2024, 5, 1), QTime(9, 30, 0, 123), QTimeZone(2 * 3600));
    EXPECT_EQ(EventLogFile::formatLine(when, QStringLiteral("Error in LoadData")),
              QStringLiteral("2024-05-01T09:30:00.123+02:00 Error in LoadData\n"));
}

TEST(HostEventLogFile, AppendsAcrossOpeningsInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("events.log"));
    {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("earlier line\n");
    }
    QString error;
    auto first = EventLogFile::open(path, &error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_TRUE(first->append(QStringLiteral("one")));
    EXPECT_TRUE(first->append(QStringLiteral("zwei – ü")));
    first.reset();
    auto second = EventLogFile::open(path, &error);
    ASSERT_TRUE(second) << error.toStdString();
    EXPECT_TRUE(second->append(QStringLiteral("three")));

    const QStringList lines = readLines(path);
    ASSERT_EQ(lines.size(), 4) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("earlier line"));
    const QRegularExpression stamped(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d) (.*)$)"));
    const QStringList expected{QStringLiteral("one"), QStringLiteral("zwei – ü"),
                               QStringLiteral("three")};
    for (int i = 0; i < expected.size(); ++i) {
        const auto match = stamped.match(lines[i + 1]);
        ASSERT_TRUE(match.hasMatch()) << lines[i + 1].toStdString();
        EXPECT_EQ(match.captured(2), expected[i]);
    }
}

TEST(HostEventLogFile, ReportsAFileItCannotOpen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing-folder/events.log"));
    QString error;
    EXPECT_FALSE(EventLogFile::open(path, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
}

TEST(HostEventLogFile, TheSinkReceivesTheComponentsEntriesWhileItLives) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("events.log"));
    QString error;
    auto file = EventLogFile::open(path, &error);
    ASSERT_TRUE(file) << error.toStdString();
    {
        const EventLogFileSink sink(file);
        const MessageBoxAutoAnswer boxes({});
        // Nothing listens at this name: each of the four queries fails and is logged.
        Stowline component;
        component.LoadData(QStringLiteral("http://127.0.0.1:1"));
    }
    const QByteArray text = readAll(path);
    // Four entries of six lines each, the lines of an entry kept with their own line ends.
    EXPECT_EQ(text.count("Error Source -  ReturnWebserviceXML\r\n"), 4) << text.toStdString();
    EXPECT_EQ(text.count('\n'), 4 * 6) << text.toStdString();
    EXPECT_TRUE(text.endsWith("Project Associated - prjStowline\n")) << text.toStdString();
}

} // namespace
} // namespace stowline::host
