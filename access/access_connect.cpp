// TAccessDatabase: connecting (login, engine start, opening the file by
// its database type), disconnecting with the attached tables, and what the
// open database lists.

#include <filesystem>

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/dao_failures.h"
#include "dao/constants.h"
#include "platform/application_folder.h"
#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "platform/text_case.h"
#include "recordset/database_error.h"

namespace accessdb {

namespace {

bool IsType(const std::string& databaseType, std::string_view name) {
  return platform::AnsiSameText(databaseType, name);
}

// The value after "NAME=" among the login lines; empty when missing.
std::string LoginValue(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && platform::AnsiSameText(std::string_view(line).substr(0, equals), name)) {
      return line.substr(equals + 1);
    }
  }
  return std::string();
}

}  // namespace

void TAccessDatabase::SetConnected(bool connected) {
  if (connected == connected_) return;
  if (connected) {
    Connect();
  } else {
    Disconnect();
  }
}

void TAccessDatabase::ExchangeLoginParams() {
  std::vector<std::string> lines = {"USER NAME=" + userName_, "PASSWORD=" + password_,
                                    "DBPASSWORD=" + databasePassword_};
  onLogin_(*this, lines);
  userName_ = LoginValue(lines, "USER NAME");
  password_ = LoginValue(lines, "PASSWORD");
  databasePassword_ = LoginValue(lines, "DBPASSWORD");
}

bool TAccessDatabase::AskForLogin() {
  if (onLogin_) {
    ExchangeLoginParams();
    return true;
  }
  platform::LoginRequest login{database_, saveUserName_ ? userName_ : std::string(), "", ""};
  if (platform::CurrentDialogs().AskLogin(login)) {
    userName_ = login.userName;
    password_ = login.password;
    databasePassword_ = login.databasePassword;
    return true;
  }
  platform::ShowMessage(nullptr, "", std::string(messages::kLoginCancelled), platform::MessageIcon::kWarning);
  userName_.clear();
  password_.clear();
  databasePassword_.clear();
  return false;
}

void TAccessDatabase::Connect() {
  if (database_.empty()) RaiseError(messages::kDatabaseUndefined);
  if (databaseType_.empty()) RaiseError(messages::kDatabaseTypeUndefined);
  if (onBeforeConnect_) onBeforeConnect_(*this);
  for (;;) {
    bool cancelled = false;
    if (loginPrompt_) {
      cancelled = !AskForLogin();
    } else if (onLogin_) {
      ExchangeLoginParams();
    }
    try {
      if (mdbVersionAutoDetect_) DetectMdbVersion(database_);
      StartEngine();
      break;
    } catch (const std::exception& error) {
      if (!loginPrompt_) throw;
      // A cancelled prompt has been answered with its own message already.
      if (cancelled) return;
      platform::ShowMessage(nullptr, "", error.what(), platform::MessageIcon::kError);
    }
  }
  OpenDatabase();
  try {
    if (queryTimeout_ != 60) {
      LogDaoCall("Database.QueryTimeout:=");
      databaseObject_->SetQueryTimeout(queryTimeout_);
    }
    if (databaseType_ != "ODBC") {
      LogDaoCall("Database.Version");
      databaseVersionInfo_ = databaseObject_->Version();
    }
    RefreshDefinitions();
  } catch (...) {
    databaseObject_->Close();
    databaseObject_.reset();
    tableNames_.clear();
    queryDefNames_.clear();
    throw;
  }
  connected_ = true;
  IdleEngine();
  if (onAfterConnect_) onAfterConnect_(*this);
}

void TAccessDatabase::OpenDatabase() {
  dao::Workspace& workspace = *workspaceObject_;
  const bool jet = engineType_ == kEngineTypeJet;
  if (IsType(databaseType_, "Access")) {
    if (!jet) RaiseError(messages::kOdbcDirectForAccess);
    if (smartOpen_ && !platform::FileExists(database_)) {
      database_ = platform::ApplicationFolder() + std::filesystem::path(database_).filename().string();
    }
    if (!platform::FileExists(database_)) {
      RaiseError(recordset::FillMessage(messages::kCannotFindDatabase, {database_}));
    }
    LogDaoCall("Workspace.OpenDatabase");
    databaseObject_ = workspace.OpenDatabase(database_, exclusive_, readOnly_,
                                             ";UID=" + userName_ + ";PWD=" + databasePassword_ + ";" +
                                                 databaseParameters_);
    return;
  }
  if (IsType(databaseType_, "ODBC")) {
    const std::string connect =
        platform::AnsiUpperCase(database_.substr(0, 5)) == "ODBC;"
            ? database_ + ";" + databaseParameters_
            : databaseType_ + ";UID=" + userName_ + ";PWD=" + password_ + ";DSN=" + database_ + ";" +
                  databaseParameters_;
    // 1 is dbDriverNoPrompt: no driver dialog.
    if (jet) {
      LogDaoCall("Workspace.OpenDatabase");
      databaseObject_ = workspace.OpenDatabase(database_, true, readOnly_, connect);
    } else {
      LogDaoCall("Workspace.OpenConnection");
      databaseObject_ = workspace.OpenConnection(database_, 1, readOnly_, connect);
    }
    return;
  }
  if (!jet) RaiseError(messages::kOdbcDirectForIsam);
  const std::string connect =
      !password_.empty() && !userName_.empty()
          ? databaseType_ + ";UID=" + userName_ + ";PWD=" + password_ + ";" + databaseParameters_
          : databaseType_ + ";" + databaseParameters_;
  LogDaoCall("Workspace.OpenDatabase");
  databaseObject_ = workspace.OpenDatabase(database_, exclusive_, readOnly_, connect);
}

