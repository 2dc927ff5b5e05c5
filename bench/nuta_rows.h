#pragma once
// The rows the append benchmarks write into the converter's eight-column
// Nuta table, the same whether they go through the engine or the DAO
// objects, so that the two figures compare.

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

// Rows appended in each iteration.
inline constexpr int kNutaRows = 100000;

// The food name of row `i`: one of ten real names with umlauts and commas,
// numbered out of order so that a text index is not filled in sequence.
inline std::string NutaFoodName(int i) {
  static const char* const kFoods[] = {"Äpfel, roh", "Birnen, gedünstet", "Weißbrot", "Vollkornbrot",
                                       "Nußnougatcreme", "Olivenöl", "Kartoffeln, gekocht", "Haferflocken",
                                       "Käse, 45 % Fett", "Quark"};
  return std::string(kFoods[i % 10]) + ", Nr. " + std::to_string(i * 7919 % kNutaRows);
}

// Kcal and Kjoule of row `i`.
inline std::int32_t NutaKcal(int i) { return i % 900; }
inline std::int32_t NutaKjoule(int i) { return NutaKcal(i) * 418 / 100; }

// The nutrient (Fett, Kh, BE, Eiweiss) in column `column` (3 to 6) of row `i`.
inline double NutaNutrient(int i, std::size_t column) { return (i % 97) * 0.25 + static_cast<double>(column); }

// The Rubrik of row `i`.
inline const char* NutaCategory(int i) { return i % 5 == 0 ? "Obst" : "Backwaren"; }

}  // namespace bench
