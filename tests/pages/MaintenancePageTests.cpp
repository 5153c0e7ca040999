// The route and the storage-location pages as an operator uses them: modes, validation, add,
// change, delete, sorting and the key filter, checked against what the stand-in service holds.
// Both pages run one workflow; each test runs on both, with what differs in the page's table.
#include "support/MaintenancePages.h"
#include "support/PageDriver.h"

#include <QFrame>

using namespace stowline;
using namespace stowline::test;

namespace {

const QString Depot = QString::fromUtf8("Dépôt Sainte-Émilie");
const QString Harbour = QStringLiteral("Harbour Point Cross-Dock");
const QString Northfield = QStringLiteral("Northfield Distribution Center");
const QString Required = QStringLiteral("Information Required");
const QString Validation = QStringLiteral("Information Validation");

// A save the page refuses: what was typed, the message, and whether the name box gets the
// focus (else the description box).
struct Refusal {
    const char* name;
    const char* description;
    const char* prompt;
    bool validation; // the title: "Information Validation", else "Information Required"
    bool focusOnName;
};

// A success box, and what the page shows while it is up (MaintenancePageTest::pageNow) in the
// test that saves, changes or deletes the page's sample.
struct Told {
    const char *prompt, *title, *shows;
};
struct Page {
    const char* testName;
    const MaintenancePageNames* ui;
    struct {
        const char *add, *change;
    } captions;
    Told added, updated, deleted;
    struct {
        const char *confirmDelete, *selectToChange, *selectToDelete;
    } prompts;
    int records; // in the demo data
    // A record of the demo data, shown first by a click, and its key.
    struct {
        const char* name;
        int key;
        const char* description;
        QString facility;
    } sample;
    std::vector<Refusal> refusals;
    // A new record that resembles an existing one and is still accepted.
    struct {
        const char *name, *description;
    } alike;
    struct {
        bool nameChangeable;      // changing mode edits the name too, and starts there
        bool cancelRestores;      // Cancel shows the selected record again
        bool nameFiltered;        // the name box takes no apostrophe and selects on focus
        bool facilityPromptOnAdd; // adding without a facility asks for one (else it is reported)
        bool descriptionsRepeat;  // two records may have one description
    } rules;
    struct {
        const char *save, *remove;
    } procedures;
    const char* insertSql; // %1: key, %2: name, %3: description, at Northfield
};

const Page Pages[] = {
    {"Routes",
     &RouteNames,
     {"Add Route", "Change Route"},
     // The route is selected while the box is up; the facility is locked and emptied after it.
     {"Route has been added successfully!!!!", "Route Added",
      "Save/Cancel | facility open window 'Harbour Point Cross-Dock' | 13 rows"
      " | selected h1,Harbour Front,Harbour Point Cross-Dock"},
     // Locked and emptied first; the row takes the name and description, not the facility.
     {"Route has been updated successfully!!!!", "Update Route",
      "Update/Cancel | facility locked face '' | 12 rows"
      " | selected H2,Moved north,Harbour Point Cross-Dock"},
     {"Route has been deleted successfully!!!!", "Route Deleted",
      "Add Route/Change Route | facility locked face 'Harbour Point Cross-Dock' | 12 rows"
      " | selected H4,Coastal Highway,Harbour Point Cross-Dock"},
     {"The selected route will be deleted permanently. Do you want to proceed?",
      "Please select a route to change.", "Please select Route to delete."},
     12,
     {"H2", 6, "Bayview <Overnight>", Harbour},
     {{"", "Some description", "Enter a route", false, true},
      {"  ", "Some description", "Enter a route", false, true},
      {"Z3", "", "Enter a route description", false, false},
      {"Z3", "    ", "Enter a route description", false, false},
      // A name is taken wherever it is used: H1 belongs to another facility.
      {"H1", "Other", "This route already exists. Enter a different route.", true, true},
      {"01", "Other", "This route already exists. Enter a different route.", true, true}},
     {"h1", "Harbour Front"},
     {false, true, true, true, true},
     {"AddRoute", "DeleteRoute"},
     "INSERT INTO routes VALUES (%1, 1, '%2', '%3', '2024-01-01')"},
    {"StorageLocations",
     &LocationNames,
     {"Add Location", "Change Location"},
     // The new bay is remembered but not selected.
     {"Storage location has been added successfully!!!!.", "Add Storage Location",
      "Save/Cancel | facility open window 'Harbour Point Cross-Dock' | 16 rows | selected none"},
     // The box comes first; the row changes after it.
     {"Storage location has been updated successfully!!!!.", "Update Storage Location",
      "Update/Cancel | facility open window 'Northfield Distribution Center' | 15 rows"
      " | selected Q-01,Quarantine cage,Harbour Point Cross-Dock"},
     {"Storage location has been deleted successfully!!!!", "Storage Location Deleted",
      "Add Location/Change Location | facility locked face 'Dépôt Sainte-Émilie' | 15 rows"
      " | selected V-01,Vrac & palettes,Dépôt Sainte-Émilie"},
     {"The selected storage location will be deleted permanently. Do you want to proceed?",
      "Please select a Location to change.", "Please select Storage Location to delete."},
     15,
     {"Q-01", 8, "Quarantine cage", Harbour},
     // Only the description is required, and only it must be new.
     {{"N-2", "", "Enter a Location description.", false, false},
      {"N-2", "   ", "Enter a Location description.", false, false},
      {"N-2", "Quarantine cage",
       "This Storage Location already defined, please enter different Location.", true, false},
      {"D1", "Chilled <2-4 °C>",
       "This Storage Location already defined, please enter different Location.", true, false}},
     {"", "quarantine cage"},
     {true, false, false, false, false},
     {"AddLocation", "DeleteLocation"},
     "INSERT INTO storage_locations VALUES (%1, 1, '%2', '%3')"},
};

void PrintTo(const Page& page, std::ostream* out) {
    *out << page.testName;
}

class MaintenancePageTest : public PageTest, public ::testing::WithParamInterface<Page> {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        showPage(page.ui->tab);
        list = control<controls::ListView>(page.ui->list);
        frame = control<QFrame>(page.ui->frame);
        name = control<controls::TextBox>(page.ui->name);
        description = control<controls::TextBox>(page.ui->description);
        facility = control<controls::DropDown>(page.ui->facility);
        add = control<QPushButton>(page.ui->add);
        change = control<QPushButton>(page.ui->change);
        remove = control<QPushButton>(page.ui->remove);
        boxes.snapshotWith([this] { return pageNow(); });
    }

