#pragma once
// TNtdCursor, the record store: one table wholly in memory with its field
// entries, records and their change states, notes and password. It reads and
// writes table images, copies records to and from row buffers, compares,
// sorts and checks uniqueness. Failures come back as a reason text.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "tablefile/ntd_field.h"
#include "tablefile/ntd_format.h"
#include "tablefile/ntd_result.h"
#include "tablefile/record_arena.h"
#include "tablefile/record_buffer.h"
#include "tablefile/record_entry.h"

namespace tablefile {

class ByteReader;

// Options of WriteFile.
enum TNtdSaveOption : std::uint8_t {
  savAutoBackup = 1,   // copy the old file to ".~d" first
  savSlowMode = 2,     // kept for callers; has no effect
  savSortOnIndex = 4,  // sort the store by the index fields before writing
};
using TNtdSaveOptions = std::uint8_t;

using TNtdHeaderBlock = std::array<std::uint8_t, kHeaderBlockSize>;

class TNtdCursor {
 public:
  // Told when a record is finally discarded; receives its user-data slot.
  using DiscardHook = std::function<void(std::uintptr_t& userData)>;
  // Told the percentage (0..100) of records read or written, on every change.
  using ProgressHook = std::function<void(int percent)>;

  TNtdCursor() = default;
  ~TNtdCursor();
  TNtdCursor(const TNtdCursor&) = delete;
  TNtdCursor& operator=(const TNtdCursor&) = delete;

  // --- Settings handed over by the dataset.
  // The password tried first when an enciphered image is read, and the key of
  // every image written while it is not empty.
  void SetPassword(std::string password) { password_ = std::move(password); }
  const std::string& Password() const { return password_; }
  // With partial opening a damaged image yields what could be read, and the
  // reason is still reported.
  void SetPartialOpen(bool on) { partialOpen_ = on; }
  void SetDiscardHook(DiscardHook hook) { discardHook_ = std::move(hook); }
  void SetProgressHook(ProgressHook hook) { progressHook_ = std::move(hook); }

  // --- Table images.
  // Replaces the table by the image in `image` (the bytes from the stream's
  // position to its end). Enciphered images are deciphered in place.
  TNtdResult ReadImage(std::span<std::uint8_t> image);
  // Writes the whole table as an image into `image` (resized to fit) and
  // returns its length; enciphered when the password is not empty.
  std::uint32_t WriteImage(std::vector<std::uint8_t>& image);
  // Exactly the length WriteImage will produce.
  std::uint64_t EstimateImageSize() const;
  // Exactly the bytes one record takes in an image.
  std::uint32_t MeasureRecord(const RecordBuffer& record) const;
  // The field description section of the current fields.
  std::string BuildFieldDescriptions() const;
  // Writes the table into a file: optional ".~d" backup of the old file,
  // optional sort by `indexFieldNames`, then the image in one piece through a
  // temporary file renamed over the target. A write to the file the table
  // was read from refuses, with platform::FileChangedError and nothing
  // written, when another program has saved that file since. Throws
  // platform::FileError.
  void WriteFile(const std::string& fileName, TNtdSaveOptions options, bool caseInsensitive,
                 std::string_view indexFieldNames);
  // Records that the table was read from the file `path` holding `version`
  // (forgotten by the next load or ClearStore(true)).
  void SetSourceFile(std::string path, const platform::FileVersion& version);

  // Takes over the table `loaded` has read (fields, records, notes, password
  // and header block); this store's records are released first. The hooks
  // and settings of this store stay.
  void ReplaceTable(TNtdCursor&& loaded);
  // Makes an empty table of these fields (slots are assigned here).
  void DefineFields(std::vector<TNtdField> fields);
  // Releases every record; with `all` also the fields, the notes, and the
  // header block with the password that opened it.
  void ClearStore(bool all);

