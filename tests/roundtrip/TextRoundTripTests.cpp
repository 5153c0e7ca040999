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
constexpr qsizetype DescriptionLongest = 50;
constexpr qsizetype BayNameLongest = 20;

// `core` between a leading and a trailing blank, filled up with dashes to exactly `length`.
QString atLength(const char* core, qsizetype length) {
    QString text = QLatin1Char(' ') + qs(core);
    text += QString(length - text.size() - 1, QLatin1Char('-'));
    return text + QLatin1Char(' ');
}

// Replaces the box's text by typing, as the operator does. Where the text reaches the box's
// limit, one more character is typed, which the box must refuse.
void type(platform::TextBox* box, const QString& text) {
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

// Each page's adds and changes are checked after a reload, which also fails on any failure
// reported. Apostrophes never reach these texts (the boxes filter them), so quoting them in SQL
// is safe.
using TextRoundTrip = PageTest;

TEST_F(TextRoundTrip, RouteCodesAndDescriptions) {
    const struct {
        QString code, added, changed; // changed null: the description is not changed
    } cases[] = {
        {qs("&<"), atLength("Zürich & <Ødegård> \"É\"", DescriptionLongest), QString()},
        {qs("\">"), qs("A&B"), atLength("<changed> Ødegård & \"Zürich\" É", DescriptionLongest)},
        {qs(" É"), qs("  Zürich  "), qs(" <É> & \"Ø\" ")},
        {qs("Ø "), qs("x>y&&z<\"\""), QString()},
    };
    auto* list = control<platform::ListView>("lstRoute");
    auto* code = control<platform::TextBox>("txtRoute");
    auto* description = control<platform::TextBox>("txtRouteDesc");
    auto* add = control<QPushButton>("cmdAddRoute");
    ASSERT_EQ(code->typedMaxLength(), 2);
    for (const auto& c : cases) {
        click(add);
        type(code, c.code);
        type(description, c.added);
        click(add);
        if (!c.changed.isNull()) {
            const int position = positionOf(*list, c.code);
            ASSERT_GT(position, 0) << "not listed after the add: " << c.code.toStdString();
            clickRow(*list, position);
            click(control<QPushButton>("cmdChangeRoute"));
            type(description, c.changed);
            click(add);
        }
    }
    reload();
    for (const auto& c : cases) {
        const QString expected = c.changed.isNull() ? c.added : c.changed;
        EXPECT_EQ(
            server->queryValue("SELECT description FROM routes WHERE code = '" + c.code + "'"),
            expected);
        const int position = positionOf(*list, c.code);
        ASSERT_GT(position, 0) << c.code.toStdString();
        EXPECT_EQ(row(*list, position), (QStringList{c.code, expected, Depot}));
        clickRow(*list, position);
        EXPECT_EQ((QStringList{code->text(), description->text()}),
                  (QStringList{c.code, expected}));
    }
}

TEST_F(TextRoundTrip, BayNamesAndDescriptions) {
    showPage(1);
    const struct {
        QString name, description, changedName, changedDescription; // null: not changed
    } cases[] = {
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
    ASSERT_EQ(description->typedMaxLength(), DescriptionLongest);
    // Bays are found by their description, which the cases keep distinct.
    const auto positionOfDescription = [&](const QString& text) {
        return static_cast<int>(column(*list, 1).indexOf(text)) + 1;
    };
    for (const auto& c : cases) {
        click(add);
        type(name, c.name);
        type(description, c.description);
        click(add);
        if (!c.changedName.isNull()) {
            const int position = positionOfDescription(c.description);
            ASSERT_GT(position, 0) << "not listed after the add: " << c.description.toStdString();
            clickRow(*list, position);
            click(control<QPushButton>("cmdChangeLocation"));
            type(name, c.changedName);
            type(description, c.changedDescription);
            click(add);
        }
    }
    reload();
    for (const auto& c : cases) {
        const bool changed = !c.changedName.isNull();
        const QString expected[] = {changed ? c.changedName : c.name,
                                    changed ? c.changedDescription : c.description};
        EXPECT_EQ(server->queryValue("SELECT name FROM storage_locations WHERE description = '" +
                                     expected[1] + "'"),
                  expected[0]);
        const int position = positionOfDescription(expected[1]);
        ASSERT_GT(position, 0) << expected[1].toStdString();
        EXPECT_EQ(row(*list, position), (QStringList{expected[0], expected[1], Depot}));
        clickRow(*list, position);
        EXPECT_EQ((QStringList{name->text(), description->text()}),
                  (QStringList{expected[0], expected[1]}));
    }
}

} // namespace