    // The captions, the facility drop-down (locked or open, its colour, its text), the number of
    // rows and the selected row.
    QString pageNow() {
        const int selected = selectedPosition(*list);
        return QStringLiteral("%1/%2 | facility %3 %4 '%5' | %6 rows | selected %7")
            .arg(add->text(), change->text(), facility->locked() ? qs("locked") : qs("open"),
                 facility->backColour() == controls::buttonFaceColour() ? qs("face") : qs("window"),
                 facility->shownText(), QString::number(list->count()),
                 selected == 0 ? qs("none") : row(*list, selected).join(QLatin1Char(',')));
    }

    // The success box was the only box, and the page showed what the table says while it was up.
    void expectTold(const Told& told) {
        EXPECT_TRUE(shownOnly(qs(told.prompt), controls::StyleOk, qs(told.title)));
        EXPECT_EQ(boxes.snapshots().value(0), qs(told.shows));
    }

    void clickNamed(const QString& text) {
        const int position = positionOf(*list, text);
        ASSERT_GT(position, 0) << text.toStdString();
        clickRow(*list, position);
    }

    enum class Mode { Idle, Adding, Changing };

    void expectMode(Mode mode) {
        const bool idle = mode == Mode::Idle;
        EXPECT_EQ(add->text(), idle                   ? qs(page.captions.add)
                               : mode == Mode::Adding ? "Save"
                                                      : "Update");
        EXPECT_EQ(change->text(), idle ? qs(page.captions.change) : "Cancel");
        EXPECT_EQ(remove->isEnabled(), idle);
        EXPECT_EQ(frame->isEnabled(), idle);
        EXPECT_TRUE(add->isEnabled() && change->isEnabled());
        expectEditable(*name, mode == Mode::Adding || (!idle && page.rules.nameChangeable));
        expectEditable(*description, !idle);
        expectEditable(*facility, !idle);
    }

    void expectBoxes(const QString& nameText, const QString& descriptionText) {
        EXPECT_EQ(name->text(), nameText);
        EXPECT_EQ(description->text(), descriptionText);
    }

