#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <string_view>

#include "platform/error_display.h"

namespace app {

// The text the error box shows for an error message: the message with "."
// appended when it is not empty and its last character sorts after "."
// (so "Fehler!" stays, "Fehler" becomes "Fehler.").
std::string ErrorBoxText(std::string_view message);

// Runs a window's handler. An error that escapes it ends the action and is
// shown in a modal box with the error icon and the application title;
// platform::EAbort ends it silently. Nothing ever escapes: Qt must not see
// an exception leave a slot.
void RunGuarded(const std::function<void()>& handler) noexcept;

// The same error box for errors that the engines report from notifications,
// where no handler can receive them; installed for the application's run.
class ErrorBoxDisplay : public platform::ErrorDisplay {
 public:
  void ShowError(const std::exception& error) noexcept override;
};

// Connects `signal` of `sender` to the handler `method` of `receiver` so that
// the handler runs through RunGuarded. Every handler of the windows is
// connected this way.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection ConnectGuarded(const Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*method)()) {
  return QObject::connect(sender, signal, receiver,
                          [receiver, method] { RunGuarded([&] { (receiver->*method)(); }); });
}

}  // namespace app
