// Texts typed into the route and bay pages' boxes travel through the envelope, the service and
// the answer clean-up: markup characters, quotes, letters beyond ASCII, blanks at both ends and
// the longest text each box can save must be stored exactly as typed and listed exactly so
// after a fresh LoadData.
#include "support/PageDriver.h"

using namespace stowline;
using namespace stowline::test;

namespace {

const QString Depot = QString::fromUtf8("Dépôt Sainte-Émilie");

// The longest text a box can save: the route code and bay description boxes stop typing at 2
// and 50 characters; the route description and bay name boxes have no limit of their own, so
// the service's columns (50 and 20 characters) bound them.
constexpr qsizetype RouteCodeLongest = 2;
constexpr qsizetype DescriptionLongest = 50;
constexpr qsizetype BayNameLongest = 20;

// `core` between a leading and a trailing blank, filled up with dashes to exactly `length`.
QString atLength(const char* core, qsizetype length) {
    QString text = QLatin1Char(' ') + qs(core);
    text += QString(length - text.size() - 1, QLatin1Char('-'));
    return text + QLatin1Char(' ');
}

struct RouteCase {
    QString code;
    QString added;
    QString changed; // null: the description is not changed
};

struct BayCase {
    QString name;
    QString description;
    QString changedName; // null: the bay is not changed
    QString changedDescription;
};

class TextRoundTrip : public PageTest {
protected:
    // Replaces the box's text by typing, as the operator does. Where the text reaches the
    // box's limit, one more character is typed, which the box must refuse.
    static void type(platform::TextBox* box, const QString& text) {
        retype(box, QString());
        const bool atLimit = box->typedMaxLength() > 0 && text.size() == box->typedMaxLength();
        for (const QChar c : atLimit ? text + QLatin1Char('#') : text) {
            // QTest's own key mapping knows ASCII only; a key with a letter beyond it carries
            // the letter as its text, as a keyboard with that key sends it.
            if (c.unicode() < 0x80) {
                QTest::keyClick(box, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, box, static_cast<Qt::Key>(c.toUpper().unicode()),
                                    QString(c), Qt::NoModifier);
            }
        }
    }

    // Apostrophes never reach these texts (the boxes filter them), so quoting in SQL is safe.
    QString stored(const char* sqlPattern, const QString& key) {
        return server->queryValue(QString::fromLatin1(sqlPattern).arg(key));
    }

    ::testing::AssertionResult noFailureReported() {
        if (boxes.errorBoxes() == 0 && log.entries().isEmpty()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << log.entries().join(qs("\n")).toStdString();
    }
};

TEST_F(TextRoundTrip, RouteCodesAndDescriptions) {
    const RouteCase cases[] = {
        {qs("&<"), atLength("Zürich & <Ødegård> \"É\"", DescriptionLongest), QString()},
        {qs("\">"), qs("A&B"), atLength("<changed> Ødegård & \"Zürich\" É", DescriptionLongest)},
        {qs(" É"), qs("  Zürich  "), qs(" <É> & \"Ø\" ")},
        {qs("Ø "), qs("x>y&&z<\"\""), QString()},
    };
    auto* list = control<platform::ListView>("lstRoute");
    auto* code = control<platform::TextBox>("txtRoute");
    auto* description = control<platform::TextBox>("txtRouteDesc");
    auto* add = control<QPushButton>("cmdAddRoute");
    auto* change = control<QPushButton>("cmdChangeRoute");
    ASSERT_EQ(code->typedMaxLength(), RouteCodeLongest);

    for (const RouteCase& c : cases) {
        click(add);
        type(code, c.code);
        type(description, c.added);
        click(add);
        if (!c.changed.isNull()) {
            const int position = positionOf(*list, c.code);
            ASSERT_GT(position, 0) << "not listed after the add: " << c.code.toStdString();
            clickRow(*list, position);
            click(change);
            type(description, c.changed);
            click(add);
        }
        ASSERT_TRUE(noFailureReported()) << c.code.toStdString();
    }

    for (const RouteCase& c : cases) {
        const QString expected = c.changed.isNull() ? c.added : c.changed;
        EXPECT_EQ(stored("SELECT description FROM routes WHERE code = '%1'", c.code), expected)
            << c.code.toStdString();
    }
    reload();
    for (const RouteCase& c : cases) {
        const QString expected = c.changed.isNull() ? c.added : c.changed;
        const int position = positionOf(*list, c.code);
        ASSERT_GT(position, 0) << c.code.toStdString();
        EXPECT_EQ(row(*list, position), (QStringList{c.code, expected, Depot}));
        clickRow(*list, position);
        EXPECT_EQ(code->text(), c.code);
        EXPECT_EQ(description->text(), expected);
    }
}

TEST_F(TextRoundTrip, BayNamesAndDescriptions) {
    showPage(1);
    const BayCase cases[] = {
        {atLength("<Ø> & \"É\"", BayNameLongest),
         atLength("Zürich & <Ødegård> \"É\"", DescriptionLongest), QString(), QString()},
        {qs("A&B"), qs("x"), atLength("Zürich <É>", BayNameLongest),
         atLength("\"changed\" & <Ødegård>", DescriptionLongest)},
        {qs(" \"É\" "), qs("  <Zürich>  "), qs("&>&<"), qs(" Ødegård & \"É\" ")},
    };
    auto* list = control<platform::ListView>("lstLocation");
    auto* name = control<platform::TextBox>("txtLocationID");
    auto* description = control<platform::TextBox>("txtLocationDesc");
    auto* add = control<QPushButton>("cmdAddLocation");
    auto* change = control<QPushButton>("cmdChangeLocation");
    ASSERT_EQ(description->typedMaxLength(), DescriptionLongest);

    const auto positionOfDescription = [&](const QString& text) {
        return static_cast<int>(column(*list, 1).indexOf(text)) + 1;
    };
    for (const BayCase& c : cases) {
        click(add);
        type(name, c.name);
        type(description, c.description);
        click(add);
        if (!c.changedName.isNull()) {
            const int position = positionOfDescription(c.description);
            ASSERT_GT(position, 0) << "not listed after the add: " << c.description.toStdString();
            clickRow(*list, position);
            click(change);
            type(name, c.changedName);
            type(description, c.changedDescription);
            click(add);
        }
        ASSERT_TRUE(noFailureReported()) << c.description.toStdString();
    }

    for (const BayCase& c : cases) {
        const bool changed = !c.changedName.isNull();
        const QString expectedDescription = changed ? c.changedDescription : c.description;
        EXPECT_EQ(stored("SELECT name FROM storage_locations WHERE description = '%1'",
                         expectedDescription),
                  changed ? c.changedName : c.name);
    }
    reload();
    for (const BayCase& c : cases) {
        const bool changed = !c.changedName.isNull();
        const QString expectedName = changed ? c.changedName : c.name;
        const QString expectedDescription = changed ? c.changedDescription : c.description;
        const int position = positionOfDescription(expectedDescription);
        ASSERT_GT(position, 0) << expectedDescription.toStdString();
        EXPECT_EQ(row(*list, position), (QStringList{expectedName, expectedDescription, Depot}));
        clickRow(*list, position);
        EXPECT_EQ(name->text(), expectedName);
        EXPECT_EQ(description->text(), expectedDescription);
    }
}

} // namespace