    // "name|description|facility" of a record as the service holds it; empty when it has none.
    QString record(int key) {
        return server->queryValue(
            QStringLiteral("SELECT ifnull(t.%1, '') || '|' || t.description || '|' || f.name"
                           " FROM %2 t JOIN facilities f ON f.facility_id = t.facility_id"
                           " WHERE t.%3 = %4")
                .arg(qs(page.ui->nameColumn), qs(page.ui->table), qs(page.ui->key))
                .arg(key));
    }
    QString keyOf(const QString& nameText) {
        return server->queryValue(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'")
                .arg(qs(page.ui->key), qs(page.ui->table), qs(page.ui->nameColumn), nameText));
    }
    int count() {
        return server->queryValue(QStringLiteral("SELECT count(*) FROM %1").arg(qs(page.ui->table)))
            .toInt();
    }
    void insert(int key, const char* nameText, const char* descriptionText) {
        server->execute(qs(page.insertSql).arg(key).arg(qs(nameText), qs(descriptionText)));
    }
    QString sample() {
        return QStringLiteral("%1|%2|%3")
            .arg(qs(page.sample.name), qs(page.sample.description), page.sample.facility);
    }

    void saveNew(const QString& nameText, const QString& descriptionText, const QString& at) {
        click(add);
        QTest::keyClicks(name, nameText);
        QTest::keyClicks(description, descriptionText);
        pickEntry(facility, at);
        click(add);
    }

    const Page& page = GetParam();
    controls::ListView* list = nullptr;
    QFrame* frame = nullptr;
    controls::TextBox* name = nullptr;
    controls::TextBox* description = nullptr;
    controls::DropDown* facility = nullptr;
    QPushButton* add = nullptr;
    QPushButton* change = nullptr;
    QPushButton* remove = nullptr;
};

// --- Modes -------------------------------------------------------------------------------

TEST_P(MaintenancePageTest, AddingModeAndCancel) {
    clickNamed(qs(page.sample.name));
    expectMode(Mode::Idle);
    expectBoxes(qs(page.sample.name), qs(page.sample.description));
    EXPECT_EQ(facility->shownText(), page.sample.facility);
    EXPECT_TRUE(hasFocus(list));

    click(add); // the selection hidden while adding: SelectionTests
    expectMode(Mode::Adding);
    expectBoxes(QString(), QString());
    EXPECT_EQ(facility->shownText(), Depot); // the first entry
    EXPECT_TRUE(hasFocus(name));

    QTest::keyClicks(name, QStringLiteral("Q7"));
    QTest::keyClicks(description, QStringLiteral("Typed, then abandoned"));
    click(change);
    expectMode(Mode::Idle);
    if (page.rules.cancelRestores) {
        expectBoxes(qs(page.sample.name), qs(page.sample.description));
    } else {
        expectBoxes(QStringLiteral("Q7"), QStringLiteral("Typed, then abandoned"));
    }
    EXPECT_TRUE(boxes.shown().empty());

    // Adding forgot the selected record, as a fresh load has none: the list has to be clicked.
    click(change);
    click(remove);
    EXPECT_EQ(boxes.prompts(),
              (QStringList{qs(page.prompts.selectToChange), qs(page.prompts.selectToDelete)}));
    EXPECT_EQ(boxes.shown()[1].title, Required);
    expectMode(Mode::Idle);
    EXPECT_EQ(count(), page.records);
}

TEST_P(MaintenancePageTest, ChangingModeAndCancelSendNothing) {
    clickNamed(qs(page.sample.name));
    click(change);
    expectMode(Mode::Changing);
    EXPECT_EQ(facility->shownText(), page.sample.facility);
    EXPECT_TRUE(hasFocus(page.rules.nameChangeable ? name : description));
    // The route's name selects its text on focus, as the descriptions do; the bay's name does not.
    name->setFocus();
    EXPECT_EQ(name->selectedText(), page.rules.nameFiltered ? qs(page.sample.name) : QString());
    QTest::keyClick(name, Qt::Key_Tab); // tabbing on to the description
    EXPECT_TRUE(hasFocus(description));
    EXPECT_EQ(description->selectedText(), qs(page.sample.description));

    QTest::keyClicks(description, QStringLiteral("Night run"));
    pickEntry(facility, Northfield);
    click(change);
    expectMode(Mode::Idle);
    EXPECT_EQ(description->text(), page.rules.cancelRestores ? qs(page.sample.description)
                                                             : QStringLiteral("Night run"));
    EXPECT_EQ(facility->shownText(), Northfield); // the facility picked stays
    EXPECT_TRUE(hasFocus(list));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(record(page.sample.key), sample());
}

