// TAccessTable as the detail of a master record-set: the field pairs, the
// condition that picks the rows of the master's current row, opening with
// it, following the master's moves, and new rows taking the master's
// values.

#include <algorithm>

#include "access/access_database.h"
#include "access/access_master_link.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/dao_failures.h"
#include "access/dao_helpers.h"
#include "access/sql_literals.h"
#include "access/text_lines.h"
#include "platform/name_list.h"

namespace accessdb {

using namespace recordset;

namespace {

// The options a query's detail recordset is derived with when it follows
// its master; DAO decides what they mean for a derived recordset.
constexpr int kFollowOptions = 9;

// Whether `source` shows `table` or a record-set that follows `table`,
// directly or through other details: linking `table` to it would go round.
bool LeadsTo(const TDataSource& source, const TDataSet& table) {
  std::vector<const TDataSet*> visited;
  for (const TDataSet* dataSet = source.DataSet(); dataSet != nullptr;) {
    if (dataSet == &table) return true;
    if (std::find(visited.begin(), visited.end(), dataSet) != visited.end()) return false;
    visited.push_back(dataSet);
    const TDataSource* linked = dataSet->LinkedSource();
    dataSet = linked != nullptr ? linked->DataSet() : nullptr;
  }
  return false;
}

bool IsGuidField(const TField& field) {
  if (field.DataType() != ftBytes || field.DataSet() == nullptr) return false;
  const TFieldDef* def = field.DataSet()->FieldDefs().Find(field.FieldName());
  return def != nullptr && def->Precision() == kGuidFieldMarker;
}

// The test of one detail field against the master field's current value;
// nullopt for a type no condition can be written for.
std::optional<std::string> MasterTest(const TField& master) {
  if (master.IsNullValue()) return "IS NULL";
  const std::string text = master.TextValue();
  const TFieldType type = master.DataType();
  if (type == ftUnknown || type == ftVarBytes || type >= ftGraphic) return std::nullopt;
  if (type == ftString || type == ftBlob || type == ftMemo) return " = " + QuotedSqlText(text);
  if (text.empty()) return " IS NULL";
  switch (type) {
    case ftBoolean: return master.VariantValue().ToBoolean() ? " = True" : " = False";
    case ftDate:
    case ftTime:
    case ftDateTime: return " = " + SqlDateLiteral(type, master.VariantValue().ToDate());
    case ftBytes:
      return IsGuidField(master) ? " = " + SqlGuidLiteral(master.VariantValue()) : " = " + QuotedSqlText(text);
    // The value itself rather than the field's text, which may be rounded
    // to the field's precision.
    default: return " = " + SqlNumberText(master.VariantValue().ToText());
  }
}

}  // namespace

TDataSource* TAccessTable::MasterSource() const { return masterLink_->DataSource(); }

TDataSource* TAccessTable::LinkedSource() const { return masterLink_->DataSource(); }

TDataSet* TAccessTable::MasterDataSet() const { return masterLink_->DataSet(); }

void TAccessTable::SetMasterSource(TDataSource* source) {
  if (source != nullptr && LeadsTo(*source, *this)) RaiseError(messages::kCircularLinks);
  if (source == nullptr) {
    masterFields_.clear();
    ParseMasterFields();
  }
  masterLink_->SetDataSource(source);
  if (Active()) ReopenRecordset();
}

void TAccessTable::SetMasterFields(std::vector<std::string> lines) {
  masterFields_ = std::move(lines);
  ParseMasterFields();
  if (Active()) ReopenRecordset();
}

std::string TAccessTable::MasterFieldsText() const { return LinesText(masterFields_); }

void TAccessTable::SetMasterFieldsText(std::string_view text) { SetMasterFields(SplitLines(text)); }

void TAccessTable::ParseMasterFields() {
  detailNames_.clear();
  masterNames_.clear();
  constexpr std::string_view kArrow = " -> ";
  // One line without an arrow names fields of the same name on both sides
  // ("Rubrik;Name", or a single "Rubrik").
  if (masterFields_.size() == 1 && masterFields_[0].find(kArrow) == std::string::npos) {
    for (const std::string_view name : platform::SplitNameList(masterFields_[0])) {
      detailNames_.emplace_back(name);
      masterNames_.emplace_back(name);
    }
  } else {
    for (const std::string& line : masterFields_) {
      const std::size_t arrow = line.find(kArrow);
      if (arrow == std::string::npos) continue;
      // A side left empty makes the lists differ in length, which the
      // condition refuses, instead of pairing the wrong fields.
      const std::string_view detail = platform::TrimBlanks(std::string_view(line).substr(0, arrow));
      const std::string_view master = platform::TrimBlanks(std::string_view(line).substr(arrow + kArrow.size()));
      if (!detail.empty()) detailNames_.emplace_back(detail);
      if (!master.empty()) masterNames_.emplace_back(master);
    }
  }
  std::string names;
  for (const std::string& name : masterNames_) names += (names.empty() ? "" : ";") + name;
  masterLink_->SetFieldNames(std::move(names));
}

std::string TAccessTable::MasterCondition() const {
  if (detailNames_.size() != masterNames_.size()) RaiseError(messages::kMasterDetailCount);
  const TDataSet& master = *MasterDataSet();
  std::string condition;
  for (std::size_t i = 0; i < detailNames_.size(); ++i) {
    const std::optional<std::string> test = MasterTest(master.FieldNamed(masterNames_[i]));
    if (!test) RaiseError(messages::kMasterDetailType);
    if (!condition.empty()) condition += " AND ";
    condition += "(" + (useBrackets_ ? BracketName(detailNames_[i]) : detailNames_[i]) + " " + *test + ")";
  }
  if (Filtered() && !Filter().empty()) condition = "(" + condition + ") AND (" + Filter() + ")";
  return condition;
}

void TAccessTable::CopyMasterValuesToParams() {
  TDataSet* master = MasterDataSet();
  if (master == nullptr || !master->Active() || master->State() == TDataSetState::KeyEntry || !paramCheck_ ||
      params_.Empty()) {
    return;
  }
  for (int i = 0; i < master->FieldCount(); ++i) {
    const TField& field = master->Field(i);
    TParam* param = params_.FindParam(field.FieldName());
    if (param == nullptr) continue;
    if (param->DataType() == ftUnknown) param->SetDataType(field.DataType());
    param->SetValue(field.VariantValue());
  }
}

void TAccessTable::ApplyMasterDetail() {
  TDataSet* master = MasterDataSet();
  if (master == nullptr) {
    masterInactive_ = true;
    return;
  }
  if (!master->Active() && masterAutoActivate_) master->SetActive(true);
  masterInactive_ = !masterLink_->Active();
  if (masterInactive_) return;
  ParseMasterFields();
  if (detailNames_.empty() && masterNames_.empty()) return;
  const std::string condition = MasterCondition();
  if (!tableName_.empty()) {
    OpenMasterStatement(condition);
    return;
  }
  LogDaoCall("Recordset.Filter:=");
  recordset_.Object()->SetFilter(condition);
  baseRecordset_ = std::move(recordset_);
  LogDaoCall("Recordset.OpenRecordset");
  recordset_ = DaoRecordset(baseRecordset_.Object()->OpenRecordset(tableType_, optionsValue_));
}

void TAccessTable::OpenMasterStatement(const std::string& condition) {
  std::string statement = "Select * From [" + tableName_ + "] Where " + condition;
  if (!sortText_.empty()) statement += " Order By " + sortText_;
  statement += ";";
  if (recordset_) IgnoringErrors([&] { recordset_.Close(); });
  recordset_ = DaoRecordset();
  LogDaoCall("Database.OpenRecordset");
  recordset_ = DaoRecordset(database_->DatabaseObject()->OpenRecordset(statement, tableType_, optionsValue_, lockType_));
}

void TAccessTable::NewRowStarted() {
  if (masterLink_->Active() && !masterLink_->Fields().empty()) {
    const std::vector<TField*>& masters = masterLink_->Fields();
    for (std::size_t i = 0; i < detailNames_.size() && i < masters.size(); ++i) {
      FieldNamed(detailNames_[i]).SetVariantValue(masters[i]->VariantValue());
    }
  }
  TDataSet::NewRowStarted();
}

void TAccessTable::MasterDisabled() {
  if (Active()) CheckBrowseMode();
  masterInactive_ = !masterLink_->Active();
}

void TAccessTable::MasterChanged() {
  if (!Active()) return;
  CheckBrowseMode();
  if (masterLink_->Active() && !masterLink_->Fields().empty() && !sql_.empty()) CopyMasterValuesToParams();
  FollowMaster();
}

void TAccessTable::FollowMaster() {
  if (destroying_) return;
  masterInactive_ = !masterLink_->Active();
  const TDataSet* master = MasterDataSet();
  if (master == nullptr || master->ControlsDisabled() || ControlsDisabled() || masterInactive_ ||
      master->State() == TDataSetState::Edit || masterNames_.empty()) {
    return;
  }
  CheckBrowseMode();
  ClearBuffers();
  recordset_.ReleaseFields();
  if (recordset_) IgnoringErrors([&] { recordset_.Close(); });
  recordset_ = DaoRecordset();
  bool followed = false;
  if (sql_.empty()) {
    try {
      followed = FollowMasterQuickly();
    } catch (const std::exception&) {
      // The whole open below reports what is really wrong.
    }
  }
  if (!followed) OpenRecordsetAgain();
  GoFirst();
}

bool TAccessTable::FollowMasterQuickly() {
  markRegistry_.clear();
  const std::string condition = MasterCondition();
  if (!tableName_.empty()) {
    OpenMasterStatement(condition);
  } else {
    if (!baseRecordset_) return false;
    baseRecordset_.Requery();
    LogDaoCall("Recordset.Filter:=");
    baseRecordset_.Object()->SetFilter(condition);
    LogDaoCall("Recordset.OpenRecordset");
    recordset_ = DaoRecordset(baseRecordset_.Object()->OpenRecordset(0, kFollowOptions));
  }
  recordset_.FetchFields();
  countStale_ = true;
  currentPosition_ = -1;
  stepCount_ = -1;
  knownCount_ = -1;
  RowCount();
  database_->IdleEngine();
  return true;
}

}  // namespace accessdb
