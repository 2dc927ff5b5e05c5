// Two datasets over one record store (a table and its clone), driven by
// random sequences of edits, new rows, posts, cancels, deletions, accepts,
// reverts, refreshes and saves. After every step the store's rows must be
// exactly those of a simple model, and a row still pending in either dataset
// must hold what was typed into it: a rebuild of one dataset's view must
// never replace the other's pending row, lose a stored row or store one
// twice. Run under AddressSanitizer by the test script.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/testing/temp_folder.h"
#include "recordset/database_error.h"
#include "tablefile/ntd_dataset.h"

namespace tablefile {
namespace {

using recordset::TDataSetState;
using Row = std::pair<int, std::string>;

// Sequences in the normal run; NUTARO_MODEL_SEQUENCES asks for more.
int SequenceCount() {
  const char* wanted = std::getenv("NUTARO_MODEL_SEQUENCES");
  return wanted != nullptr ? std::max(1, std::atoi(wanted)) : 40;
}
constexpr int kStepsPerSequence = 80;

// What the store should hold: every record with its change state and the
// values a revert gives back.
struct ModelRecord {
  enum class State { kUnchanged, kModified, kInserted, kDeleted, kPurged };
  int id;
  std::string name;
  std::optional<std::string> backup;
  State state = State::kUnchanged;

  bool Live() const { return state != State::kDeleted && state != State::kPurged; }
};

// A row a dataset has started and not yet posted or cancelled.
struct Pending {
  enum class Kind { kNone, kInsert, kEdit };
  Kind kind = Kind::kNone;
  int id = 0;
  std::string name;
  bool madeBackup = false;  // the edit made its record's backup
  bool orphaned = false;    // the edited record went with a reload of the table
};

class SharedStoreModel {
 public:
  explicit SharedStoreModel(unsigned seed) : random_(seed) {
    // The table starts as a file with three rows.
    TNtdTable maker;
    maker.FieldDefs().AddFieldDef("Id", recordset::ftInteger);
    maker.FieldDefs().AddFieldDef("Name", recordset::ftString, 40);
    maker.SetActive(true);
    for (; nextId_ <= 3; ++nextId_) {
      const std::string name = "Zeile " + std::to_string(nextId_);
      maker.AppendRow();
      maker.FieldNamed("Id").SetTextValue(std::to_string(nextId_));
      maker.FieldNamed("Name").SetTextValue(name);
      maker.PostRow();
      records_.push_back({nextId_, name, std::nullopt, ModelRecord::State::kUnchanged});
      file_.emplace_back(nextId_, name);
    }
    maker.WriteTableFile(path_);

    source_.SetTableName(path_);
    source_.SetActive(true);
    clone_.SetCloneDS(&source_);
    clone_.SetActive(true);
  }

  ~SharedStoreModel() {
    clone_.SetActive(false);
    source_.SetActive(false);
  }

  void Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      const int d = static_cast<int>(random_() % 2);
      const unsigned operation = random_() % 11;
      SCOPED_TRACE("step " + std::to_string(step) + ": " + Name(d) + " operation " +
                   std::to_string(operation));
      switch (operation) {
        case 0: Append(d); break;
        case 1:
        case 2: Edit(d); break;
        case 3: Post(d); break;
        case 4: Cancel(d); break;
        case 5: Delete(d); break;
        case 6: Accept(d); break;
        case 7: Revert(d); break;
        case 8: Refresh(d); break;
        case 9: Save(d); break;
        default: Move(d); break;
      }
      Check();
      if (::testing::Test::HasFailure()) return;
    }
    CheckFile();
  }

 private:
  TNtdTable& Dataset(int d) { return d == 0 ? source_ : clone_; }
  static std::string Name(int d) { return d == 0 ? "source" : "clone"; }
  int Other(int d) const { return 1 - d; }

  ModelRecord* Find(int id) {
    const auto it = std::find_if(records_.begin(), records_.end(), [&](const ModelRecord& r) { return r.id == id; });
    return it != records_.end() ? &*it : nullptr;
  }

  std::string NewName() { return "Name " + std::to_string(random_() % 1000); }

  // Expects `action` to fail with a database error (or, for `silent`, the
  // silent kind) and to leave the dataset's state as it was.
  template <typename Action>
  void ExpectRefused(int d, Action action, bool silent = false) {
    const TDataSetState before = Dataset(d).State();
    if (silent) {
      EXPECT_THROW(action(), platform::EAbort);
    } else {
      EXPECT_THROW(action(), recordset::EDatabaseError);
    }
    EXPECT_EQ(Dataset(d).State(), before);
  }