// --- Add -----------------------------------------------------------------------------------

// Markup characters, quotes and letters beyond ASCII travel through the envelope, the service
// and the answer clean-up and come back exactly as typed.
TEST_P(MaintenancePageTest, AddSendsTheTextsUntrimmedAndSelectsTheNewRecord) {
    const QString typed = QString::fromUtf8(" Zed <&> \"É\" loop ");
    saveNew(QStringLiteral("Z1"), typed, Harbour);
    EXPECT_TRUE(shownOnly(qs(page.added.prompt), controls::StyleOk, qs(page.added.title)));
    EXPECT_TRUE(log.entries().isEmpty());
    const QString key = keyOf(QStringLiteral("Z1"));
    EXPECT_EQ(record(key.toInt()), "Z1|" + typed + "|" + Harbour);

    expectMode(Mode::Idle);
    EXPECT_EQ(list->count(), page.records + 1);
    ASSERT_GT(selectedPosition(*list), 0);
    EXPECT_EQ(row(*list, selectedPosition(*list)), (QStringList{"Z1", typed, Harbour}));
    // The selected item is the rebuilt one, carrying the service's key.
    EXPECT_EQ(list->tag(list->selectedItem()).toString(), key);
    expectBoxes(QStringLiteral("Z1"), typed);
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_FALSE(list->hideSelection());
    EXPECT_TRUE(hasFocus(list));

    boxes.clear();
    click(change);
    expectMode(Mode::Changing);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_P(MaintenancePageTest, AddSelectsTheFirstRecordWithTheSameDescription) {
    // The checks are exact: another case is another name or description.
    saveNew(qs(page.alike.name), qs(page.alike.description), Harbour);
    expectTold(page.added);
    EXPECT_EQ(count(), page.records + 1);
    ASSERT_GT(selectedPosition(*list), 0);
    EXPECT_EQ(row(*list, selectedPosition(*list)).at(1), qs(page.alike.description));
    if (!page.rules.descriptionsRepeat) {
        return;
    }
    // A description that another record has too: the first in list order is selected.
    insert(40, "0", "Twin");
    insert(41, "1", "Twin");
    reload();
    saveNew(QStringLiteral("Z2"), QStringLiteral("Twin"), Northfield);
    EXPECT_EQ(row(*list, selectedPosition(*list)).at(0), "0");
}

TEST_P(MaintenancePageTest, InvalidInputIsRefusedWithTheBoxFocusedAndNothingSent) {
    click(add);
    pickEntry(facility, Northfield);
    for (const Refusal& r : page.refusals) {
        SCOPED_TRACE(std::string(r.name) + " / " + r.description);
        boxes.clear();
        retype(name, qs(r.name));
        retype(description, qs(r.description));
        click(add);
        EXPECT_TRUE(
            shownOnly(qs(r.prompt), controls::StyleOk, r.validation ? Validation : Required));
        EXPECT_TRUE(hasFocus(r.focusOnName ? name : description));
        expectMode(Mode::Adding);
        expectBoxes(qs(r.name), qs(r.description));
    }
    EXPECT_EQ(count(), page.records);
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_P(MaintenancePageTest, SavingWithoutAFacilityAsksOrIsReported) {
    const QString prompt = QStringLiteral("Please select a facility.");
    click(add);
    QTest::keyClicks(name, QStringLiteral("Z4"));
    QTest::keyClicks(description, QStringLiteral("Four"));
    retype(facility->lineEdit(), QStringLiteral("Xanadu"));
    ASSERT_EQ(facility->listIndex(), -1);
    click(add);
    if (page.rules.facilityPromptOnAdd) {
        EXPECT_TRUE(shownOnly(prompt, controls::StyleOk, QString()));
        EXPECT_TRUE(hasFocus(facility));
    } else { // the facility of no entry is read, and that fails before anything is sent
        EXPECT_EQ(log.procedures(), QStringList{qs(page.procedures.save)});
    }
    expectMode(Mode::Adding);
    expectBoxes(QStringLiteral("Z4"), QStringLiteral("Four"));

    click(change);
    clickNamed(qs(page.sample.name));
    click(change);
    retype(facility->lineEdit(), QString());
    clearRecords();
    click(add);
    EXPECT_TRUE(shownOnly(prompt, controls::StyleOk, QString()));
    expectMode(Mode::Changing);
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(count(), page.records);
    EXPECT_EQ(record(page.sample.key), sample());
}

// --- Change --------------------------------------------------------------------------------

TEST_P(MaintenancePageTest, UpdateChangesTheRecordAndSelectsItsOldPosition) {
    const int position = positionOf(*list, qs(page.sample.name));
    clickRow(*list, position);
    click(change);
    QTest::keyClicks(name, QStringLiteral("X")); // the route's name is locked
    const QString renamed = qs(page.sample.name) + (page.rules.nameChangeable ? "X" : "");
    retype(description, QStringLiteral("Moved north"));
    pickEntry(facility, Northfield);
    click(add);

    expectTold(page.updated);
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(record(page.sample.key), renamed + "|Moved north|" + Northfield);
    expectMode(Mode::Idle);
    EXPECT_EQ(selectedPosition(*list), position);
    EXPECT_EQ(row(*list, position), (QStringList{renamed, "Moved north", Northfield}));
    expectBoxes(renamed, QStringLiteral("Moved north"));
    EXPECT_EQ(facility->shownText(), Northfield);
    EXPECT_TRUE(hasFocus(list));

    // Another client changes the list meanwhile: the old position is selected whatever stands
    // there now, or nothing once the list got shorter than it.
    click(change);
    retype(description, QStringLiteral("Moved"));
    insert(40, "0", "Sorts early"); // sorted before the sample
    click(add);
    EXPECT_EQ(list->count(), page.records + 1);
    EXPECT_EQ(selectedPosition(*list), position);
    EXPECT_EQ(name->text(), row(*list, position).at(0));
    EXPECT_NE(name->text(), renamed);

    clickRow(*list, page.records + 1);
    click(change);
    retype(description, QStringLiteral("Last one"));
    server->execute(
        QStringLiteral("DELETE FROM %1 WHERE %2 = 1").arg(qs(page.ui->table), qs(page.ui->key)));
    boxes.clear();
    click(add);
    EXPECT_TRUE(shownOnly(qs(page.updated.prompt), controls::StyleOk, qs(page.updated.title)));
    EXPECT_EQ(list->count(), page.records);
    EXPECT_EQ(selectedPosition(*list), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);
    boxes.clear();
    click(change);
    EXPECT_TRUE(shownOnly(qs(page.prompts.selectToChange), controls::StyleOk, Required));
}

// --- Delete --------------------------------------------------------------------------------

TEST_P(MaintenancePageTest, DeleteAskedConfirmedAndAnsweredNo) {
    insert(40, "Z9", "Spare");
    reload();
    clickNamed(QStringLiteral("Z9"));
    boxes.queueAnswer(controls::AnswerNo);
    click(remove);
    EXPECT_TRUE(shownOnly(qs(page.prompts.confirmDelete), controls::StyleYesNo, Validation));
    EXPECT_EQ(record(40), "Z9|Spare|" + Northfield);
    expectBoxes(QStringLiteral("Z9"), QStringLiteral("Spare"));

    boxes.clear();
    click(remove);
    ASSERT_EQ(boxes.shown().size(), 2u) << boxes.prompts().join(qs(" | ")).toStdString();
    EXPECT_EQ(boxes.shown()[1].prompt, qs(page.deleted.prompt));
    EXPECT_EQ(boxes.shown()[1].title, qs(page.deleted.title));
    EXPECT_EQ(boxes.snapshots()[1], qs(page.deleted.shows));
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(record(40), QString());
    EXPECT_EQ(list->count(), page.records);
    // The last in list order is selected and shown.
    EXPECT_EQ(selectedPosition(*list), page.records);
    EXPECT_EQ(name->text(), row(*list, page.records).at(0));
    expectMode(Mode::Idle);
}

TEST_P(MaintenancePageTest, DeletingTheLastRecordLeavesAnEmptyIdlePage) {
    server->execute(QStringLiteral("DELETE FROM centers; DELETE FROM %1 WHERE %2 <> %3")
                        .arg(qs(page.ui->table), qs(page.ui->key))
                        .arg(page.sample.key));
    reload();
    clickRow(*list, 1);
    click(remove);
    EXPECT_EQ(boxes.prompts().value(1), qs(page.deleted.prompt));
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(list->count(), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);

    // Cancelled input on an empty list is not shown as if it were saved.
    click(add);
    QTest::keyClicks(name, QStringLiteral("S2"));
    QTest::keyClicks(description, QStringLiteral("Never saved"));
    click(change);
    if (page.rules.cancelRestores) {
        expectBoxes(QString(), QString());
    }
    boxes.clear();
    click(change);
    EXPECT_TRUE(shownOnly(qs(page.prompts.selectToChange), controls::StyleOk, Required));
    EXPECT_TRUE(log.entries().isEmpty());
}

// --- Keys a request cannot carry, the key filter, records a rebuild removed ----------------

// A key the service holds but a 16-bit request cannot carry is reported; nothing is sent.
TEST_P(MaintenancePageTest, KeysBeyondSixteenBitsAreReportedAndNothingIsSent) {
    server->execute(QStringLiteral("PRAGMA ignore_check_constraints = ON;") +
                    qs(page.insertSql).arg(40001).arg(qs("W1"), qs("Wide")));
    reload();
    clickNamed(QStringLiteral("W1"));
    click(change);
    retype(description, QStringLiteral("Wider"));
    click(add);
    expectOneReport(page.procedures.save, "Overflow");
    expectMode(Mode::Changing);
    click(change);
    clearRecords();
    click(remove);
    expectOneReport(page.procedures.remove, "Overflow", 1);
    EXPECT_EQ(record(40001), "W1|Wide|" + Northfield);
}

// Nor do line breaks: what is saved is one line (each box's paste and drop: TextBoxTests).
TEST_P(MaintenancePageTest, ApostrophesNeverReachTheFilteredBoxesTypedOrPasted) {
    click(add);
    QTest::keyClicks(name, QStringLiteral("'Z'6"));
    EXPECT_EQ(name->text(), page.rules.nameFiltered ? "Z6" : "'Z'6");
    QTest::keyClicks(description, QStringLiteral("Bob's & \"Ann's\""));
    paste(description, QStringLiteral(" O'Neil's\r\nsecond line")); // the first line only
    EXPECT_EQ(description->text(), "Bobs & \"Anns\" ONeils");
    description->home(false); // the cursor stays after what was pasted
    paste(description, QStringLiteral("'A'"));
    QTest::keyClicks(description, QStringLiteral("B"));
    EXPECT_EQ(description->text(), "ABBobs & \"Anns\" ONeils");
    description->setSelection(1, 1); // pasted over a selected letter
    paste(description, QStringLiteral("'"));
    EXPECT_EQ(description->text(), "ABobs & \"Anns\" ONeils");

    pickEntry(facility, Northfield);
    click(add);
    EXPECT_TRUE(shownOnly(qs(page.added.prompt), controls::StyleOk, qs(page.added.title)));
    EXPECT_EQ(record(keyOf(name->text().replace(u'\'', QStringLiteral("''"))).toInt()),
              name->text() + "|ABobs & \"Anns\" ONeils|" + Northfield);
}

// A reference to a record that a rebuild removed is reported where the page reads it.
TEST_P(MaintenancePageTest, AReferenceToARecordARebuildRemovedIsNotFollowed) {
    clickNamed(qs(page.sample.name));
    server->stop(); // a reload from a server that is gone empties the list
    component->LoadData(server->serverName());
    ASSERT_EQ(list->count(), 0);
    clearRecords();
    click(change);
    if (page.rules.nameChangeable) { // the bay page reads nothing of the item before changing mode
        expectMode(Mode::Changing);
        click(add); // with no row selected and no facility, the facility is asked for first
        EXPECT_TRUE(shownOnly(QStringLiteral("Please select a facility."), controls::StyleOk, {}));
        expectMode(Mode::Changing);
    } else {
        expectOneReport("ChangeRoute", "removed");
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, MaintenancePageTest, ::testing::ValuesIn(Pages),
                         [](const auto& tested) { return std::string(tested.param.testName); });

} // namespace
