#include "tools/terminal_konvert.h"

#include "tools/terminal_password.h"

namespace tools {
namespace {

constexpr std::chrono::milliseconds kLineInterval{100};

}  // namespace

TerminalKonvert::TerminalKonvert(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

void TerminalKonvert::SetProgressCaption(const std::string& caption) {
  MemoryKonvertView::SetProgressCaption(caption);
  ShowProgressLine();
}

void TerminalKonvert::ShowProgressLine() {
  if (!terminal_ || ProgressCaption().empty()) return;
  const auto now = std::chrono::steady_clock::now();
  const bool last = ProgressPosition() == ProgressMaximum();
  if (lineShown_ && !last && now - lastShown_ < kLineInterval) return;
  lastShown_ = now;
  lineShown_ = true;
  // The blanks wipe what a longer line before left.
  err_ << '\r' << ProgressCaption() << " (" << ProgressPosition() << '/' << ProgressMaximum() << ")   "
       << std::flush;
}

void TerminalKonvert::EndProgressLine() {
  if (!lineShown_) return;
  err_ << '\n';
  lineShown_ = false;
}

platform::MessageResult TerminalKonvert::ShowMessageBox(const platform::MessageBoxRequest& request) {
  EndProgressLine();
  std::string text = request.text;
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  err_ << request.title << ": " << text << '\n' << std::flush;
  // Nobody can answer a question here: it gets its most cautious answer.
  switch (request.buttons) {
    case platform::MessageButtons::kOk: return platform::MessageResult::kOk;
    case platform::MessageButtons::kYesNo: return platform::MessageResult::kNo;
    case platform::MessageButtons::kOkCancel:
    case platform::MessageButtons::kYesNoCancel: break;
  }
  return platform::MessageResult::kCancel;
}

bool TerminalKonvert::AskPassword(std::string& password) {
  EndProgressLine();
  return AskPasswordOnTerminal(password);
}

}  // namespace tools
