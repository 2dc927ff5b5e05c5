#include "dao/db_engine.h"

#include <array>

#include "dao/constants.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.DBEngine";
constexpr int kErrCannotCreateObject = 429;
constexpr int kErrInvalidAccount = 3029;
constexpr const char* kDefaultAccount = "Admin";

struct EngineClass {
  const char* progId;
  const char* privateProgId;
  const char* version;
};

constexpr std::array<EngineClass, 3> kEngineClasses = {{
    {"DAO.DBEngine.35", "DAO.PrivateDBEngine.35", "3.5"},
    {"DAO.DBEngine.36", "DAO.PrivateDBEngine.36", "3.6"},
    {"DAO.DBEngine.120", "DAO.PrivateDBEngine.120", "12.0"},
}};

}  // namespace

std::shared_ptr<DBEngine> DBEngine::Create(std::string_view progId) {
  for (const EngineClass& engineClass : kEngineClasses) {
    if (platform::AnsiSameText(progId, engineClass.progId) ||
        platform::AnsiSameText(progId, engineClass.privateProgId)) {
      return std::shared_ptr<DBEngine>(new DBEngine(engineClass.version));
    }
  }
  throw DaoError(kErrCannotCreateObject, kSource, "ActiveX component can't create object.");
}

DBEngine::DBEngine(std::string version)
    : state_(std::make_shared<EngineState>()),
      version_(std::move(version)),
      workspaces_(state_, "DAO.Workspaces") {}

std::shared_ptr<Workspace> DBEngine::CreateWorkspace(const std::string& name, const std::string& user,
                                                     const std::string& password, int type) {
  return Guarded(*state_, kSource, [&] {
    if (!platform::AnsiSameText(user, kDefaultAccount) || !password.empty()) {
      Raise(kErrInvalidAccount, kSource, "Not a valid account name or password.");
    }
    if (type == 0) type = defaultType_;
    if (type != dbUseJet && type != dbUseODBC) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    return std::make_shared<Workspace>(state_, version_, name, user, type);
  });
}

void DBEngine::Idle(int action) { (void)action; }

}  // namespace dao