  // Whether posting the pending row of `d` succeeds, with the model updated
  // when it does.
  bool PostInModel(int d) {
    Pending& row = pending_[d];
    if (row.kind == Pending::Kind::kInsert) {
      records_.push_back({row.id, row.name, std::nullopt, ModelRecord::State::kInserted});
      row = Pending();
      return true;
    }
    ModelRecord* record = row.orphaned ? nullptr : Find(row.id);
    if (record == nullptr || !record->Live()) return false;
    record->name = row.name;
    if (record->state == ModelRecord::State::kUnchanged) record->state = ModelRecord::State::kModified;
    row = Pending();
    return true;
  }

  // A movement or a new row first stores the pending row (always changed here).
  bool PostPendingFirst(int d, const std::function<void()>& action) {
    if (pending_[d].kind == Pending::Kind::kNone) return true;
    Pending saved = pending_[d];
    if (PostInModel(d)) return true;
    pending_[d] = saved;
    ExpectRefused(d, action);
    return false;
  }

  void Append(int d) {
    TNtdTable& table = Dataset(d);
    if (!PostPendingFirst(d, [&] { table.AppendRow(); })) return;
    table.AppendRow();
    StartNewRow(d);
  }

  void StartNewRow(int d) {
    TNtdTable& table = Dataset(d);
    ASSERT_EQ(table.State(), TDataSetState::Insert);
    pending_[d] = {Pending::Kind::kInsert, nextId_++, NewName()};
    table.FieldNamed("Id").SetTextValue(std::to_string(pending_[d].id));
    table.FieldNamed("Name").SetTextValue(pending_[d].name);
  }

  void Edit(int d) {
    TNtdTable& table = Dataset(d);
    if (pending_[d].kind != Pending::Kind::kNone) {
      pending_[d].name = NewName();
      table.FieldNamed("Name").SetTextValue(pending_[d].name);
      return;
    }
    if (table.IsEmpty()) {  // an edit of an empty table starts a new row
      table.EditRow();
      StartNewRow(d);
      return;
    }
    // The row shown may be stale: changed, deleted or purged through the
    // other dataset since it was read.
    const int id = table.FieldValue("Id").ToInt32();
    ModelRecord* record = Find(id);
    if (record == nullptr || !record->Live()) {
      ExpectRefused(d, [&] { table.EditRow(); }, true);
      return;
    }
    table.EditRow();
    ASSERT_EQ(table.State(), TDataSetState::Edit);
    pending_[d] = {Pending::Kind::kEdit, id, NewName(), !record->backup.has_value()};
    if (!record->backup) record->backup = record->name;
    table.FieldNamed("Name").SetTextValue(pending_[d].name);
  }

  void Post(int d) {
    if (pending_[d].kind == Pending::Kind::kNone) return;
    if (PostInModel(d)) {
      Dataset(d).PostRow();
    } else {
      ExpectRefused(d, [&] { Dataset(d).PostRow(); });
    }
  }

  void CancelInModel(int d) {
    Pending& row = pending_[d];
    if (row.kind == Pending::Kind::kEdit && row.madeBackup && !row.orphaned) {
      ModelRecord* record = Find(row.id);
      if (record != nullptr && (record->state == ModelRecord::State::kUnchanged ||
                                record->state == ModelRecord::State::kInserted)) {
        record->backup.reset();
      }
    }
    row = Pending();
  }

  void Cancel(int d) {
    CancelInModel(d);
    Dataset(d).CancelRow();
  }

  void Delete(int d) {
    TNtdTable& table = Dataset(d);
    if (pending_[d].kind != Pending::Kind::kNone || table.IsEmpty()) return;
    ModelRecord* record = Find(table.FieldValue("Id").ToInt32());
    if (record == nullptr || !record->Live()) {
      ExpectRefused(d, [&] { table.DeleteRow(); });
      return;
    }
    if (record->state == ModelRecord::State::kInserted) {
      record->state = ModelRecord::State::kPurged;
      record->backup.reset();
    } else {
      record->state = ModelRecord::State::kDeleted;
    }
    table.DeleteRow();
  }

  void Accept(int d) {
    if (Dataset(d).UnsavedChanges() > 0) {
      for (ModelRecord& record : records_) {
        if (record.state == ModelRecord::State::kDeleted) {
          record.state = ModelRecord::State::kPurged;
          record.backup.reset();
        } else if (record.state != ModelRecord::State::kPurged) {
          record.state = ModelRecord::State::kUnchanged;
          record.backup.reset();
        }
      }
    }
    Dataset(d).AcceptChanges();
  }

  void Revert(int d) {
    if (Dataset(d).UnsavedChanges() > 0) {
      CancelInModel(d);
      for (ModelRecord& record : records_) {
        switch (record.state) {
          case ModelRecord::State::kModified:
          case ModelRecord::State::kDeleted:
            if (record.backup) record.name = *record.backup;
            record.backup.reset();
            record.state = ModelRecord::State::kUnchanged;
            break;
          case ModelRecord::State::kInserted:
            record.state = ModelRecord::State::kPurged;
            record.backup.reset();
            break;
          default:
            break;
        }
      }
    }
    Dataset(d).RevertChanges();
  }

