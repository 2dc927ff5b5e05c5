// TAccessTable: the SQL text as a source, its named parameters, and how
// their values are put into the text before DAO sees it.

#include <algorithm>

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/sql_literals.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace accessdb {

using namespace recordset;

namespace {

// The character before byte `position` of a UTF-8 text; a blank at the
// start.
char32_t CharBefore(std::string_view text, std::size_t position) {
  if (position == 0) return U' ';
  std::size_t start = position - 1;
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  char32_t c = U' ';
  return platform::NextCodePoint(text, start, c) ? c : platform::kReplacementCharacter;
}

// The character at byte `position`; a blank at the end.
char32_t CharAt(std::string_view text, std::size_t position) {
  if (position >= text.size()) return U' ';
  char32_t c = U' ';
  return platform::NextCodePoint(text, position, c) ? c : platform::kReplacementCharacter;
}

// The byte position `characters` characters after `position`, or npos when
// the text ends before.
std::size_t CharactersAfter(std::string_view text, std::size_t position, std::size_t characters) {
  for (; characters > 0; --characters) {
    if (position >= text.size()) return std::string_view::npos;
    char32_t c = 0;
    if (!platform::NextCodePoint(text, position, c)) return std::string_view::npos;
  }
  return position;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t position = 0; position < text.size(); ++count) {
    char32_t c = 0;
    platform::NextCodePoint(text, position, c);
  }
  return count;
}

// The type a parameter's value is written as: its own, or for a parameter
// nobody gave a type, the type its value has. Without this a text value of
// such a parameter would go into the SQL unquoted, as SQL code.
TFieldType LiteralType(const TParam& param) {
  if (param.DataType() != ftUnknown) return param.DataType();
  switch (param.Value().Type()) {
    case platform::VariantType::kString: return ftString;
    case platform::VariantType::kSingle:
    case platform::VariantType::kDouble:
    case platform::VariantType::kDecimal: return ftFloat;
    case platform::VariantType::kCurrency: return ftCurrency;
    case platform::VariantType::kDate: return ftDateTime;
    case platform::VariantType::kGuid: return ftBytes;
    default: return ftUnknown;
  }
}

// The literal that stands for a parameter in the SQL text.
std::string ParamLiteral(const TParam& param) {
  // With the blank, "Rubrik:r" becomes the test "Rubrik IS NULL".
  if (param.IsNull()) return " IS NULL";
  const Variant& value = param.Value();
  const TFieldType type = LiteralType(param);
  switch (type) {
    case ftString:
    case ftBlob:
    case ftMemo: return QuotedSqlText(value.ToText());
    case ftFloat:
    case ftCurrency:
    case ftBCD: return SqlNumberText(value.ToText());
    case ftDate:
    case ftTime:
    case ftDateTime: return SqlDateLiteral(type, value.ToDate());
    case ftBytes: return SqlGuidLiteral(value);
    default: return value.ToText();
  }
}

}  // namespace

void TAccessTable::SetSQL(std::string text) {
  ChangeSQL(std::move(text));
  if (sql_.empty()) return;
  queryDefParameters_.clear();
  queryDefSqlText_.clear();
  queryDefName_.clear();
  indexName_.clear();
  tableName_.clear();
  ClearSourceDependents();
}

void TAccessTable::ChangeSQL(std::string text) {
  sql_ = std::move(text);
  // While the stored form is read, Params comes with it (ParamData).
  if (!loading_ && paramCheck_) params_.ParseSQL(sql_);
}

void TAccessTable::SetParams(const TParams& params) { params_.AssignValues(params); }

bool TAccessTable::ParamDataStored(const TAccessTable* ancestor) const {
  if (ancestor != nullptr) return !(params_ == ancestor->params_);
  return !params_.Empty();
}

std::string TAccessTable::SubstitutedSQL(std::string_view text) const {
  if (!paramCheck_ || params_.Empty()) return std::string(text);
  const auto isIdentifierChar = [&](char32_t c) { return identifierChars_.find(c) != std::u32string::npos; };
  // One pass over the text: a literal once put in is never searched for
  // names again, so a text value holding ":name" stays as it was given.
  std::string result;
  std::size_t position = 0;
  while (position < text.size()) {
    if (text[position] == ':' && !isIdentifierChar(CharBefore(text, position))) {
      const TParam* found = nullptr;
      std::size_t end = 0;
      for (const TParam& param : params_) {
        end = CharactersAfter(text, position + 1, CharacterCount(param.Name()));
        if (end == std::string_view::npos || param.Name().empty()) continue;
        if (!platform::AnsiSameText(text.substr(position + 1, end - position - 1), param.Name())) continue;
        if (isIdentifierChar(CharAt(text, end))) continue;
        found = &param;
        break;
      }
      if (found != nullptr) {
        result += ParamLiteral(*found);
        position = end;
        continue;
      }
    }
    result += text[position++];
  }
  return result;
}

std::string TAccessTable::SourceText() {
  if (sql_.empty()) return tableName_;
  if (TDataSet* master = MasterDataSet()) {
    // The values come from the master's row: a master that opens with
    // its detail must be open before they are taken, or the text would be
    // opened with Null for every one of them.
    if (!master->Active() && masterAutoActivate_) master->SetActive(true);
    CopyMasterValuesToParams();
  }
  return SubstitutedSQL(sql_);
}

void TAccessTable::OpenSourceRecordset() {
  const std::string source = SourceText();
  if (!queryDefName_.empty()) {
    OpenStoredQuery();
    return;
  }
  LogDaoCall("Database.OpenRecordset");
  recordset_ = DaoRecordset(database_->DatabaseObject()->OpenRecordset(source, tableType_, optionsValue_, lockType_));
}

}  // namespace accessdb
