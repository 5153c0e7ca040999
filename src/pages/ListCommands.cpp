#include "pages/ListCommands.h"

#include "controls/ActionScope.h"
#include "controls/Clipboard.h"
#include "controls/FileSaving.h"
#include "controls/UiText.h"
#include "failures/StowlineError.h"
#include "reporting/Guarded.h"

#include <QKeySequence>
#include <QRegularExpression>

namespace stowline::pages {
namespace {

using controls::UiText;

// A spreadsheet takes a cell that starts with "=", "+", "-", "@", a tab or a CR for a formula and
// evaluates it, quoted or not; a leading apostrophe makes it text. A plain number such as -5 or
// +3.5 is no formula and stays as it is.
QString withoutFormula(const QString& text) {
    static const QRegularExpression plainNumber(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (text.isEmpty() || !QStringLiteral("=+-@\t\r").contains(text.front()) ||
        plainNumber.match(text).hasMatch()) {
        return text;
    }
    return QLatin1Char('\'') + text;
}

// A spreadsheet reads a pasted field as it stands unless it holds a tab, a line break or a
// quote; such a field is quoted, its quotes doubled.
QString pastedField(const QString& cell) {
    const QString text = withoutFormula(cell);
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('"'))) {
        return text;
    }
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// A CSV field, quoted where a reader could otherwise split, join or trim it.
void appendCsvField(QString& line, const QString& cell) {
    const QString text = withoutFormula(cell);
    const bool quoted = text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quoted) {
        line += text;
        return;
    }
    line += QLatin1Char('"');
    line += QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\""));
    line += QLatin1Char('"');
}

void exportList(controls::ListView& list) {
    const controls::ActionScope action(&list);
    guarded(QStringLiteral("ExportList"), [&] {
        const QString path = controls::askSaveFileName(&list, UiText::tr("Export as CSV"),
                                                       UiText::tr("CSV files (*.csv)"));
        if (path.isEmpty()) {
            return;
        }
        const QString problem = controls::saveFile(path, listAsCsv(list));
        if (!problem.isEmpty()) {
            raiseError(
                error_number::FileAccess,
                QStringLiteral("The list could not be written to %1: %2").arg(path, problem));
        }
    });
}

} // namespace

QString selectedRowAsText(controls::ListView& list) {
    const controls::ListItemRef selected = list.selectedItem();
    if (selected.isNothing()) {
        return {};
    }
    const int position = list.indexOf(selected);
    QStringList captions;
    QStringList cells;
    for (const int column : list.shownColumns()) {
        captions << pastedField(list.columnCaption(column));
        cells << pastedField(list.cell(position, column));
    }
    return captions.join(QLatin1Char('\t')) + QLatin1Char('\n') + cells.join(QLatin1Char('\t')) +
           QLatin1Char('\n');
}

QByteArray listAsCsv(controls::ListView& list) {
    const std::vector<int> columns = list.shownColumns();
    QString text;
    const auto appendLine = [&](const auto& field) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                text += QLatin1Char(',');
            }
            appendCsvField(text, field(columns[i]));
        }
        text += QStringLiteral("\r\n");
    };
    appendLine([&](int column) { return list.columnCaption(column); });
    for (int position = 1; position <= list.count(); ++position) {
        appendLine([&](int column) { return list.cell(position, column); });
    }
    return text.toUtf8();
}

void installListCommands(controls::ListView& list) {
    list.addCommand(UiText::tr("Copy"), QKeySequence::Copy, [&list] {
        if (const QString text = selectedRowAsText(list); !text.isEmpty()) {
            controls::copyToClipboard(text);
        }
    });
    list.addCommand(UiText::tr("Export as CSV…"), QKeySequence(), [&list] { exportList(list); });
}

} // namespace stowline::pages
