#include "pages/ListFilter.h"

#include "controls/UiText.h"
#include "reporting/Guarded.h"

#include <QKeyEvent>
#include <QShortcut>

namespace stowline::pages {
namespace {

using controls::UiText;

// Esc empties a box that holds a filter; an empty box lets the key go on (to a host's dialog).
class EscapeClears : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<controls::TextBox*>(watched);
        if (box != nullptr && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !box->text().isEmpty()) {
            box->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The locale the counts are written in; where the system's is C or POSIX, which groups no
// digits, the language-neutral English one.
QLocale countingLocale() {
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

} // namespace

QString rowsShownText(int shown, int total) {
    if (total == 0) {
        return {};
    }
    const QLocale locale = countingLocale();
    return UiText::tr("%1 of %2").arg(locale.toString(shown), locale.toString(total));
}

void installListFilter(controls::ListView& list, controls::TextBox& box, QLabel& count) {
    box.setAccessibleName(UiText::tr("Filter"));
    box.installEventFilter(new EscapeClears(&box));
    const QString procedure = box.objectName() + QStringLiteral("_Change()");
    QObject::connect(&box, &QLineEdit::textChanged, &list, [&list, procedure](const QString& text) {
        guarded(procedure, [&] { list.setFilterText(text); });
    });
    QObject::connect(&list, &controls::ListView::filterCleared, &box, [&box] { box.clear(); });
    QObject::connect(&list, &controls::ListView::rowsCounted, &count, [&list, &box, &count] {
        count.setText(rowsShownText(list.count(), list.totalCount()));
        box.setAccessibleDescription(count.text());
    });
}

void installFindShortcut(QWidget& owner, const QTabWidget& pages,
                         const std::array<controls::TextBox*, 3>& boxes) {
    auto* find = new QShortcut(QKeySequence::Find, &owner);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(find, &QShortcut::activated, &owner, [&pages, boxes] {
        const int page = pages.currentIndex();
        if (page < 0 || page >= static_cast<int>(boxes.size()) || !boxes[page]->isEnabled()) {
            return;
        }
        boxes[page]->setFocus(Qt::ShortcutFocusReason);
        boxes[page]->selectAll();
    });
}

} // namespace stowline::pages
