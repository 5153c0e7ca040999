// Every text box and editable drop-down of the component holds one line: text pasted or dropped
// keeps its first line, without control characters, and the box's key filter and typed limit
// then apply to what is kept.
#include "support/PageDriver.h"

#include <QComboBox>
#include <QMimeData>

using namespace stowline;
using test::child;

namespace {

// Drops the text onto the box's end, as a drag from another program does.
void drop(QLineEdit* box, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(box->width() - 4, box->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &move);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &dropped);
}

TEST(TextBoxes, PastedOrDroppedTextKeepsItsFirstLineThenTheFiltersApply) {
    Stowline component;
    component.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&component));
    for (const char* frame : {"fraRouteList", "fraStowlineList"}) { // as a load leaves them
        child<QWidget>(component, frame)->setEnabled(true);
    }
    const QString lines = QString::fromUtf8("Dock 7\r\nsecond line\nthird");
    const QString fifty(50, QLatin1Char('d'));
    const struct {
        const char* name;
        const char* before; // the box's text, the cursor at its end
        QString text;
        QString kept;
    } cases[] = {
        {"txtRouteDesc", "ab", lines, "abDock 7"},
        {"txtRouteDesc", "ab", QString::fromUtf8("O'Neil\u2028Street"), "abONeil"}, // the filter
        {"txtRouteDesc", "ab", "\nsecond line", "ab"}, // an empty first line
        {"txtRoute", "", "'Z\n9", "Z"},                // the filter, then two characters
        {"txtLocationID", "ab", "D-9\rx", "abD-9"},
        {"txtLocationID", "", "tab\there\x0bnext", "tabhere"},  // no tab either
        {"txtLocationDesc", "", fifty + "dd\n" + lines, fifty}, // 50 at most
        {"txtRouteFilter", "ab", lines, "abDock 7"},
        {"cboFacility", "ab", lines, "abDock 7"},
        {"cboFacility2", "", QString::fromUtf8("Dépôt\u2029Sainte"), QString::fromUtf8("Dépôt")},
        {"cboFacility3", "ab", lines, "abDock 7"},
    };
    for (const bool dropped : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (dropped ? " dropped" : " pasted"));
            auto* widget = child<QWidget>(component, c.name);
            ASSERT_NE(widget, nullptr);
            auto* combo = qobject_cast<QComboBox*>(widget);
            QLineEdit* box =
                combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget);
            ASSERT_NE(box, nullptr);
            box->setReadOnly(false);
            box->setText(QString::fromLatin1(c.before));
            box->setFocus();
            box->end(false);
            if (dropped) {
                drop(box, c.text);
            } else {
                test::paste(box, c.text);
            }
            EXPECT_EQ(box->text(), c.kept);
        }
    }
}

} // namespace
