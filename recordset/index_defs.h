#pragma once

// Index definitions: one TIndexDef per index of a table (name, the fields
// it orders by, options), kept in a TIndexDefs collection. A table manager
// fills one to create indexes; a record-set may describe its storage's
// indexes in one.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace recordset {

enum TIndexOption : int {
  ixPrimary,
  ixUnique,
  ixDescending,
  ixCaseInsensitive,
  ixExpression,
  ixNonMaintained,
};

// A set of TIndexOption values.
class TIndexOptions {
 public:
  TIndexOptions() = default;
  TIndexOptions(std::initializer_list<TIndexOption> options) {
    for (const TIndexOption option : options) Include(option);
  }
  bool Has(TIndexOption option) const { return (bits_ & Bit(option)) != 0; }
  void Include(TIndexOption option) { bits_ |= Bit(option); }
  void Exclude(TIndexOption option) { bits_ &= ~Bit(option); }
  bool Empty() const { return bits_ == 0; }
  friend bool operator==(TIndexOptions, TIndexOptions) = default;

 private:
  static std::uint8_t Bit(TIndexOption option) { return static_cast<std::uint8_t>(1u << option); }
  std::uint8_t bits_ = 0;
};

struct TIndexDef {
  std::string name;
  // The fields, separated by ";" ("Name; Rubrik").
  std::string fields;
  // The fields ordered descending, separated by ";".
  std::string descFields;
  TIndexOptions options;
};

// An ordered collection of index definitions.
class TIndexDefs {
 public:
  // Appends a definition and answers it.
  TIndexDef& Add(std::string name, std::string fields, TIndexOptions options = {});
  void Clear() { defs_.clear(); }
  int Count() const { return static_cast<int>(defs_.size()); }
  bool Empty() const { return defs_.empty(); }
  // The definition at 0-based `index` (checked).
  const TIndexDef& operator[](int index) const;
  TIndexDef& operator[](int index);
  auto begin() const { return defs_.begin(); }
  auto end() const { return defs_.end(); }

 private:
  std::vector<TIndexDef> defs_;
};

}  // namespace recordset
