#pragma once

#include <QString>
#include <functional>

namespace stowline::controls {

// Message-box styles: the information icon with an OK button, or with Yes and No.
inline constexpr int StyleOk = 64;
inline constexpr int StyleYesNo = 68;

// Buttons a box returns.
inline constexpr int AnswerOk = 1;
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;

// Shows an application-modal box and waits for the operator. A box without a title of its
// own carries the application's display name. Returns AnswerOk, AnswerYes or AnswerNo.
int showMessageBox(const QString& prompt, int style, const QString& title = QString());

// What a presenter is given: the prompt, the style and the title as passed (maybe empty), and
// the details a box offers under "Show Details..." (none when empty).
struct MessageBoxRequest {
    QString prompt;
    int style = StyleOk;
    QString title;
    QString details{};
};

// The same, with every part of the request.
int showMessageBox(const MessageBoxRequest& request);
using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Replaces the presenter (tests answer boxes without a screen); an empty function restores
// the real QMessageBox.
void setMessageBoxPresenter(MessageBoxPresenter presenter);

} // namespace stowline::controls
