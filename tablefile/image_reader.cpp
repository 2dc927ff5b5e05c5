// Reading a table image into the record store.

#include <cmath>
#include <cstring>

#include "platform/codepage.h"
#include "tablefile/byte_io.h"
#include "tablefile/field_descriptions.h"
#include "tablefile/header_block.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_session.h"
#include "tablefile/quick_sort.h"
#include "tablefile/record_codec.h"
#include "tablefile/record_compare.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

// Failures that partial opening cannot soften: nothing of the table is
// readable, and a save would replace the file with an empty table.
bool IsUnreadable(const std::string& reason, std::uint8_t kind) {
  return kind == kKindError || reason == reason::kInvalidPassword;
}

}  // namespace

TNtdResult TNtdCursor::ReadImage(std::span<std::uint8_t> image) {
  ReleaseRecords();
  fields_.clear();
  notes_.clear();
  autoIncField_ = nullptr;
  bufferSize_ = 0;
  largeCount_ = 0;
  enciphered_ = false;
  headerBlock_.reset();

  const std::uint8_t kind = image.size() > kKindOffset ? image[kKindOffset] : 0;
  TNtdResult result = ReadTable(image);
  if (result.Ok) {
    SortByAutoInc();
    return result;
  }
  if (partialOpen_ && !IsUnreadable(result.Reason, kind)) {
    result.Ok = true;
    SortByAutoInc();
    return result;
  }
  ClearStore(true);
  return result;
}

TNtdResult TNtdCursor::ReadTable(std::span<std::uint8_t> image) {
  ByteReader in(image);
  std::uint32_t imageLength = 0;
  std::uint8_t kind = 0;
  if (!in.Read(imageLength) || !in.Read(kind)) return TNtdResult::Failure(reason::kCorruption);

  if (kind == kKindError) {
    // The stored text becomes a message: it crosses into UTF-8.
    const char* text = reinterpret_cast<const char*>(in.Current());
    return TNtdResult::Failure(platform::AnsiToUtf8(std::string_view(text, strnlen(text, in.Remaining()))));
  }
  if (kind != kKindPlain && kind != kKindEnciphered) return TNtdResult::Failure(reason::kCorruption);

  if (kind == kKindEnciphered) {
    TNtdHeaderBlock block;
    if (!in.Read(block.data(), block.size())) return TNtdResult::Failure(reason::kCorruption);
    if (!TNtdSession::Instance().UnlockTable(block, password_)) {
      return TNtdResult::Failure(reason::kInvalidPassword);
    }
    headerBlock_ = block;
    enciphered_ = true;
  }

  std::uint32_t declaredCount = 0;
  std::uint32_t fieldCount = 0;
  std::int32_t descriptionLength = 0;
  if (!in.Read(declaredCount) || !in.Read(fieldCount) || !in.Read(descriptionLength) ||
      descriptionLength < 0 || descriptionLength > kMaxDescriptionLength ||
      static_cast<std::size_t>(descriptionLength) > in.Remaining()) {
    return TNtdResult::Failure(reason::kCorruption);
  }
  const std::string_view section(reinterpret_cast<const char*>(in.Current()),
                                 static_cast<std::size_t>(descriptionLength));
  in.Skip(section.size());
  std::vector<TNtdField> fields;
  const TNtdResult parsed = ParseFieldDescriptions(section, fieldCount, fields);
  AdoptFields(std::move(fields));
  if (!parsed.Ok) return parsed;

  if (enciphered_) {
    TSapphire& cipher = TNtdSession::Instance().Cipher();
    cipher.SetKey(GuidTextOf(*headerBlock_));
    cipher.DecipherBuffer(image.data() + in.Position(), in.Remaining());
  }

  // Notes. The first byte of a record's length vector is never "*", so the
  // mark tells the two apart.
  const std::size_t needed = declaredCount != 0 ? std::max<std::size_t>(fieldCount, 1)
                                                : kNotesHeaderSize;
  if (in.Remaining() >= needed && *in.Current() == kNotesMark) {
    in.Skip(1);
    std::int16_t notesLength = 0;
    if (!in.Read(notesLength) || notesLength < 0 ||
        static_cast<std::size_t>(notesLength) > in.Remaining()) {
      return TNtdResult::Failure(reason::kCorruption);
    }
    const char* text = reinterpret_cast<const char*>(in.Current());
    notes_.assign(text, strnlen(text, static_cast<std::size_t>(notesLength)));
    in.Skip(static_cast<std::size_t>(notesLength));
  }
  return ReadRecords(in, declaredCount);
}

TNtdResult TNtdCursor::ReadRecords(ByteReader& in, std::uint32_t declaredCount) {
  std::uint32_t read = 0;
  int lastReported = 0;
  // A table without fields has no record bytes to read.
  while (!fields_.empty() && in.Remaining() >= fields_.size() && read < declaredCount) {
    RecordBuffer data = NewRecordBuffer();
    if (TNtdResult result = ReadRecord(fields_, in, read + 1, data); !result.Ok) return result;
    RecordEntry* record = arena_.Add();
    record->Data = std::move(data);
    record->ImageSize = MeasureRecord(record->Data);
    records_.push_back(record);
    ++read;
    ReportProgress(read, declaredCount, lastReported);
  }
  if (read != declaredCount) {
    return TNtdResult::Failure(FormatText(
        reason::kCountMismatch, {std::to_string(read), std::to_string(declaredCount)}));
  }
  return TNtdResult::Success();
}

void TNtdCursor::ReportProgress(std::size_t done, std::size_t total, int& lastReported) const {
  if (!progressHook_ || total == 0) return;
  // Halves go to the even neighbour (the default rounding mode).
  const int percent = static_cast<int>(std::nearbyint(100.0 * static_cast<double>(done) /
                                                      static_cast<double>(total)));
  if (percent == lastReported) return;
  lastReported = percent;
  progressHook_(percent);
}

void TNtdCursor::SortByAutoInc() {
  lastAutoIncValue_ = 0;
  if (autoIncField_ == nullptr || records_.empty()) return;
  SortEntries({autoIncField_}, false);
  const RecordEntry* last = records_.back();
  if (IsLive(last->State)) lastAutoIncValue_ = std::max(0, last->Data.Get<std::int32_t>(*autoIncField_));
}

}  // namespace tablefile