  // --- Records.
  // A blank buffer of this table's layout.
  RecordBuffer NewRecordBuffer() const;
  // Stores `row` into `record`, or into a new record appended at the end when
  // `record` is null (which then points to it). New records get the next
  // auto-increment value; past the largest one they are refused.
  TNtdResult PutRecord(const RecordBuffer& row, RecordEntry*& record);
  // Deleted records are kept for RevertAll; records inserted since loading
  // are purged at once.
  TNtdResult DeleteRecord(RecordEntry* record);
  // Keeps the record's values as of its first change since loading,
  // reverting or accepting; false for no record or a deleted one.
  bool BackupRecord(RecordEntry* record);
  // Puts back the backup (if any); the record becomes unchanged.
  void RestoreRecord(RecordEntry* record);
  // Forgets the backup of a record that no posted change depends on
  // (unchanged or inserted); its values and state stay.
  void DropBackup(RecordEntry* record);
  // Undoes every change since loading or the last AcceptAll.
  void RevertAll();
  // Makes every change permanent: deletions purge, backups go.
  void AcceptAll();
  // True when `record` is one of this store's records (purged ones included).
  bool OwnsRecord(const RecordEntry* record) const { return arena_.Owns(record); }
  // Deep copy of every field value; `target` must have this table's layout.
  void CopyRecordData(const RecordBuffer& source, RecordBuffer& target) const;
  // Empties every field of the buffer.
  void FreeRecordData(RecordBuffer& buffer) const;

  // --- Lookup and ordering.
  // Case-insensitive (ANSI) search by stored name; null when absent.
  const TNtdField* FindField(std::string_view name) const;
  const TNtdField* Field(std::size_t index) const;
  const std::vector<TNtdField>& Fields() const { return fields_; }
  std::size_t FieldCount() const { return fields_.size(); }
  // Records in store order, purged placeholders included.
  RecordEntry* Record(std::size_t index) const;
  std::size_t RecordCount() const { return records_.size(); }
  // Sets the OrderByLength flag of one of this store's field entries.
  void SetOrderByLength(const TNtdField& field, bool on);
  // Field entries for ";"-separated names; unknown names and BLOB-family
  // fields are skipped.
  std::vector<const TNtdField*> FieldsFromNames(std::string_view names) const;
  // Sorts the record list ascending by the named fields.
  void SortRecords(std::string_view names, bool caseInsensitive);
  // True when another live record equals `row` on all named fields.
  bool CheckUnique(const RecordBuffer& row, const RecordEntry* own, std::string_view names) const;
  // A record's value as text, as filter conditions see it.
  std::string FieldText(const TNtdField& field, const RecordBuffer& record) const;

  std::uint32_t BufferSize() const { return bufferSize_; }
  std::size_t LargeCount() const { return largeCount_; }
  const TNtdField* AutoIncField() const { return autoIncField_; }
  std::int32_t LastAutoIncValue() const { return lastAutoIncValue_; }
  const std::string& Notes() const { return notes_; }
  void SetNotes(std::string notes) { notes_ = std::move(notes); }
  // The last image read or written was enciphered.
  bool Enciphered() const { return enciphered_; }
  // The plain header block of the last enciphered read or write.
  const std::optional<TNtdHeaderBlock>& HeaderBlock() const { return headerBlock_; }

 private:
  TNtdResult ReadTable(std::span<std::uint8_t> image);
  TNtdResult ReadRecords(ByteReader& in, std::uint32_t declaredCount);
  void AdoptFields(std::vector<TNtdField> fields);
  void ReleaseRecords();
  void Purge(RecordEntry& record);
  void SortByAutoInc();
  void ReportProgress(std::size_t done, std::size_t total, int& lastReported) const;
  void SortEntries(const std::vector<const TNtdField*>& keys, bool caseInsensitive);

  RecordArena arena_;
  std::vector<RecordEntry*> records_;
  std::vector<TNtdField> fields_;
  std::uint32_t bufferSize_ = 0;
  std::size_t largeCount_ = 0;
  bool partialOpen_ = false;
  std::string password_;
  std::optional<TNtdHeaderBlock> headerBlock_;
  bool enciphered_ = false;
  std::int32_t lastAutoIncValue_ = 0;
  const TNtdField* autoIncField_ = nullptr;
  std::string notes_;
  std::string sourcePath_;  // the file the table was read from, if any
  platform::FileVersion sourceVersion_;
  DiscardHook discardHook_;
  ProgressHook progressHook_;
};

}  // namespace tablefile
