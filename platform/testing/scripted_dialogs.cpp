#include "platform/testing/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace platform::testing {
namespace {

const char* DescribeAnswer(std::size_t index) {
  static constexpr const char* kNames[] = {"a message box result", "an open-file answer",
                                           "a save-file answer", "a password answer",
                                           "a login answer"};
  return kNames[index];
}

}  // namespace

ScriptedDialogs::~ScriptedDialogs() {
  if (!answers_.empty()) {
    ADD_FAILURE() << "ScriptedDialogs: " << answers_.size()
                  << " queued answer(s) never asked for; the next one is "
                  << DescribeAnswer(answers_.front().index());
  }
}

void ScriptedDialogs::PushMessageResult(MessageResult result) { answers_.emplace_back(result); }
void ScriptedDialogs::PushOpenFile(FileAnswer answer) {
  answers_.emplace_back(OpenFileAnswer{std::move(answer)});
}
void ScriptedDialogs::PushSaveFile(FileAnswer answer) {
  answers_.emplace_back(SaveFileAnswer{std::move(answer)});
}
void ScriptedDialogs::PushPassword(PasswordAnswer answer) {
  answers_.emplace_back(std::move(answer));
}
void ScriptedDialogs::PushLogin(LoginAnswer answer) { answers_.emplace_back(std::move(answer)); }

std::vector<MessageBoxRequest> ScriptedDialogs::Messages() const {
  std::vector<MessageBoxRequest> messages;
  for (const auto& request : requests_) {
    if (request.kind == RequestKind::kMessageBox) messages.push_back(request.message);
  }
  return messages;
}

std::vector<std::string> ScriptedDialogs::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& message : Messages()) texts.push_back(message.text);
  return texts;
}

template <class T>
const T* ScriptedDialogs::TakeAnswer(const char* what) {
  if (answers_.empty()) {
    ADD_FAILURE() << "ScriptedDialogs: no answer queued for " << what;
    return nullptr;
  }
  if (!std::holds_alternative<T>(answers_.front())) {
    ADD_FAILURE() << "ScriptedDialogs: " << what << " was asked for, but the next answer is "
                  << DescribeAnswer(answers_.front().index());
    return nullptr;
  }
  current_ = std::move(answers_.front());
  answers_.pop_front();
  return &std::get<T>(current_);
}

MessageResult ScriptedDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  requests_.push_back({RequestKind::kMessageBox, request, {}, {}, {}});
  if (request.buttons == MessageButtons::kOk) return MessageResult::kOk;
  const std::string what = "the message box \"" + request.text + "\"";
  const auto* answer = TakeAnswer<MessageResult>(what.c_str());
  if (answer != nullptr) return *answer;
  return request.buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kCancel;
}

bool ScriptedDialogs::OpenFile(FileDialogState& state) {
  requests_.push_back({RequestKind::kOpenFile, {}, state, {}, {}});
  const auto* answer = TakeAnswer<OpenFileAnswer>("an open-file dialog");
  return ApplyFileAnswer(answer != nullptr ? &answer->answer : nullptr, state);
}

bool ScriptedDialogs::SaveFile(FileDialogState& state) {
  requests_.push_back({RequestKind::kSaveFile, {}, state, {}, {}});
  const auto* answer = TakeAnswer<SaveFileAnswer>("a save-file dialog");
  return ApplyFileAnswer(answer != nullptr ? &answer->answer : nullptr, state);
}

bool ScriptedDialogs::ApplyFileAnswer(const FileAnswer* answer, FileDialogState& state) {
  if (answer == nullptr || !answer->accepted) return false;
  state.fileName = answer->fileName;
  state.filterIndex = answer->filterIndex;
  return true;
}

bool ScriptedDialogs::AskPassword(std::string& password) {
  requests_.push_back({RequestKind::kPassword, {}, {}, password, {}});
  const auto* answer = TakeAnswer<PasswordAnswer>("the password prompt");
  if (answer == nullptr || !answer->accepted) return false;
  password = answer->password;
  return true;
}

bool ScriptedDialogs::AskLogin(LoginRequest& login) {
  requests_.push_back({RequestKind::kLogin, {}, {}, {}, login});
  const auto* answer = TakeAnswer<LoginAnswer>("the login prompt");
  if (answer == nullptr || !answer->accepted) return false;
  login.userName = answer->userName;
  login.password = answer->password;
  login.databasePassword = answer->databasePassword;
  return true;
}

}  // namespace platform::testing
