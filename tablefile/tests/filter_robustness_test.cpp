// Random and mutated filter texts on an open table: each one must end in a
// view or in an error text, never in a crash, a hang or a leak. Run under
// AddressSanitizer by the test script.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "recordset/database_error.h"
#include "tablefile/ntd_dataset.h"

namespace tablefile {
namespace {

int TextCount() {
  const char* wanted = std::getenv("NUTARO_FILTER_TEXTS");
  return wanted != nullptr ? std::max(1, std::atoi(wanted)) : 100'000;
}

// Pieces filter texts are made of: names of the table's fields and of none,
// every reserved word, symbols, quotes, numbers and stray bytes.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces{
      "Name", "Kcal", "Flag", "Day", "Memo", "Bild", "Nope", "t.", "Name.", "SELECT", "FROM", "WHERE", "AS",
      "AND", "OR", "NOT", "NULL", "JOIN", "LEFT", "ON", "LIKE", "GROUP", "BY", "SUM", "MAX", "MIN", "AVG",
      "TRUE", "FALSE", "DISTINCT", "COUNT", "COUNT(", "sum(", "(", ")", "*", "+", "-", "/", ",", ".", "=",
      "<", ">", ">=", "<=", "<>", "*=", "'", "\"", "''", "'%a_'", "'12,5'", "'Apfel'", "'01.02.2024'",
      "12", "-3", "1-2", "0", "99999999999999999999", " ", "\t", "\r\n", "#", "$", ";", "\xC3\xA4",
      "\xFF", std::string(1, '\0'), "%", "?", "_"};
  return pieces;
}

std::string RandomText(std::mt19937& random) {
  std::string text;
  for (unsigned n = random() % 12; n > 0; --n) {
    text += Pieces()[random() % Pieces().size()];
    if (random() % 2 == 0) text += ' ';
  }
  return text;
}

// A valid filter with a few bytes inserted, deleted or replaced.
std::string MutatedText(std::mt19937& random) {
  static const std::vector<std::string> valid{
      "Kcal > '100' AND Name LIKE 'A%'", "Name = NULL", "Flag = TRUE AND Kcal <= 52", "Day >= '01.01.2020'",
      "t.Name = u.Memo GROUP BY Name", "Kcal *= -5 AND Name <> 'x''y'", "Memo LIKE '%a%b%c%'"};
  std::string text = valid[random() % valid.size()];
  for (unsigned n = 1 + random() % 4; n > 0 && !text.empty(); --n) {
    const std::size_t at = random() % text.size();
    const char byte = static_cast<char>(random() % 256);
    switch (random() % 3) {
      case 0: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), byte); break;
      case 1: text.erase(at, 1); break;
      default: text[at] = byte;
    }
  }
  return text;
}

TEST(FilterRobustness, EveryTextEndsInAViewOrAnErrorText) {
  TNtdTable table;
  table.FieldDefs().AddFieldDef("Name", recordset::ftString, 40);
  table.FieldDefs().AddFieldDef("Kcal", recordset::ftFloat);
  table.FieldDefs().AddFieldDef("Flag", recordset::ftBoolean);
  table.FieldDefs().AddFieldDef("Day", recordset::ftDate);
  table.FieldDefs().AddFieldDef("Memo", recordset::ftMemo);
  table.FieldDefs().AddFieldDef("Bild", recordset::ftBlob);
  table.SetActive(true);
  for (const char* name : {"Apfel", "apfel", "Birne", "", "Äpfel", "%_a"}) {
    table.AppendRow();
    table.FieldNamed("Name").SetTextValue(name);
    table.FieldNamed("Kcal").SetTextValue("52");
    table.PostRow();
  }
  table.SetFiltered(true);

  std::mt19937 random(4711);
  int views = 0;
  for (int n = 0; n < TextCount(); ++n) {
    const std::string text = random() % 2 == 0 ? RandomText(random) : MutatedText(random);
    try {
      if (n % 100 == 0) table.SetFiltered(n % 200 == 0);  // also texts set while not filtering
      table.SetFilter(text);
      ++views;
      ASSERT_LE(table.RowCount(), 6);
    } catch (const recordset::EDatabaseError& error) {
      ASSERT_NE(std::string(error.what()), "") << text;
    }
  }
  EXPECT_GT(views, TextCount() / 20) << "too few texts got as far as a view";
}

}  // namespace
}  // namespace tablefile
