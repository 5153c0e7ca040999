#include "surface/Accessibility.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace stowline::surface {
namespace {

QString nameFromCaption(const QString& caption) {
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    return name.trimmed();
}

void nameAfterLabels(ControlSurface& ui) {
    const std::pair<QLabel*, QWidget*> pairs[] = {
        {ui.Label7, ui.lstRoute},        {ui.Label1, ui.txtRoute},
        {ui.Label2, ui.txtRouteDesc},    {ui.Label12, ui.cboFacility3},
        {ui.Label8, ui.lstLocation},     {ui.Label3, ui.txtLocationID},
        {ui.Label4, ui.txtLocationDesc}, {ui.Label10, ui.cboFacility},
        {ui.Label9, ui.lstStowline},     {ui.Label11, ui.cboFacility2},
        {ui.Label5, ui.cboRoute},        {ui.Label6, ui.cboLocation},
    };
    for (auto [label, field] : pairs) {
        field->setAccessibleName(nameFromCaption(label->text()));
        label->setBuddy(field);
    }
}

// The controls a page holds: those standing on it and those in its frames.
std::vector<QWidget*> tabStops(QWidget* page) {
    std::vector<QWidget*> stops;
    const auto consider = [&stops](QWidget* widget) {
        // Explicitly hidden controls are never reached, so they take no place in the order.
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && !widget->isHidden()) {
            stops.push_back(widget);
        }
    };
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // A plain frame groups controls; labels and the other frame subclasses are controls.
        if (child->metaObject() == &QFrame::staticMetaObject) {
            for (QWidget* inner : child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                consider(inner);
            }
        } else {
            consider(child);
        }
    }
    return stops;
}

// Reading order: controls whose vertical middle lies within the first control of a line
// share that line (design positions differ by a few twips), lines run left to right.
std::vector<QWidget*> visualOrder(QWidget* page) {
    struct Stop {
        QWidget* widget;
        QRect rect;
    };
    std::vector<Stop> stops;
    for (QWidget* widget : tabStops(page)) {
        stops.push_back({widget, QRect(widget->mapTo(page, QPoint(0, 0)), widget->size())});
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Stop& a, const Stop& b) { return a.rect.top() < b.rect.top(); });
    std::vector<QWidget*> order;
    for (auto lineStart = stops.begin(); lineStart != stops.end();) {
        const QRect anchor = lineStart->rect;
        auto lineEnd = std::find_if(lineStart, stops.end(), [&anchor](const Stop& stop) {
            return stop.rect.center().y() > anchor.bottom();
        });
        std::stable_sort(lineStart, lineEnd, [](const Stop& a, const Stop& b) {
            return a.rect.left() < b.rect.left();
        });
        for (auto it = lineStart; it != lineEnd; ++it) {
            order.push_back(it->widget);
        }
        lineStart = lineEnd;
    }
    return order;
}

} // namespace

void makeAccessible(ControlSurface& ui) {
    nameAfterLabels(ui);
    for (int i = 0; i < ui.SSTab1->count(); ++i) {
        const std::vector<QWidget*> order = visualOrder(ui.SSTab1->widget(i));
        for (std::size_t j = 1; j < order.size(); ++j) {
            QWidget::setTabOrder(order[j - 1], order[j]);
        }
    }
}

} // namespace stowline::surface
