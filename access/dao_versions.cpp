#include "access/dao_versions.h"

#include "platform/registry.h"

namespace accessdb {

const std::vector<DaoVersion>& DaoVersionFamily(bool privateEngine) {
  static const std::vector<DaoVersion> kPublic = {
      {"3.5", "DAO.DBEngine.35"}, {"3.6", "DAO.DBEngine.36"}, {"12.0", "DAO.DBEngine.120"}};
  static const std::vector<DaoVersion> kPrivate = {{"3.5", "DAO.PrivateDBEngine.35"},
                                                   {"3.6", "DAO.PrivateDBEngine.36"},
                                                   {"12.0", "DAO.PrivateDBEngine.120"}};
  return privateEngine ? kPrivate : kPublic;
}

std::shared_ptr<dao::DBEngine> CreateEngineOf(std::string_view progId) {
  if (!platform::CurrentRegistry().KeyExists(platform::RootKey::kClassesRoot, progId)) return nullptr;
  try {
    return dao::DBEngine::Create(progId);
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::string DefaultSystemDatabase(std::string_view version) {
  std::string_view key = "SOFTWARE\\Microsoft\\JET\\3.5\\Engines";
  if (version == "3.6") key = "SOFTWARE\\Microsoft\\JET\\4.0\\Engines";
  if (version == "12.0") key = "SOFTWARE\\Microsoft\\Office\\12.0\\Access Connectivity Engine\\Engines";
  return platform::CurrentRegistry().ReadString(platform::RootKey::kLocalMachine, key, "SystemDB").value_or("");
}

std::string NormaliseVersion(std::string_view version) {
  const std::size_t point = version.find('.');
  const std::size_t keep = point == std::string_view::npos ? 1 : point + 2;
  return std::string(version.substr(0, keep));
}

std::string VersionInfoOf(std::string_view details, const std::string& previous) {
  if (details.starts_with("3.5")) return "(In Access'97 mode)";
  if (details.starts_with("3.6")) return "(In Access'2000 mode)";
  if (details.starts_with("12.0")) return "(In Access'2007 mode)";
  return previous;
}

}  // namespace accessdb
