// TAccessTable: opening the DAO recordset, describing its fields, and
// closing.

#include <chrono>
#include <cstdlib>
#include <random>

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "access/dao_helpers.h"
#include "access/field_text.h"
#include "dao/constants.h"
#include "platform/text_case.h"
#include "recordset/blob_fields.h"
#include "recordset/float_fields.h"

namespace accessdb {

using namespace recordset;

namespace {

// The value of the property `name` (any case) of a DAO field, if it has one.
std::optional<platform::Variant> FieldProperty(const dao::Field& field, std::string_view name) {
  for (const auto& property : field.Properties()) {
    if (platform::AnsiSameText(property->Name(), name)) return property->Value();
  }
  return std::nullopt;
}

bool IsNumericDaoType(int type) {
  switch (type) {
    case dao::dbInteger:
    case dao::dbLong:
    case dao::dbCurrency:
    case dao::dbSingle:
    case dao::dbDouble:
    case dao::dbBigInt:
    case dao::dbNumeric:
    case dao::dbDecimal:
    case dao::dbFloat:
      return true;
    default:
      return false;
  }
}

std::string Unquoted(std::string text, char open, char close) {
  if (text.size() >= 2 && text.front() == open && text.back() == close) return text.substr(1, text.size() - 2);
  return text;
}

// The text a new row shows for a DAO default value of a field of `daoType`.
std::string DefaultTextOf(const std::string& defaultValue, int daoType) {
  if (platform::AnsiSameText(defaultValue, "Null")) return std::string();
  if (daoType == dao::dbText || daoType == dao::dbMemo) return Unquoted(defaultValue, '"', '"');
  if (daoType == dao::dbDate) {
    if (defaultValue.size() < 2 || defaultValue.front() != '#' || defaultValue.back() != '#') return std::string();
    return DateDefaultToTimeStampText(Unquoted(defaultValue, '#', '#'));
  }
  return defaultValue;
}

std::string AutomaticName() {
  static std::mt19937 random(std::random_device{}());
  const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  return "AccessTable_" + std::to_string(std::llabs(static_cast<long long>(random() % 10000) + ticks));
}

}  // namespace

void TAccessTable::OpenDaoRecordset() {
  if (database_ == nullptr) RaiseError(messages::kMissingDatabase);
  if (tableName_.empty() && sql_.empty() && queryDefName_.empty()) RaiseError(messages::kMissingSource);
  if (!database_->Connected()) {
    if (!databaseAutoActivate_) RaiseError(messages::kDatabaseNotConnected);
    database_->SetConnected(true);
  }
  if (tableType_ == kTableTypeDynamic && database_->DatabaseType() != "ODBC") {
    RaiseError(messages::kDynamicForOdbcOnly);
  }
  if (database_->ReadOnly() || tableType_ == kTableTypeForwardOnly || tableType_ == kTableTypeSnapshot) {
    readOnly_ = true;
  }
  optionsValue_ = openOptions_.DaoOptions();
  OpenSourceRecordset();
  database_->IdleEngine();
  if (!recordset_.Updatable()) readOnly_ = true;
  hasBookmarks_ = recordset_.Bookmarkable();
  markRegistry_.clear();
  database_->RefreshDefinitions();
  if (!indexName_.empty()) {
    // A name the table does not know leaves the storage order.
    IgnoringErrors([&] { recordset_.Object()->SetIndex(indexName_); });
  }
  ReadDaoFieldProperties();
  if (!sortedBy_.empty()) ApplySortedBy();
  if (Filtered() && !Filter().empty()) ApplyFilter();
  ApplyMasterDetail();
  recordset_.FetchFields();
  countStale_ = true;
  currentPosition_ = -1;
  stepCount_ = -1;
  knownCount_ = -1;
  database_->IdleEngine();
}

void TAccessTable::ApplySortedBy() {
  sortText_.clear();
  for (std::size_t i = 0; i < sortedBy_.size(); ++i) sortText_ += sortedBy_[i] + (i + 1 < sortedBy_.size() ? ", " : " ");
  LogDaoCall("Recordset.Sort:=");
  recordset_.Object()->SetSort(sortText_);
  LogDaoCall("Recordset.OpenRecordset");
  DaoRecordset sorted(recordset_.Object()->OpenRecordset(tableType_, optionsValue_));
  recordset_.Close();
  recordset_ = std::move(sorted);
}

void TAccessTable::ReadDaoFieldProperties() {
  const dao::FieldCollection& fields = recordset_.Fields();
  const auto count = static_cast<std::size_t>(fields.Count());
  defaultTexts_.assign(count, std::string());
  writableFlags_.assign(count, true);
  if (readOnly_ || !useDaoProperties_) return;
  const bool jet = database_->EngineType() == kEngineTypeJet;
  for (std::size_t i = 0; i < count; ++i) {
    const dao::Field& field = *fields.Item(static_cast<int>(i));
    LogDaoCall("Field.Type");
    const int type = field.Type();
    LogDaoCall("Field.Attributes");
    const int attributes = field.Attributes();
    writableFlags_[i] = (attributes & dao::dbUpdatableField) != 0 &&
                        (attributes & (dao::dbAutoIncrField | dao::dbSystemField)) == 0;
    if (!jet) continue;
    try {
      LogDaoCall("Field.DefaultValue");
      defaultTexts_[i] = DefaultTextOf(field.DefaultValue(), type);
    } catch (const std::exception&) {
      defaultTexts_[i].clear();
    }
  }
}

void TAccessTable::DescribeFields() {
  const bool temporary = !recordset_;
  if (temporary) OpenDaoRecordset();
  try {
    FieldDefs().Clear();
    fieldLabels_.clear();
    daoTypes_.clear();
    const bool jet = database_->EngineType() == kEngineTypeJet;
    const dao::FieldCollection& fields = recordset_.Fields();
    for (int i = 0; i < fields.Count(); ++i) {
      const dao::Field& field = *fields.Item(i);
      const auto slot = static_cast<std::size_t>(i);
      LogDaoCall("Field.Type");
      const int daoType = field.Type();
      int type = daoType;
      int size = DaoFieldSize(daoType, field.Size());
      if (daoType == dao::dbText && size == 0) size = 255;
      if (daoType == dao::dbDate) {
        type = dao::dbTimeStamp;
        if (const auto format = FieldProperty(field, "Format")) {
          const std::string text = format->ToText();
          if (text == "Long Time" || text == "Medium Time" || text == "Short Time") {
            type = dao::dbTime;
          } else if (text != "General Date") {
            type = dao::dbDate;
          }
        }
      }
      const bool autoIncrement = daoType == dao::dbLong && (field.Attributes() & dao::dbAutoIncrField) != 0;
      if (autoIncrement) type = AutoIncrementType;
      if (jet && slot < defaultTexts_.size()) {
        const std::string defaultValue = platform::AnsiLowerCase(field.DefaultValue());
        if (autoIncrement || (IsNumericDaoType(daoType) && defaultValue.find("genuniqueid") != std::string::npos) ||
            (daoType == dao::dbGUID && defaultValue.find("genguid") != std::string::npos)) {
          defaultTexts_[slot].clear();
        }
      }
      const TFieldType fieldType = FieldTypeOfDao(type);
      const bool required = !readOnly_ && useDaoProperties_ && field.Required();
      TFieldDef& def = FieldDefs().AddFieldDef(field.Name(), fieldType, size, required);
      if (fieldType == ftBlob && slot < defaultTexts_.size()) defaultTexts_[slot].clear();
      std::string label = field.Name();
      if (useCaptions_) {
        if (const auto caption = FieldProperty(field, "Caption")) label = caption->ToText();
      }
      fieldLabels_.push_back(std::move(label));
      if (daoType == dao::dbGUID) def.SetPrecision(kGuidFieldMarker);
      daoTypes_.push_back(daoType);
    }
    ReadIndexDefs();
  } catch (...) {
    if (temporary) ReleaseRecordset();
    throw;
  }
  if (temporary) ReleaseRecordset();
}

void TAccessTable::OpenStore() {
  OpenDaoRecordset();
  if (Name().empty()) SetName(AutomaticName());
  DescribeFields();
  CreateFieldsFromDefs();
  BindFields(true);
  PrepareFields();
  encoderHooks_ = encrypter_ != nullptr;
  cursorOpen_ = true;
  if (tableType_ == kTableTypeTable) {
    // A count that fails is taken again when asked for.
    IgnoringErrors([&] { RowCount(); });
  }
  SeekBeforeFirst();
  database_->AttachTable(Name(), *this);
  database_->IdleEngine();
}

void TAccessTable::PrepareFields() {
  for (int i = 0; i < FieldCount(); ++i) {
    TField& field = Field(i);
    if (field.FieldKind() != fkData || field.FieldNo() <= 0) continue;
    const auto slot = static_cast<std::size_t>(field.FieldNo() - 1);
    if (useCaptions_ && slot < fieldLabels_.size()) field.SetDisplayLabel(fieldLabels_[slot]);
    if (slot < writableFlags_.size() && !writableFlags_[slot]) field.SetReadOnly(true);
    if (!field.DefaultExpression().empty() && slot < defaultTexts_.size()) {
      defaultTexts_[slot] = Unquoted(field.DefaultExpression(), '\'', '\'');
    }
    if (field.DataType() == ftDateTime && DefaultFields()) {
      field.SetDisplayWidth(std::max(field.DisplayWidth(), 20));
    }
    if (auto* number = dynamic_cast<TFloatField*>(&field); number != nullptr && field.DataType() == ftFloat) {
      number->SetPrecision(7);
    }
    if (field.DataType() == ftMemo && cacheMemos_) {
      if (DefaultFields()) field.SetDisplayWidth(std::max(field.DisplayWidth(), 30));
      // A cached memo shows its first line.
      field.SetOnGetText([](const TField& memo, std::string& text, bool display) {
        text = static_cast<const TBlobField&>(memo).Value().value_or(std::string());
        if (display) text = text.substr(0, text.find('\r'));
      });
    }
    if (IsGuidField(field) && showGuid_) {
      if (DefaultFields()) field.SetDisplayWidth(std::max(field.DisplayWidth(), 38));
      field.SetOnGetText([this, slot](const TField&, std::string& text, bool) {
        const TAccessRowBuffer* buffer = CurrentBuffer();
        text.clear();
        if (buffer == nullptr || slot >= buffer->values.size()) return;
        if (const auto guid = GuidOfValueText(buffer->values[slot].text)) text = platform::GuidToString(*guid);
      });
      field.SetOnSetText([](TField& guidField, std::string_view text) {
        if (text.size() != platform::kGuidTextLength) return;
        const platform::Guid guid = platform::ParseGuid(text);
        guidField.SetVariantValue(platform::Bytes(guid.bytes.begin(), guid.bytes.end()));
      });
    }
  }
}

bool TAccessTable::IsGuidField(const TField& field) const {
  if (field.DataType() != ftBytes || field.FieldNo() <= 0) return false;
  const auto slot = static_cast<std::size_t>(field.FieldNo() - 1);
  return slot < daoTypes_.size() && daoTypes_[slot] == dao::dbGUID;
}

void TAccessTable::ReleaseRecordset() {
  ReleaseSeekClone();
  recordset_.ReleaseFields();
  if (recordset_) {
    // A recordset of a database closed meanwhile is gone already.
    IgnoringErrors([&] { recordset_.Close(); });
  }
  recordset_ = DaoRecordset();
  if (baseRecordset_) IgnoringErrors([&] { baseRecordset_.Close(); });
  baseRecordset_ = DaoRecordset();
}

void TAccessTable::CloseStore() {
  if (recordset_) {
    IgnoringErrors([&] {
      if (recordset_.EditMode() != dao::dbEditNone) recordset_.CancelUpdate();
    });
  }
  const bool wasOpen = cursorOpen_;
  cursorOpen_ = false;
  encoderHooks_ = false;
  optionsValue_ = 0;
  sortText_.clear();
  BindFields(false);
  DestroyDefaultFields();
  ReleaseRecordset();
  if (wasOpen && database_ != nullptr && !database_->ClosingAttachedTables()) database_->DetachTable(*this);
  editCopy_.reset();
}

void TAccessTable::ReopenRecordset() {
  CheckBrowseMode();
  ClearBuffers();
  OpenRecordsetAgain();
  GoFirst();
}

void TAccessTable::OpenRecordsetAgain() {
  ReleaseRecordset();
  try {
    OpenDaoRecordset();
  } catch (...) {
    // Without a recordset the table cannot stay open.
    SetActive(false);
    throw;
  }
}

void TAccessTable::ReopenIfActive() {
  if (!Active()) return;
  SetActive(false);
  SetActive(true);
  GoFirst();
}

}  // namespace accessdb
