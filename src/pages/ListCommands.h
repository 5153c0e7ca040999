#pragma once

#include "controls/ListView.h"

#include <QByteArray>
#include <QString>

namespace stowline::pages {

// Gives a list two commands, in its context menu and by shortcut while it has the focus: Copy
// (Ctrl+C) puts the selected row on the clipboard as a spreadsheet takes it, and "Export as
// CSV…" writes the rows shown to a file the operator chooses. Neither changes the selection or
// the page's mode; a list that cannot be used (its frame disabled) offers neither.
void installListCommands(controls::ListView& list);

// Both below write a cell that a spreadsheet would take for a formula with a leading apostrophe
// (plain numbers such as -5 or +3.5 excepted), so that no value from the service is evaluated.

// The shown columns' captions and the selected row, tab-separated, one line each; empty with
// nothing selected.
QString selectedRowAsText(controls::ListView& list);
// The rows the filter shows, in the order shown, shown columns only, under a line of captions:
// CSV as RFC 4180 has it (CR LF, fields with a quote, comma, line break or blank at either end
// quoted), UTF-8.
QByteArray listAsCsv(controls::ListView& list);

} // namespace stowline::pages