void TAccessDatabase::DetectMdbVersion(const std::string& path) {
  if (databaseType_ != "Access") return;
  constexpr std::size_t kHeadSize = 160;
  std::string head;
  try {
    head = platform::ReadFileHead(path, kHeadSize);
  } catch (const std::exception&) {
    return;
  }
  if (head.size() < kHeadSize) return;
  // The header names the engine version at offset 156 ("4." for Jet 4 and
  // ACE files) and ACE files carry "ACE" at offset 13.
  const bool jet4 = head[156] == '4' && head[157] == '.';
  const bool ace = jet4 && head.substr(13, 3) == "ACE";
  if (std::find(daoVersions_.begin(), daoVersions_.end(), "3.5") != daoVersions_.end()) version_ = "3.5";
  if (jet4 && version_ == "3.5" && usesDynaDao_) version_ = "3.6";
  if (ace && (version_ == "3.5" || version_ == "3.6") && usesDynaDao_) version_ = "12.0";
}

void TAccessDatabase::Disconnect() {
  if (onBeforeDisconnect_) onBeforeDisconnect_(*this);
  tableNames_.clear();
  queryDefNames_.clear();
  CloseAttachedTables();
  if (databaseObject_) {
    LogDaoCall("Database.Close");
    // A database closed already only has to be let go.
    IgnoringErrors([&] { databaseObject_->Close(); });
    databaseObject_.reset();
  }
  connected_ = false;
  if (onAfterDisconnect_) onAfterDisconnect_(*this);
}

void TAccessDatabase::CloseAttachedTables() {
  closingAttachedTables_ = true;
  const auto tables = attachedTables_;
  // The database closes whatever a table says.
  for (const auto& [name, table] : tables) IgnoringErrors([&] { table->SetActive(false); });
  attachedTables_.clear();
  closingAttachedTables_ = false;
}

void TAccessDatabase::BindTable(TAccessTable& table) {
  UnbindTable(table);
  boundTables_.push_back(&table);
}

void TAccessDatabase::UnbindTable(TAccessTable& table) { std::erase(boundTables_, &table); }

void TAccessDatabase::AttachTable(const std::string& name, TAccessTable& table) {
  DetachTable(table);
  attachedTables_.emplace_back(name, &table);
}

void TAccessDatabase::DetachTable(TAccessTable& table) {
  std::erase_if(attachedTables_, [&](const auto& entry) { return entry.second == &table; });
}

void TAccessDatabase::RefreshDefinitions() {
  tableNames_.clear();
  queryDefNames_.clear();
  if (!databaseObject_) return;
  const bool jet = engineType_ == kEngineTypeJet;
  // Each refresh is tried on its own; a collection that cannot be
  // refreshed is listed as it stands.
  if (jet) IgnoringErrors([&] {
      LogDaoCall("TableDefs.Refresh");
      databaseObject_->TableDefs().Refresh();
    });
  IgnoringErrors([&] { engine_->Errors().Refresh(); });
  IgnoringErrors([&] { engine_->Workspaces().Refresh(); });
  if (!jet) return;
  try {
    const dao::TableDefCollection& tables = databaseObject_->TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
      const auto& table = tables.Item(i);
      if (showSystemObjects_ || (table->Attributes() & dao::dbSystemObject) == 0) {
        tableNames_.push_back(table->Name());
      }
    }
  } catch (const std::exception&) {
    // The names gathered so far stand.
  }
}

std::string TAccessDatabase::DatabaseLanguage() const {
  if (!connected_ || !databaseObject_) return std::string();
  int order = -1;
  IgnoringErrors([&] {
    LogDaoCall("Database.CollatingOrder");
    order = databaseObject_->CollatingOrder();
  });
  switch (order) {
    case 1024: return "Neutral";
    case 1025: return "Arabic";
    case 1028: return "Traditional Chinese";
    case 1029: return "Czech";
    case 1030: return "Norwegian or Danish";
    case 1032: return "Greek";
    case 1033: return "General (English, French, German, Portuguese, Italian, and Modern Spanish)";
    case 1034: return "Spanish";
    case 1037: return "Hebrew";
    case 1038: return "Hungarian";
    case 1039: return "Icelandic";
    case 1041: return "Japanese";
    case 1042: return "Korean";
    case 1043: return "Dutch";
    case 1045: return "Polish";
    case 1049: return "Bulgarian or Russian";
    case 1053: return "Swedish or Finnish";
    case 1054: return "Thai";
    case 1055: return "Turkish";
    case 1060: return "Slovenian";
    case 2052: return "Simplified Chinese";
    case -1: return "Undefined or unknown";
    default: return std::string();
  }
}

}  // namespace accessdb
