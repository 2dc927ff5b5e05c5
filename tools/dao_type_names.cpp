#include "tools/dao_type_names.h"

#include "dao/constants.h"

namespace tools {
namespace {

struct NamedType {
  const char* name;
  int type;
};

constexpr NamedType kDaoTypes[] = {
    {"Boolean", dao::dbBoolean}, {"Byte", dao::dbByte},     {"Integer", dao::dbInteger},
    {"Long", dao::dbLong},       {"Currency", dao::dbCurrency}, {"Single", dao::dbSingle},
    {"Double", dao::dbDouble},   {"Date", dao::dbDate},     {"Binary", dao::dbBinary},
    {"Text", dao::dbText},       {"LongBinary", dao::dbLongBinary}, {"Memo", dao::dbMemo},
    {"GUID", dao::dbGUID},       {"BigInt", dao::dbBigInt}, {"Decimal", dao::dbDecimal},
};

}  // namespace

const char* DaoTypeName(int daoType) {
  for (const NamedType& entry : kDaoTypes) {
    if (entry.type == daoType) return entry.name;
  }
  return "Binary";
}

std::optional<int> DaoTypeNamed(const std::string& name) {
  for (const NamedType& entry : kDaoTypes) {
    if (name == entry.name) return entry.type;
  }
  return std::nullopt;
}

std::string KnownDaoTypes() {
  std::string names;
  for (const NamedType& entry : kDaoTypes) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

}  // namespace tools
