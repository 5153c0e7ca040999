#pragma once

#include <QColor>
#include <QLineEdit>
#include <functional>

namespace stowline::controls {

// A one-line text box. Text pasted or dropped into it keeps its first line only, without control
// characters. Its maximum length and its key filter limit only what the operator types, pastes
// or drops, after that; text set by code is kept whole.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    bool locked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }
    // The background the field is drawn with.
    QColor backColour() const { return palette().color(QPalette::Base); }
    void setBackColour(const QColor& colour);

    // 0 means no limit.
    void setTypedMaxLength(int length) { m_typedMaxLength = length; }
    int typedMaxLength() const { return m_typedMaxLength; }

    // Given a typed character code, returns the code to insert (0 swallows the key).
    std::function<int(int keyAscii)> onKeyPress;
    std::function<void()> onGotFocus;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void filterEdit(const QString& edited);

    int m_typedMaxLength = 0;
    QString m_lastText;
};

} // namespace stowline::controls
