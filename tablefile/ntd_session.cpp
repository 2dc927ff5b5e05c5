#include "tablefile/ntd_session.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/text_case.h"
#include "tablefile/header_block.h"

namespace tablefile {

TNtdSession& TNtdSession::Instance() {
  static TNtdSession session;
  return session;
}

void TNtdSession::RegisterDatabase(TNtdDatabase* database) {
  if (std::find(databases_.begin(), databases_.end(), database) == databases_.end()) {
    databases_.push_back(database);
  }
}

void TNtdSession::UnregisterDatabase(TNtdDatabase* database) {
  std::erase(databases_, database);
}

void TNtdSession::AddPassword(std::string_view password) {
  if (password.empty()) return;
  const auto place = std::lower_bound(
      passwords_.begin(), passwords_.end(), password,
      [](const std::string& entry, std::string_view text) {
        return platform::AnsiCompareText(entry, text) < 0;
      });
  if (place != passwords_.end() && platform::AnsiCompareText(*place, password) == 0) return;
  passwords_.insert(place, std::string(password));
}

void TNtdSession::RemovePassword(std::string_view password) {
  std::erase_if(passwords_, [&](const std::string& entry) {
    return platform::AnsiCompareText(entry, password) == 0;
  });
}

std::string PasswordKey(std::string_view password) { return platform::Utf8ToAnsi(password); }

bool TNtdSession::TryPassword(std::string_view candidate, TNtdHeaderBlock& block) {
  TNtdHeaderBlock copy = block;
  cipher_.SetKey(PasswordKey(candidate));
  cipher_.DecipherBuffer(copy.data(), kGuidTextLength);
  if (!HeaderBlockIsValid(copy)) return false;
  block = copy;
  return true;
}

bool TNtdSession::AskPassword(std::string& password) {
  if (onAskPassword_) return onAskPassword_(password);
  return platform::CurrentDialogs().AskPassword(password);
}

bool TNtdSession::UnlockTable(TNtdHeaderBlock& block, std::string& password) {
  if (!password.empty() && TryPassword(password, block)) return true;
  for (const std::string& known : passwords_) {
    if (TryPassword(known, block)) {
      password = known;
      return true;
    }
  }
  const int attempts = passwordAttempts_ < 1 ? kDefaultPasswordAttempts : passwordAttempts_;
  std::string typed = password;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    if (!AskPassword(typed)) return false;
    if (TryPassword(typed, block)) {
      AddPassword(typed);
      password = typed;
      return true;
    }
    const bool lastAttempt = attempt == attempts;
    if (onWrongPassword_) {
      bool mayRetry = !lastAttempt;
      onWrongPassword_(typed, mayRetry);
      if (!mayRetry) return false;
    } else if (!lastAttempt) {
      platform::ShowMessage(nullptr, "", kWrongPasswordMessage, platform::MessageIcon::kWarning);
    }
  }
  return false;
}

}  // namespace tablefile
