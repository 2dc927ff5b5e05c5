// The view against a brute-force pass: 10,000 random records of every
// storage type, random filter conditions evaluated record by record on the
// values the records were made from, and random views (order, direction,
// letter case, filter, master range) checked for exactly the records a
// plain pass selects, in the order the comparison rules give; bisecting and
// linear searches must find the same row.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <set>

#include "platform/codepage.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "recordset/data_source.h"
#include "recordset/database_error.h"
#include "tablefile/ntd_dataset.h"

namespace tablefile {
namespace {

using Type = TNtdStorageType;

constexpr int kRecords = 10'000;
constexpr int kFilterTexts = 2'000;
constexpr int kViews = 60;

// --- The values the records are made from, and the rules on them -------------------

// Windows-1252 upper case, written out independently of the engine.
unsigned char Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}

int Sign(long double a, long double b) { return a < b ? -1 : (b < a ? 1 : 0); }

int CompareText(const std::string& a, const std::string& b, bool caseInsensitive) {
  if (a.empty() || b.empty()) return static_cast<int>(a.size()) - static_cast<int>(b.size());
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (caseInsensitive) {
      x = Upper(x);
      y = Upper(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

// One field's value in a record: numbers as long double, texts as the
// table's bytes; `text` also holds Boolean's "Yes"/"No" for LIKE.
struct Value {
  long double number = 0;
  std::string text;
};

struct FieldSpec {
  const char* name;
  recordset::TFieldType type;
  int size;
  Type storage;
};

const std::vector<FieldSpec>& Fields() {
  static const std::vector<FieldSpec> fields{
      {"Small", recordset::ftSmallint, 0, Type::SmallInt}, {"Int", recordset::ftInteger, 0, Type::Integer},
      {"Int2", recordset::ftInteger, 0, Type::Integer},    {"Big", recordset::ftLargeint, 0, Type::Int64},
      {"Flag", recordset::ftBoolean, 0, Type::Boolean},    {"Real", recordset::ftFloat, 0, Type::Double},
      {"Money", recordset::ftCurrency, 0, Type::Currency}, {"Day", recordset::ftDate, 0, Type::Date},
      {"Clock", recordset::ftTime, 0, Type::Time},         {"Stamp", recordset::ftDateTime, 0, Type::DateTime},
      {"Id", recordset::ftAutoInc, 0, Type::AutoInc},      {"Short", recordset::ftString, 6, Type::SmallStr},
      {"Short2", recordset::ftString, 6, Type::SmallStr},  {"Long", recordset::ftString, 60, Type::String},
      {"Memo", recordset::ftMemo, 0, Type::Memo}};
  return fields;
}

std::size_t FieldIndex(std::string_view name) {
  for (std::size_t i = 0; i < Fields().size(); ++i) {
    if (Fields()[i].name == name) return i;
  }
  throw std::logic_error("no field " + std::string(name));
}

bool IsText(Type type) { return type == Type::SmallStr || type == Type::String || type == Type::Memo; }

// The comparison of two values of a field, by the rules of the storage types.
int Compare(const FieldSpec& field, const Value& a, const Value& b, bool caseInsensitive) {
  switch (field.storage) {
    case Type::Boolean: {
      const bool x = a.number != 0;
      const bool y = b.number != 0;
      return x == y ? 0 : (x ? -1 : 1);
    }
    case Type::SmallStr: return CompareText(a.text, b.text, caseInsensitive);
    case Type::String:
    case Type::Memo:
      if (a.text.empty() || b.text.empty()) return static_cast<int>(!a.text.empty()) - static_cast<int>(!b.text.empty());
      return CompareText(a.text, b.text, caseInsensitive);
    default: return Sign(a.number, b.number);
  }
}

// LIKE by trying every start for the item after a wildcard, in order.
bool LikeMatches(const std::string& pattern, std::size_t p, const std::string& text, std::size_t t, bool wildcard) {
  while (p < pattern.size() && (pattern[p] == '%' || pattern[p] == '*' ||
                                (wildcard && (pattern[p] == '?' || pattern[p] == '_')))) {
    wildcard = wildcard || pattern[p] == '%' || pattern[p] == '*';
    ++p;
  }
  if (p == pattern.size()) return wildcard || t == text.size();
  for (std::size_t start = t; start < text.size(); ++start) {
    const char c = pattern[p];
    if (c == '?' || c == '_' ||
        Upper(static_cast<unsigned char>(c)) == Upper(static_cast<unsigned char>(text[start]))) {
      if (LikeMatches(pattern, p + 1, text, start + 1, false)) return true;
    }
    if (!wildcard) break;
  }
  return false;
}

struct Record {
  std::vector<Value> values;  // in field order
};

// --- Random records ------------------------------------------------------------------

class Values {
 public:
  explicit Values(unsigned seed) : random_(seed) {}

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }

  // Text from a small alphabet with letters in both cases, Windows-1252
  // letters, a quote and the LIKE wildcards; UTF-8.
  std::string Text(int maxLength) {
    static const std::vector<std::string> kAlphabet{"a", "A", "b", "B", "z", "Z", "ä", "Ä", "ö",
                                                    "ß", "é", "'", " ", "1", "_", "%"};
    std::string text;
    for (int n = Between(0, maxLength); n > 0; --n) text += kAlphabet[Between(0, 15)];
    return text;
  }

  std::mt19937& Engine() { return random_; }

 private:
  std::mt19937 random_;
};

// A record's value of `field`, as the number or text the test compares.
Value RandomValue(const FieldSpec& field, Values& random) {
  Value value;
  switch (field.storage) {
    case Type::SmallInt: value.number = random.Between(-5, 5) * 7; break;
    case Type::Integer: value.number = random.Between(-20, 20); break;
    case Type::Int64: value.number = static_cast<long double>(random.Between(-3, 3)) * 4'294'967'296LL + random.Between(0, 3); break;
    case Type::Boolean: value.number = random.Chance(50) ? -1 : 0; break;
    case Type::Double:
    case Type::Currency: value.number = random.Between(-400, 400) / 4.0L; break;
    case Type::Date: value.number = random.Chance(10) ? 0 : 738'000 + random.Between(0, 60); break;
    case Type::Time: value.number = random.Between(0, 47) * 1'800'000; break;
    case Type::DateTime:
      value.number = random.Chance(10) ? 0
                                       : (738'000.0L + random.Between(0, 20)) * platform::kMillisecondsPerDay +
                                             random.Between(0, 8) * 3'600'000;
      break;
    case Type::SmallStr: value.text = platform::Utf8ToAnsi(random.Text(field.size)); break;
    case Type::String: value.text = platform::Utf8ToAnsi(random.Text(12)); break;
    case Type::Memo: value.text = platform::Utf8ToAnsi(random.Text(8)); break;
    default: break;
  }
  if (field.storage == Type::SmallStr && value.text.size() > static_cast<std::size_t>(field.size)) {
    value.text.resize(static_cast<std::size_t>(field.size));
  }
  if (field.storage == Type::Boolean) value.text = value.number != 0 ? "Yes" : "No";
  return value;
}

void PutValue(const TNtdField& field, const Value& value, RecordBuffer& buffer) {
  switch (field.StorageType) {
    case Type::SmallInt:
    case Type::Boolean: return buffer.Put<std::int16_t>(field, static_cast<std::int16_t>(value.number));
    case Type::Integer:
    case Type::Date:
    case Type::Time:
    case Type::AutoInc: return buffer.Put<std::int32_t>(field, static_cast<std::int32_t>(value.number));
    case Type::Int64: return buffer.Put<std::int64_t>(field, static_cast<std::int64_t>(value.number));
    case Type::SmallStr: return buffer.PutSmallText(field, value.text);
    case Type::String:
    case Type::Memo: buffer.LargeValue(field) = value.text; return;
    default: return buffer.Put<double>(field, static_cast<double>(value.number));
  }
}

// The table: a dataset made from the field definitions, its store filled
// directly with the records (the auto-increment field numbers them).
class Table {
 public:
  explicit Table(unsigned seed) : random_(seed) {
    for (const FieldSpec& field : Fields()) table_.FieldDefs().AddFieldDef(field.name, field.type, field.size);
    table_.SetActive(true);
    TNtdCursor& store = *table_.Store();
    for (int i = 0; i < kRecords; ++i) {
      Record record;
      RecordBuffer buffer = store.NewRecordBuffer();
      for (std::size_t f = 0; f < Fields().size(); ++f) {
        record.values.push_back(RandomValue(Fields()[f], random_));
        PutValue(*store.Field(f), record.values.back(), buffer);
      }
      RecordEntry* entry = nullptr;
      EXPECT_TRUE(store.PutRecord(buffer, entry).Ok);
      record.values[FieldIndex("Id")].number = entry->Data.Get<std::int32_t>(*store.FindField("Id"));
      records_.push_back(std::move(record));
    }
    table_.RebuildView(false);
  }

  TNtdTable& Dataset() { return table_; }
  Values& Random() { return random_; }
  const Record& ById(int id) const { return records_[static_cast<std::size_t>(id - 1)]; }
  const std::vector<Record>& Records() const { return records_; }

  // The ids of the view, in view order.
  std::vector<int> ViewIds() const {
    const TNtdField& id = *table_.Store()->FindField("Id");
    std::vector<int> ids;
    for (const RecordEntry* record : table_.View()) ids.push_back(record->Data.Get<std::int32_t>(id));
    return ids;
  }

 private:
  platform::ScopedFormatSettings german_{platform::GermanFormatSettings()};
  Values random_;
  TNtdTable table_;
  std::vector<Record> records_;
};

// --- Random conditions ----------------------------------------------------------------

// One condition as filter text, and its truth for a record.
struct Condition {
  std::string text;
  std::function<bool(const Record&, bool caseInsensitive)> holds;
};

std::string Quoted(const std::string& utf8) {
  std::string text = "'";
  for (const char c : utf8) text += c == '\'' ? std::string("''") : std::string(1, c);
  return text + "'";
}

std::string DecimalComma(long double number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2Lf", number);
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', ',');
  return result;
}

// A constant of `field`'s kind as filter text, and the value it stands for.
std::pair<std::string, Value> RandomConstant(const FieldSpec& field, Values& random) {
  Value value = RandomValue(field, random);
  switch (field.storage) {
    case Type::SmallInt:
    case Type::Integer:
    case Type::Int64:
    case Type::AutoInc: {
      if (field.storage == Type::AutoInc) value.number = random.Between(-5, kRecords + 5);
      const auto number = static_cast<long long>(value.number);
      const std::string digits = std::to_string(number);
      return {random.Chance(50) ? digits : Quoted(digits), value};
    }
    case Type::Boolean: {
      static const std::vector<std::pair<std::string, bool>> kWords{
          {"TRUE", true}, {"FALSE", false}, {"'yes'", true}, {"'T'", true}, {"'1'", true},
          {"'no'", false}, {"NULL", false}, {"'ÄÀ'", true}, {"'äà'", true}};
      const auto& [text, truth] = kWords[static_cast<std::size_t>(random.Between(0, 8))];
      value.number = truth ? -1 : 0;
      return {text, value};
    }
    case Type::Double:
    case Type::Currency:
      return {Quoted(DecimalComma(value.number)), value};
    case Type::Date:
      if (value.number == 0) return {"NULL", value};
      return {Quoted(platform::DateToStr(static_cast<double>(value.number) - platform::kDayNumberOfDateZero)), value};
    case Type::Time: {
      const auto milliseconds = static_cast<std::int32_t>(value.number);
      return {Quoted(platform::TimeToStr(milliseconds / double{platform::kMillisecondsPerDay})), value};
    }
    case Type::DateTime: {
      if (value.number == 0) return {"NULL", value};
      const double days = std::floor(static_cast<double>(value.number) / platform::kMillisecondsPerDay);
      const double time = (static_cast<double>(value.number) - days * platform::kMillisecondsPerDay) /
                          platform::kMillisecondsPerDay;
      const platform::TDateTime moment = days - platform::kDayNumberOfDateZero + time;
      return {Quoted(platform::DateToStr(moment) + " " + platform::TimeToStr(moment)), value};
    }
    default:
      if (value.text.empty()) return {random.Chance(50) ? "NULL" : "''", value};
      return {Quoted(platform::AnsiToUtf8(value.text)), value};
  }
}

bool Holds(const std::string& op, int rc) {
  if (op == "=") return rc == 0;
  if (op == ">") return rc > 0;
  if (op == "<") return rc < 0;
  if (op == ">=") return rc >= 0;
  if (op == "<=") return rc <= 0;
  if (op == "<>") return rc != 0;
  return true;  // "*="
}

Condition RandomCondition(Values& random) {
  static const std::vector<std::string> kOperators{"=", ">", "<", ">=", "<=", "<>", "*="};
  const std::string op = kOperators[static_cast<std::size_t>(random.Between(0, 6))];
  // Fields compared with fields whose values are kept alike.
  static const std::vector<std::pair<const char*, const char*>> kPairs{
      {"Int", "Int2"}, {"Int", "Day"}, {"Clock", "Id"}, {"Real", "Money"}, {"Stamp", "Real"}, {"Short", "Short2"},
      {"Long", "Long"}};
  const int kind = random.Between(0, 9);
  if (kind == 0) {
    const auto& [left, right] = kPairs[static_cast<std::size_t>(random.Between(0, 6))];
    const std::size_t l = FieldIndex(left);
    const std::size_t r = FieldIndex(right);
    return {std::string(left) + " " + op + " " + (random.Chance(50) ? std::string(right) : Quoted(right)),
            [=](const Record& record, bool ci) {
              return Holds(op, Compare(Fields()[l], record.values[l], record.values[r], ci));
            }};
  }
  if (kind == 1) {
    static const std::vector<const char*> kLikeFields{"Short", "Long", "Memo", "Int", "Flag"};
    const std::size_t f = FieldIndex(kLikeFields[static_cast<std::size_t>(random.Between(0, 4))]);
    std::string pattern;
    static const std::vector<std::string> kPieces{"a", "B", "ä", "Ä", "ß", "1", "2", "-", "Y", "e", "s", "%", "*", "?", "_"};
    for (int n = random.Between(0, 5); n > 0; --n) pattern += kPieces[static_cast<std::size_t>(random.Between(0, 14))];
    const std::string stored = platform::Utf8ToAnsi(pattern);
    return {std::string(Fields()[f].name) + " LIKE " + Quoted(pattern), [=](const Record& record, bool) {
              const Value& value = record.values[f];
              const std::string text =
                  IsText(Fields()[f].storage) || Fields()[f].storage == Type::Boolean
                      ? value.text
                      : std::to_string(static_cast<long long>(value.number));
              return LikeMatches(stored, 0, text, 0, false);
            }};
  }
  const std::size_t f = static_cast<std::size_t>(random.Between(0, static_cast<int>(Fields().size()) - 1));
  auto [text, constant] = RandomConstant(Fields()[f], random);
  if (Fields()[f].storage == Type::SmallStr && constant.text.size() > 6) constant.text.resize(6);
  return {std::string(Fields()[f].name) + " " + op + " " + text, [=](const Record& record, bool ci) {
            return Holds(op, Compare(Fields()[f], record.values[f], constant, ci));
          }};
}

// Several conditions joined by AND.
Condition RandomFilter(Values& random) {
  std::vector<Condition> parts;
  for (int n = random.Between(1, 3); n > 0; --n) parts.push_back(RandomCondition(random));
  Condition filter;
  for (const Condition& part : parts) filter.text += (filter.text.empty() ? "" : " AND ") + part.text;
  filter.holds = [parts](const Record& record, bool ci) {
    return std::all_of(parts.begin(), parts.end(), [&](const Condition& part) { return part.holds(record, ci); });
  };
  return filter;
}

class ViewBruteForce : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { table_ = new Table(20'250'611); }
  static void TearDownTestSuite() {
    delete table_;
    table_ = nullptr;
  }
  static Table* table_;
};

Table* ViewBruteForce::table_ = nullptr;

TEST_F(ViewBruteForce, FiltersSelectWhatAPlainPassSelects) {
  TNtdTable& dataset = table_->Dataset();
  Values& random = table_->Random();
  dataset.SetIndexFieldNames("");
  for (int n = 0; n < kFilterTexts; ++n) {
    const Condition filter = RandomFilter(random);
    const bool caseInsensitive = random.Chance(30);
    SCOPED_TRACE(filter.text + (caseInsensitive ? " (letter case ignored)" : ""));
    dataset.SetFilterCaseInsensitive(caseInsensitive);
    dataset.SetFilter(filter.text);
    dataset.SetFiltered(true);
    std::vector<int> expected;
    for (const Record& record : table_->Records()) {
      if (filter.holds(record, caseInsensitive)) expected.push_back(static_cast<int>(record.values[FieldIndex("Id")].number));
    }
    ASSERT_EQ(table_->ViewIds(), expected);
  }
  dataset.SetFiltered(false);
}

TEST_F(ViewBruteForce, ViewsHoldTheSelectedRecordsInOrderAndSearchesAgree) {
  TNtdTable& dataset = table_->Dataset();
  Values& random = table_->Random();
  // A master whose current row limits the view to one value of Int.
  TNtdTable master;
  master.FieldDefs().AddFieldDef("Key", recordset::ftInteger);
  master.SetActive(true);
  for (int key = -3; key <= 3; ++key) {
    master.AppendRow();
    master.FieldNamed("Key").SetTextValue(std::to_string(key * 6));
    master.PostRow();
  }
  recordset::TDataSource source;
  source.SetDataSet(&master);
  dataset.SetRangeFieldNames("Int");
  dataset.SetMasterFields("Key");

  static const std::vector<const char*> kOrderable{"Small", "Int", "Big", "Flag", "Real", "Day", "Clock",
                                                   "Stamp", "Id", "Short", "Long"};
  for (int n = 0; n < kViews; ++n) {
    const int last = static_cast<int>(kOrderable.size()) - 1;
    std::vector<std::size_t> keys{FieldIndex(kOrderable[static_cast<std::size_t>(random.Between(0, last))])};
    if (random.Chance(50)) keys.push_back(FieldIndex(kOrderable[static_cast<std::size_t>(random.Between(0, last))]));
    std::string names;
    for (const std::size_t key : keys) names += (names.empty() ? "" : ";") + std::string(Fields()[key].name);
    const bool caseInsensitive = random.Chance(40);
    const bool descending = random.Chance(40);
    const bool filtered = random.Chance(50);
    const bool ranged = random.Chance(40);
    const Condition filter = RandomFilter(random);
    SCOPED_TRACE("order " + names + (caseInsensitive ? ", letter case ignored" : "") +
                 (descending ? ", descending" : "") + (filtered ? ", filter " + filter.text : "") +
                 (ranged ? ", ranged" : ""));

    dataset.SetFilterCaseInsensitive(false);
    dataset.SetFilter(filter.text);
    dataset.SetFiltered(filtered);
    dataset.SetMasterSource(ranged ? &source : nullptr);
    if (ranged) master.MoveBy(random.Between(-7, 7));
    dataset.SetIndexFieldNames(names);
    dataset.SetSortOptions(static_cast<TNtdSortOptions>((caseInsensitive ? vsoCaseInsensitive : 0) |
                                                        (descending ? vsoDescendSort : 0)));
    const long double rangeKey = ranged ? std::stoll(master.FieldNamed("Key").TextValue()) : 0;

    std::multiset<int> expected;
    for (const Record& record : table_->Records()) {
      if (ranged && record.values[FieldIndex("Int")].number != rangeKey) continue;
      if (filtered && !filter.holds(record, false)) continue;
      expected.insert(static_cast<int>(record.values[FieldIndex("Id")].number));
    }
    const std::vector<int> ids = table_->ViewIds();
    ASSERT_EQ(std::multiset<int>(ids.begin(), ids.end()), expected);
    const auto order = [&](const Record& a, const Record& b) {
      for (const std::size_t key : keys) {
        const int rc = Compare(Fields()[key], a.values[key], b.values[key], caseInsensitive);
        if (rc != 0) return descending ? -rc : rc;
      }
      return 0;
    };
    for (std::size_t i = 1; i < ids.size(); ++i) {
      ASSERT_LE(order(table_->ById(ids[i - 1]), table_->ById(ids[i])), 0) << "rows " << i << " and " << i + 1;
    }
    ASSERT_TRUE(dataset.ViewSorted());

    // Searches by the leading index field: bisection where it is allowed,
    // and always the first row a plain pass finds.
    const FieldSpec& leading = Fields()[keys.front()];
    dataset.SetSearchFieldNames(leading.name);
    EXPECT_EQ(dataset.BisectionAllowed(leading.name), !caseInsensitive);
    for (int s = 0; s < 20 && !ids.empty(); ++s) {
      const Record& probe = random.Chance(80) ? table_->ById(ids[static_cast<std::size_t>(random.Between(0, static_cast<int>(ids.size()) - 1))])
                                              : table_->Records()[static_cast<std::size_t>(random.Between(0, kRecords - 1))];
      const Value& wanted = probe.values[keys.front()];
      std::string keyText;
      if (IsText(leading.storage)) {
        keyText = platform::AnsiToUtf8(wanted.text);
      } else if (leading.storage == Type::Boolean) {
        keyText = wanted.number != 0 ? "True" : "False";
      } else if (leading.storage == Type::Double) {
        keyText = DecimalComma(wanted.number);
      } else if (leading.storage == Type::Date || leading.storage == Type::Time || leading.storage == Type::DateTime) {
        continue;  // their texts are covered by the filter constants
      } else {
        keyText = std::to_string(static_cast<long long>(wanted.number));
      }
      dataset.SetKeyFromText(KeyIndex::kSearch, keyText);
      // An empty key text sets no field: every row matches it.
      std::ptrdiff_t first = keyText.empty() ? 0 : -1;
      for (std::size_t i = 0; i < ids.size() && first < 0; ++i) {
        if (Compare(leading, table_->ById(ids[i]).values[keys.front()], wanted, false) == 0) first = static_cast<std::ptrdiff_t>(i);
      }
      ASSERT_EQ(dataset.SearchKey(0, false), first) << "key " << keyText;
      if (!caseInsensitive) {
        ASSERT_EQ(dataset.SearchKey(0, true), first) << "key " << keyText;
      }
    }
  }
  dataset.SetMasterSource(nullptr);
  dataset.SetFiltered(false);
}

}  // namespace
}  // namespace tablefile
