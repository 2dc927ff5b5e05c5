#pragma once

// Dialogs for tests. A test queues the answers it expects the code under
// test to ask for, in order; every request is recorded. A message box with
// only an OK button needs no answer (OK is the only one possible) but is
// recorded like all others. A request that finds no answer, or an answer of
// the wrong kind, fails the running test (GoogleTest ADD_FAILURE) and is
// answered with Cancel/false so that the code under test stops quietly.
// Answers still queued when the object is destroyed fail the test too.

#include <deque>
#include <string>
#include <variant>
#include <vector>

#include "platform/dialogs.h"

namespace platform::testing {

class ScriptedDialogs : public Dialogs {
 public:
  // What a file dialog answers: accepted with a name and filter index, or cancelled.
  struct FileAnswer {
    bool accepted = true;
    std::string fileName;
    int filterIndex = 1;
  };
  struct PasswordAnswer {
    bool accepted = true;
    std::string password;
  };
  struct LoginAnswer {
    bool accepted = true;
    std::string userName;
    std::string password;
    std::string databasePassword;
  };

  enum class RequestKind { kMessageBox, kOpenFile, kSaveFile, kPassword, kLogin };

  // One recorded request with what was passed in (before any answer).
  struct Request {
    RequestKind kind;
    MessageBoxRequest message;  // kMessageBox
    FileDialogState file;       // kOpenFile, kSaveFile
    std::string password;       // kPassword: the preset text
    LoginRequest login;         // kLogin
  };

  ScriptedDialogs() = default;
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // Queue the next answers.
  void PushMessageResult(MessageResult result);
  void PushOpenFile(FileAnswer answer);
  void PushSaveFile(FileAnswer answer);
  void PushPassword(PasswordAnswer answer);
  void PushLogin(LoginAnswer answer);

  // Every request so far, in order; and only the message boxes.
  const std::vector<Request>& Requests() const { return requests_; }
  std::vector<MessageBoxRequest> Messages() const;
  // Texts of the message boxes shown, in order (the most common check).
  std::vector<std::string> MessageTexts() const;

  // Number of queued answers not yet used.
  std::size_t PendingAnswers() const { return answers_.size(); }
  // Forgets the requests recorded so far (the queue stays).
  void ClearRequests() { requests_.clear(); }

  MessageResult ShowMessageBox(const MessageBoxRequest& request) override;
  bool OpenFile(FileDialogState& state) override;
  bool SaveFile(FileDialogState& state) override;
  bool AskPassword(std::string& password) override;
  bool AskLogin(LoginRequest& login) override;

 private:
  struct OpenFileAnswer {
    FileAnswer answer;
  };
  struct SaveFileAnswer {
    FileAnswer answer;
  };
  using Answer =
      std::variant<MessageResult, OpenFileAnswer, SaveFileAnswer, PasswordAnswer, LoginAnswer>;

  // The next answer if it has type T; otherwise records a test failure
  // describing `what` and returns nullptr.
  template <class T>
  const T* TakeAnswer(const char* what);
  // Copies an accepted file answer into `state`; false for none or cancel.
  static bool ApplyFileAnswer(const FileAnswer* answer, FileDialogState& state);

  std::deque<Answer> answers_;
  std::vector<Request> requests_;
  Answer current_;
};

}  // namespace platform::testing
