#pragma once

// Field types, field kinds and column attributes of the record-set model,
// and the size of each type's native form (the bytes an engine exchanges
// with the framework for one value).

#include <climits>
#include <cstdint>
#include <string_view>

namespace recordset {

// Column types. The ordinals are part of the contract: engines and stored
// layouts keep them as numbers.
enum TFieldType : int {
  ftUnknown = 0,
  ftString = 1,
  ftSmallint = 2,
  ftInteger = 3,
  ftWord = 4,
  ftBoolean = 5,
  ftFloat = 6,
  ftCurrency = 7,
  ftBCD = 8,
  ftDate = 9,
  ftTime = 10,
  ftDateTime = 11,
  ftBytes = 12,
  ftVarBytes = 13,
  ftAutoInc = 14,
  ftBlob = 15,
  ftMemo = 16,
  ftGraphic = 17,
  ftFmtMemo = 18,
  ftParadoxOle = 19,
  ftDBaseOle = 20,
  ftTypedBinary = 21,
  ftCursor = 22,
  ftFixedChar = 23,
  ftWideString = 24,
  ftLargeint = 25,
  ftADT = 26,
  ftArray = 27,
  ftReference = 28,
  ftDataSet = 29,
  ftOraBlob = 30,
  ftOraClob = 31,
  ftVariant = 32,
  ftInterface = 33,
  ftIDispatch = 34,
  ftGuid = 35,
  ftTimeStamp = 36,
  ftFMTBcd = 37,
};

inline constexpr int kFieldTypeCount = 38;

// Where a field's value comes from. Only fkData fields are stored; the others
// live in the computed-field area of a row buffer.
enum TFieldKind : int { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

// Column attributes of a field definition.
enum TFieldAttribute : int { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };

// A set of TFieldAttribute values.
class TFieldAttributes {
 public:
  TFieldAttributes() = default;
  bool Has(TFieldAttribute attribute) const { return (bits_ & Bit(attribute)) != 0; }
  void Include(TFieldAttribute attribute) { bits_ |= Bit(attribute); }
  void Exclude(TFieldAttribute attribute) { bits_ &= ~Bit(attribute); }
  friend bool operator==(TFieldAttributes, TFieldAttributes) = default;

 private:
  static std::uint8_t Bit(TFieldAttribute attribute) {
    return static_cast<std::uint8_t>(1u << attribute);
  }
  std::uint8_t bits_ = 0;
};

// The longest UTF-8 sequence of one character. String fields count their
// size in characters, so their native form reserves this many bytes each.
inline constexpr int kMaxUtf8BytesPerCharacter = 4;
// The largest sizes a column may declare: a text's native form must fit an
// int, and ftVarBytes keeps its length in 16 bits.
inline constexpr int kMaxTextFieldSize = (INT_MAX - 1) / kMaxUtf8BytesPerCharacter;
inline constexpr int kMaxVarBytesSize = 0xFFFF;
// Size of the packed-decimal native form of ftBCD and ftFMTBcd.
inline constexpr int kBcdNativeSize = 34;
// Characters of a GUID in its braced text form.
inline constexpr int kGuidFieldSize = 38;

// Bytes of the native form of one value of `type` declared with `size`
// (see TDataSet::GetFieldBytes); 0 for large values, which travel through
// streams, and for types without a native form.
int NativeSize(TFieldType type, int size);

// True for the types whose values travel through large-value streams.
bool IsLargeValueType(TFieldType type);

// True for the types whose native form is text (size counted in characters).
bool IsTextType(TFieldType type);

// "ftString", "ftInteger", ... for messages; "ftUnknown" outside the range.
std::string_view FieldTypeIdentifier(TFieldType type);

}  // namespace recordset
