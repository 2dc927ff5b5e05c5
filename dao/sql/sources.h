// What a statement reads and changes, as the DAO layer offers it: tables
// (and stored queries) with their columns and rows. The SQL layer knows
// them only through these interfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/variant.h"

namespace dao::sql {

struct SourceColumn {
  std::string name;
  int daoType = 0;  // DAO type code
  int size = 0;     // DAO Field::Size
};

// The values of the row a scan stands on.
class ColumnReader {
 public:
  virtual ~ColumnReader() = default;
  virtual platform::Variant Value(int column) = 0;
};

class TableData {
 public:
  virtual ~TableData() = default;
  // The table's name as stored.
  virtual const std::string& Name() const = 0;
  virtual const std::vector<SourceColumn>& Columns() const = 0;
  // Visits every row in storage order with its id (stable while the row
  // lives); `visit` returns false to stop.
  virtual void Scan(const std::function<bool(std::uint32_t id, ColumnReader& row)>& visit) = 0;
};

class Catalog {
 public:
  virtual ~Catalog() = default;
  // The table or stored query `name` (any case); nullptr when there is none.
  virtual std::shared_ptr<TableData> Table(const std::string& name) = 0;
};

}  // namespace dao::sql
