#pragma once

#include "controls/ListView.h"
#include "controls/TextBox.h"

#include <QLabel>
#include <QTabWidget>
#include <array>

namespace stowline::pages {

// Gives a list its filter box: what is typed there filters the list (ListView::setFilterText),
// Esc in the box clears it, a hidden row selected by a page clears it too, and the label beside
// it counts the rows shown among those the list holds ("12 of 26,069"). The filter stays while
// the list is read again.
void installListFilter(controls::ListView& list, controls::TextBox& box, QLabel& count);

// Ctrl+F anywhere in the owner moves the focus to the filter box of the page shown (the boxes in
// the order of the pages), unless the page's list cannot be used.
void installFindShortcut(QWidget& owner, const QTabWidget& pages,
                         const std::array<controls::TextBox*, 3>& boxes);

// "12 of 26,069", the counts with the locale's digit grouping; empty for a list without rows.
QString rowsShownText(int shown, int total);

} // namespace stowline::pages
