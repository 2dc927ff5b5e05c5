#pragma once
// TNtdSession: the one engine-wide object behind all table-file databases. It
// lists the databases, keeps the registry of known passwords, finds the
// password that opens an enciphered table (asking the user when needed) and
// holds the cipher every table uses.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tablefile/ntd_cursor.h"
#include "tablefile/sapphire.h"

namespace tablefile {

class TNtdDatabase;

inline constexpr char kWrongPasswordMessage[] = "Das Passwort ist falsch !";
inline constexpr int kDefaultPasswordAttempts = 3;

class TNtdSession {
 public:
  // Asked instead of the password dialog; false means the user gave up.
  using AskPasswordHandler = std::function<bool(std::string& password)>;
  // Told of every typed password that failed; clearing `mayRetry` stops asking.
  using WrongPasswordHandler = std::function<void(const std::string& password, bool& mayRetry)>;

  // The session of this process, made on first use.
  static TNtdSession& Instance();

  TNtdSession(const TNtdSession&) = delete;
  TNtdSession& operator=(const TNtdSession&) = delete;

  // --- Databases, in creation order. They register and unregister themselves.
  void RegisterDatabase(TNtdDatabase* database);
  void UnregisterDatabase(TNtdDatabase* database);
  const std::vector<TNtdDatabase*>& Databases() const { return databases_; }

  // --- Password registry: sorted, letter case ignored (the first spelling stays).
  void AddPassword(std::string_view password);
  void RemovePassword(std::string_view password);
  const std::vector<std::string>& Passwords() const { return passwords_; }

  // --- Finding the password of an enciphered table.
  // Tries `password` (the table's own), then the registry, then asks the user
  // up to PasswordAttempts times. On success the block is deciphered in place
  // and `password` is the one that opened it.
  bool UnlockTable(TNtdHeaderBlock& block, std::string& password);
  // Deciphers a copy of the block with `candidate`; when it is well formed the
  // block becomes the plain copy and true is returned; otherwise nothing changes.
  bool TryPassword(std::string_view candidate, TNtdHeaderBlock& block);
  // OnAskPassword when set, otherwise the password dialog.
  bool AskPassword(std::string& password);

  void SetOnAskPassword(AskPasswordHandler handler) { onAskPassword_ = std::move(handler); }
  void SetOnWrongPassword(WrongPasswordHandler handler) { onWrongPassword_ = std::move(handler); }
  // How many times the user is asked per table; below 1 counts as 3.
  int PasswordAttempts() const { return passwordAttempts_; }
  void SetPasswordAttempts(int attempts) { passwordAttempts_ = attempts; }

  // The cipher shared by all tables. A key set-up and the pass that follows
  // must not be interleaved with another table's.
  TSapphire& Cipher() { return cipher_; }

 private:
  TNtdSession() = default;

  std::vector<TNtdDatabase*> databases_;
  std::vector<std::string> passwords_;
  AskPasswordHandler onAskPassword_;
  WrongPasswordHandler onWrongPassword_;
  int passwordAttempts_ = kDefaultPasswordAttempts;
  TSapphire cipher_;
};

// The cipher key of a password: its characters in the table's code page.
std::string PasswordKey(std::string_view password);

}  // namespace tablefile
