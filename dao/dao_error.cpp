#include "dao/dao_error.h"

namespace dao {
namespace {

// DAO 3.6 documents its errors in this help file, at context 5,000,000 plus
// the error number.
constexpr const char* kHelpFile = "jeterr40.chm";
constexpr int kHelpContextBase = 5000000;

}  // namespace

DaoError::DaoError(int number, std::string source, const std::string& description)
    : std::runtime_error(description),
      info_{number, std::move(source), description, kHelpFile, kHelpContextBase + number} {}

}  // namespace dao
