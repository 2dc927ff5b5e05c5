#include "platform/dialogs.h"

#include <cstdio>


namespace platform {
namespace {

// Used when no window system has installed its dialogs (command-line tools):
// messages still reach the user, every question gets its cautious answer.
class HeadlessDialogs : public Dialogs {
 public:
  MessageResult ShowMessageBox(const MessageBoxRequest& request) override {
    std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
    switch (request.buttons) {
      case MessageButtons::kOk:
        return MessageResult::kOk;
      case MessageButtons::kYesNo:
        return MessageResult::kNo;
      case MessageButtons::kOkCancel:
      case MessageButtons::kYesNoCancel:
        return MessageResult::kCancel;
    }
    return MessageResult::kCancel;
  }
  bool OpenFile(FileDialogState&) override { return false; }
  bool SaveFile(FileDialogState&) override { return false; }
  bool AskPassword(std::string&) override { return false; }
  bool AskLogin(LoginRequest&) override { return false; }
};

}  // namespace

MessageResult ShowMessage(const void* owner, const std::string& title, const std::string& text,
                          MessageIcon icon, MessageButtons buttons) {
  MessageBoxRequest request;
  request.owner = owner;
  request.title = title;
  request.text = text;
  request.icon = icon;
  request.buttons = buttons;
  return CurrentDialogs().ShowMessageBox(request);
}

Dialogs& CurrentDialogs() {
  static HeadlessDialogs headless;
  return detail::InstalledOr<Dialogs>(headless);
}

}  // namespace platform
