#include "dao/workspace.h"

#include <filesystem>
#include <initializer_list>

#include "dao/connect_string.h"
#include "dao/constants.h"
#include "dao/jet/new_database.h"
#include "dao/jet/storage.h"
#include "platform/clock.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Workspace";
constexpr int kErrInstallableIsam = 3170;
constexpr int kErrOdbcDirect = 3847;

std::unique_ptr<jet::Storage> OpenStorage(const std::string& name, bool readOnly) {
  if (readOnly) return jet::FileStorage::Open(name, false);
  try {
    return jet::FileStorage::Open(name, true);
  } catch (const jet::JetError& error) {
    // The engine opens files it may not write read-only.
    if (error.Number() != jet::kErrNoPermission) throw;
    return jet::FileStorage::Open(name, false);
  }
}

}  // namespace

Workspace::Workspace(EngineLink engine, std::string engineVersion, std::string name, std::string userName,
                     int type)
    : engine_(engine),
      engineVersion_(std::move(engineVersion)),
      name_(std::move(name)),
      userName_(std::move(userName)),
      type_(type),
      databases_(std::move(engine), "DAO.Databases") {}

std::shared_ptr<Database> Workspace::OpenDatabase(const std::string& name, bool exclusive, bool readOnly,
                                                  const std::string& connect) {
  (void)exclusive;
  return Guarded(*engine_, kSource, [&] {
    if (type_ != dbUseJet) {
      Raise(kErrOdbcDirect, kSource, "ODBCDirect workspaces are not supported by this engine.");
    }
    const ConnectString settings(connect);
    if (!settings.DatabaseType().empty() && !platform::AnsiSameText(settings.DatabaseType(), "MS Access")) {
      Raise(kErrInstallableIsam, kSource, "Could not find installable ISAM.");
    }
    return Open(name, readOnly, connect);
  });
}

std::shared_ptr<Database> Workspace::Open(const std::string& name, bool readOnly, const std::string& connect) {
  if (name.empty()) Raise(jet::kErrFileNotFound, kSource, "Could not find file ''.");
  const std::string unrecognized = "Unrecognized database format '" + name + "'";
  std::unique_ptr<jet::JetDatabase> jetDatabase;
  try {
    jetDatabase = std::make_unique<jet::JetDatabase>(OpenStorage(name, readOnly));
  } catch (const jet::JetError& error) {
    if (error.Number() != jet::kErrUnrecognizedFormat) throw;
    // Name the file, and keep the engine's reason when it gives one.
    const std::string reason = error.what();
    const std::size_t detail = reason.find(':');
    Raise(jet::kErrUnrecognizedFormat, kSource,
          unrecognized + (detail == std::string::npos ? "." : reason.substr(detail)));
  }
  if (engineVersion_ == "3.5" && jetDatabase->GetLayout().IsJet4()) {
    Raise(jet::kErrUnrecognizedFormat, kSource, unrecognized + ".");
  }
  if (!jetDatabase->PasswordMatches(ConnectString(connect).Value("PWD").value_or(""))) {
    Raise(jet::kErrWrongPassword, kSource, "Not a valid password.");
  }
  auto state = std::make_shared<DatabaseState>(engine_, std::move(jetDatabase), name);
  auto database = std::make_shared<Database>(std::move(state), connect);
  opened_.push_back(database);
  return database;
}

std::shared_ptr<Database> Workspace::CreateDatabase(const std::string& name, const std::string& locale, int options) {
  return Guarded(*engine_, kSource, [&] {
    if (type_ != dbUseJet) {
      Raise(kErrOdbcDirect, kSource, "ODBCDirect workspaces are not supported by this engine.");
    }
    const ConnectString settings(locale);
    const auto is = [&](const char* key, std::initializer_list<const char*> accepted) {
      const std::optional<std::string> value = settings.Value(key);
      if (!value) return true;
      for (const char* text : accepted) {
        if (platform::AnsiSameText(*value, text)) return true;
      }
      return false;
    };
    // Keys are written only in the General sort order; a file claiming
    // another order would be indexed wrongly.
    if (!settings.DatabaseType().empty() || !is("LANGID", {"0x0409", "1033"}) || !is("CP", {"1252"}) ||
        !is("COUNTRY", {"0"})) {
      Raise(jet::kErrInvalidArgument, kSource,
            "Invalid argument. Only the General sort order (" + std::string(dbLangGeneral) + ") is available.");
    }
    constexpr int kVersions = dbVersion10 | dbVersion11 | dbVersion20 | dbVersion30 | dbVersion40 | dbVersion120;
    int version = options & kVersions;
    if (version == 0) version = engineVersion_ == "3.5" ? dbVersion30 : dbVersion40;
    if ((options & ~(kVersions | dbDecrypt)) != 0 || (version != dbVersion30 && version != dbVersion40) ||
        (version == dbVersion40 && engineVersion_ == "3.5")) {
      Raise(jet::kErrInvalidArgument, kSource,
            "Invalid argument. Jet 3 (dbVersion30) and Jet 4 (dbVersion40) files can be created, not encrypted.");
    }
    std::filesystem::path path(name);
    if (!name.empty() && !path.has_extension()) path += ".mdb";
    const std::string password = settings.Value("PWD").value_or("");
    jet::CreateDatabaseFile(path.string(), version == dbVersion40 ? jet::kJet4Layout : jet::kJet3Layout,
                            platform::Now(), password);
    return Open(path.string(), false, password.empty() ? "" : ";PWD=" + password);
  });
}

std::shared_ptr<Database> Workspace::OpenConnection(const std::string&, int, bool, const std::string&) {
  return Guarded(*engine_, kSource, [&]() -> std::shared_ptr<Database> {
    Raise(kErrOdbcDirect, kSource, "ODBCDirect workspaces are not supported by this engine.");
  });
}

const DatabaseCollection& Workspace::Databases() {
  std::erase_if(opened_, [](const std::weak_ptr<Database>& database) { return database.expired(); });
  databases_.Clear();
  for (const std::weak_ptr<Database>& database : opened_) {
    if (std::shared_ptr<Database> open = database.lock(); open && open->IsOpen()) databases_.Add(std::move(open));
  }
  return databases_;
}

void Workspace::Close() {
  Guarded(*engine_, kSource, [&] {
    for (const std::weak_ptr<Database>& database : opened_) {
      if (std::shared_ptr<Database> open = database.lock()) open->Close();
    }
    opened_.clear();
    databases_.Clear();
  });
}

}  // namespace dao
