#include "controls/TextBox.h"

#include "controls/SystemColours.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace stowline::controls {
namespace {

bool breaksLine(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x0B) ||
           c == QChar(0x0C) || c == QChar(0x85) || c.category() == QChar::Separator_Line ||
           c.category() == QChar::Separator_Paragraph;
}

// What a one-line box keeps of a text pasted or dropped into it: its first line, without the
// control characters (a tab, say) that no request from the box may carry.
QString firstLine(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (breaksLine(c)) {
            break;
        }
        if (c.category() != QChar::Other_Control) {
            kept += c;
        }
    }
    return kept;
}

} // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    // The line edit announces textChanged with the text of the edit even when filterEdit has
    // already replaced it, so the text is read back rather than taken from the signal.
    connect(this, &QLineEdit::textChanged, this, [this] { m_lastText = text(); });
    // textEdited is emitted for typing, pasting and dropping, never for text set by code.
    connect(this, &QLineEdit::textEdited, this, &TextBox::filterEdit);
}

void TextBox::setBackColour(const QColor& colour) {
    controls::setBackColour(*this, colour);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (onKeyPress && typed.size() == 1 && typed.at(0).isPrint()) {
        const int code = onKeyPress(typed.at(0).unicode());
        if (code == 0) {
            event->accept();
            return;
        }
        if (code != typed.at(0).unicode()) {
            QKeyEvent replaced(event->type(), event->key(), event->modifiers(),
                               QString(QChar(code)));
            QLineEdit::keyPressEvent(&replaced);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (onGotFocus) {
        onGotFocus();
    }
}

void TextBox::filterEdit(const QString& edited) {
    const QString before = m_lastText;
    // Find what the edit inserted: the part between the common prefix and suffix.
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < edited.size() && before[prefix] == edited[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < edited.size() - prefix &&
           before[before.size() - 1 - suffix] == edited[edited.size() - 1 - suffix]) {
        ++suffix;
    }
    const QString inserted = edited.mid(prefix, edited.size() - prefix - suffix);
    // The key filter and the maximum length apply to what the box keeps.
    QString kept;
    for (const QChar c : firstLine(inserted)) {
        const int code = onKeyPress ? onKeyPress(c.unicode()) : c.unicode();
        if (code != 0) {
            kept += QChar(code);
        }
    }
    const qsizetype untouched = prefix + suffix;
    if (m_typedMaxLength > 0 && untouched + kept.size() > m_typedMaxLength) {
        kept.truncate(qMax<qsizetype>(0, m_typedMaxLength - untouched));
    }
    if (kept == inserted) {
        return;
    }
    const QString result = edited.left(prefix) + kept + edited.right(suffix);
    const QSignalBlocker blocker(this);
    setText(result);
    setCursorPosition(static_cast<int>(prefix + kept.size()));
    m_lastText = result;
}

} // namespace stowline::controls
