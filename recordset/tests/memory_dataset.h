#pragma once

// A small in-memory engine for the record-set tests: rows are vectors of
// native values, the cursor is an index, a row mark is the row's id. It
// counts its fetches and can be told to fail, so tests can watch the
// framework drive the hooks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recordset/dataset.h"

namespace recordset::testing {

using NativeBytes = std::optional<std::vector<std::byte>>;

struct MemoryRow {
  int id = 0;
  std::vector<NativeBytes> values;  // one per column; nullopt is Null
};

struct ColumnSpec {
  std::string name;
  TFieldType type;
  int size = 0;
  bool required = false;
};

// Native forms for seeding rows.
NativeBytes NativeInt32(std::int32_t value);
NativeBytes NativeDouble(double value);
NativeBytes NativeText(std::string_view text);

class MemoryDataset : public TDataSet {
 public:
  explicit MemoryDataset(std::vector<ColumnSpec> columns, std::string name = {});
  ~MemoryDataset() override;

  // Appends a stored row (one native value per column).
  void AddStoredRow(std::vector<NativeBytes> values);
  const std::vector<MemoryRow>& Rows() const { return rows_; }

  int fetchCalls = 0;
  int discardCalls = 0;
  bool readOnly = false;
  bool failOpen = false;
  bool failNextStore = false;
  bool failNewRow = false;
  std::vector<std::string> reportedFailures;

  // Widened for tests of the engine helpers.
  using TDataSet::ActiveBuffer;
  using TDataSet::DisableControls;
  using TDataSet::EnableControls;

  bool IsWritable() const override { return !readOnly; }
  int RowCount() override { return static_cast<int>(rows_.size()); }
  int RowNumber() override;
  void ReportFailure(const std::exception& error) override;
  bool StoreIsOpen() const override { return open_; }
  std::unique_ptr<TLargeValueStream> OpenLargeValueStream(TField& field,
                                                          TLargeValueMode mode) override;

 protected:
  void NewRowStarted() override;
  void DiscardRow() override;
  std::unique_ptr<TRowBuffer> NewRowBuffer() override;
  void StoreNewRow(TRowBuffer& buffer, bool append) override;
  void RemoveRow() override;
  void BlankRow(TRowBuffer& buffer) override;
  void SeekBeforeFirst() override { position_ = -1; }
  void SeekAfterLast() override { position_ = static_cast<int>(rows_.size()); }
  void SeekRowMark(const RowMark& mark) override;
  void SeekBufferedRow(TRowBuffer& buffer) override { SeekRowMark(buffer.mark); }
  void StoreRow() override;
  void PutFieldBytes(TField& field, NativeValue value) override;
  FetchResult FetchRow(TRowBuffer& buffer, FetchMode mode, bool failOnError) override;
  void CloseStore() override;
  void DescribeFields() override;
  void OpenStore() override;
  bool GetFieldBytes(const TField& field, std::span<std::byte> target) override;

 private:
  friend class MemoryBlobStream;

  int IndexOfMark(const RowMark& mark) const;
  void CopyRow(TRowBuffer& buffer, int index) const;
  // Inserts the buffer's values as a new row: at the end, or before the
  // row of `before` (the first row when it has none); the cursor follows.
  void InsertStoredRow(const TRowBuffer& buffer, bool atEnd, const RowMark& before);
  NativeBytes& ValueOf(TRowBuffer& buffer, const TField& field);

  std::vector<ColumnSpec> columns_;
  std::vector<MemoryRow> rows_;
  int nextId_ = 1;
  int position_ = -1;
  bool open_ = false;
};

}  // namespace recordset::testing
