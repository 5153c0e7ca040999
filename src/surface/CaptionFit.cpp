#include "surface/CaptionFit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <vector>

namespace stowline::surface {
namespace {

constexpr char DesignGeometry[] = "stowlineDesignGeometry";
// Narrower than this a text box or drop-down moves instead of giving up more width.
constexpr int MinimumFieldWidth = 24;
constexpr int MaximumKeptGap = 6;

QRect designGeometry(const QWidget& control) {
    return control.property(DesignGeometry).toRect();
}

// The width a caption needs to be drawn whole, margins included; 0 for a control without one.
int captionWidth(const QWidget& control) {
    const bool captioned = qobject_cast<const QLabel*>(&control) != nullptr ||
                           qobject_cast<const QAbstractButton*>(&control) != nullptr;
    return captioned ? control.sizeHint().width() : 0;
}

bool givesUpWidth(const QWidget& control) {
    return qobject_cast<const QLineEdit*>(&control) != nullptr ||
           qobject_cast<const QComboBox*>(&control) != nullptr ||
           qobject_cast<const QAbstractItemView*>(&control) != nullptr;
}

bool shareALine(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

void fitContainer(QWidget& container) {
    std::vector<QWidget*> controls;
    for (QWidget* child : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->property(DesignGeometry).isValid()) {
            child->setGeometry(designGeometry(*child));
            controls.push_back(child);
        }
    }
    std::stable_sort(controls.begin(), controls.end(), [](QWidget* a, QWidget* b) {
        return designGeometry(*a).left() < designGeometry(*b).left();
    });
    for (std::size_t i = 0; i < controls.size(); ++i) {
        QWidget& control = *controls[i];
        const QRect design = designGeometry(control);
        // Room after whatever grew or moved before it on its line, keeping the design's gap
        // where it is a narrow one (a caption and its field); a wide gap absorbs the growth.
        int left = control.x();
        for (std::size_t j = 0; j < i; ++j) {
            const QRect before = designGeometry(*controls[j]);
            if (!controls[j]->isHidden() && shareALine(before, design) &&
                before.right() < design.left()) {
                const int gap = std::min(design.left() - before.right(), MaximumKeptGap);
                left = std::max(left, controls[j]->geometry().right() + gap);
            }
        }
        if (left > control.x()) {
            const int right = control.geometry().right();
            if (givesUpWidth(control) && right - left + 1 >= MinimumFieldWidth) {
                control.setGeometry(left, control.y(), right - left + 1, control.height());
            } else {
                control.move(left, control.y());
            }
        }
        if (captionWidth(control) > control.width()) {
            control.resize(captionWidth(control), control.height());
        }
    }
}

} // namespace

void setDesignGeometry(QWidget& control, const QRect& geometry) {
    control.setProperty(DesignGeometry, geometry);
    control.setGeometry(geometry);
}

void fitCaptions(const ControlSurface& ui) {
    std::vector<QWidget*> containers;
    for (int i = 0; i < ui.SSTab1->count(); ++i) {
        containers.push_back(ui.SSTab1->widget(i));
    }
    for (QFrame* frame : {ui.fraRouteList, ui.fraRouteEdit, ui.fraLocationList, ui.fraLocationEdit,
                          ui.fraStowlineList, ui.fraStowlineEdit}) {
        containers.push_back(frame);
    }
    for (QWidget* container : containers) {
        fitContainer(*container);
    }
}

} // namespace stowline::surface