  // The rows a write puts into the file.
  void WriteFileInModel() {
    file_.clear();
    for (const ModelRecord& record : records_) {
      if (record.Live()) file_.emplace_back(record.id, record.name);
    }
  }

  bool StoreHasUnsavedChanges(int d) {
    return Dataset(d).UnsavedChanges() > 0 || (d == 0 && clone_.UnsavedChanges() > 0);
  }

  void Refresh(int d) {
    TNtdTable& table = Dataset(d);
    if (!PostPendingFirst(d, [&] { table.Refresh(); })) return;
    if (StoreHasUnsavedChanges(d)) WriteFileInModel();
    if (d == 0) {
      // The table is read again: its records are new ones, and an edit
      // pending in the clone has lost its record.
      records_.clear();
      for (const Row& row : file_) records_.push_back({row.first, row.second});
      if (pending_[1].kind == Pending::Kind::kEdit) pending_[1].orphaned = true;
    }
    table.Refresh();
  }

  void Save(int d) {
    TNtdTable& table = Dataset(d);
    if (pending_[d].kind != Pending::Kind::kNone) {
      Pending saved = pending_[d];
      if (!PostInModel(d)) {
        pending_[d] = saved;
        ExpectRefused(d, [&] { table.SaveChanges(); });
        return;
      }
    }
    if (StoreHasUnsavedChanges(d)) WriteFileInModel();
    table.SaveChanges();
  }

  void Move(int d) {
    TNtdTable& table = Dataset(d);
    if (pending_[d].kind != Pending::Kind::kNone) return;
    switch (random_() % 3) {
      case 0: table.GoFirst(); break;
      case 1: table.GoNext(); break;
      default: table.GoLast(); break;
    }
  }

  std::vector<Row> StoredRows() {
    const TNtdCursor& store = *source_.Store();
    const TNtdField& id = *store.FindField("Id");
    const TNtdField& name = *store.FindField("Name");
    std::vector<Row> rows;
    for (std::size_t i = 0; i < store.RecordCount(); ++i) {
      const RecordEntry& record = *store.Record(i);
      if (IsLive(record.State)) rows.emplace_back(record.Data.Get<std::int32_t>(id), record.Data.LargeValue(name));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  std::vector<Row> ModelRows() {
    std::vector<Row> rows;
    for (const ModelRecord& record : records_) {
      if (record.Live()) rows.emplace_back(record.id, record.name);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  void Check() {
    ASSERT_EQ(source_.Store(), clone_.Store());
    EXPECT_EQ(StoredRows(), ModelRows());
    for (int d = 0; d < 2; ++d) {
      TNtdTable& table = Dataset(d);
      const Pending& row = pending_[d];
      switch (row.kind) {
        case Pending::Kind::kNone:
          EXPECT_EQ(table.State(), TDataSetState::Browse) << Name(d);
          break;
        case Pending::Kind::kInsert:
        case Pending::Kind::kEdit:
          ASSERT_EQ(table.State(), row.kind == Pending::Kind::kInsert ? TDataSetState::Insert : TDataSetState::Edit)
              << Name(d);
          EXPECT_EQ(table.FieldValue("Id").ToInt32(), row.id) << Name(d) << "'s pending row was replaced";
          EXPECT_EQ(table.FieldValue("Name").ToText(), row.name) << Name(d) << "'s pending row was replaced";
          break;
      }
    }
  }

  void CheckFile() {
    TNtdTable reader;
    reader.SetTableName(path_);
    reader.SetActive(true);
    std::vector<Row> rows;
    for (reader.GoFirst(); !reader.AtEnd(); reader.GoNext()) {
      rows.emplace_back(reader.FieldValue("Id").ToInt32(), reader.FieldValue("Name").ToText());
    }
    std::sort(rows.begin(), rows.end());
    std::vector<Row> expected = file_;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
  }

  std::mt19937 random_;
  platform::testing::TempFolder folder_;
  std::string path_ = folder_.File("shared.ntd");
  TNtdTable source_{"Quelle"};
  TNtdTable clone_{"Klon"};
  std::vector<ModelRecord> records_;
  std::array<Pending, 2> pending_;
  std::vector<Row> file_;
  int nextId_ = 1;
};

TEST(SharedStoreModel, RebuildsNeverReplaceAPendingRowNorLoseOrDuplicateStoredRows) {
  for (int sequence = 0; sequence < SequenceCount(); ++sequence) {
    SCOPED_TRACE("sequence " + std::to_string(sequence));
    SharedStoreModel model(static_cast<unsigned>(sequence));
    model.Run(kStepsPerSequence);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace tablefile
