// Writing the record store as a table image, and into a file.

#include <cmath>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/guids.h"
#include "tablefile/byte_io.h"
#include "tablefile/field_descriptions.h"
#include "tablefile/header_block.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_session.h"
#include "tablefile/record_codec.h"

namespace tablefile {
namespace {

constexpr char kBackupExtension[] = ".~d";

std::size_t HeaderSize(bool enciphered) {
  return kPlainCountOffset + (enciphered ? kHeaderBlockSize : 0);
}

// Whether two names lead to one file: "./a.ntd" and "a.ntd", or a link and
// its target, are the same.
bool IsSameFileName(const std::string& a, const std::string& b) {
  std::error_code failedA;
  std::error_code failedB;
  const auto canonicalA = std::filesystem::weakly_canonical(a, failedA);
  const auto canonicalB = std::filesystem::weakly_canonical(b, failedB);
  if (failedA || failedB) return a == b;
  return canonicalA == canonicalB;
}

}  // namespace

std::string TNtdCursor::BuildFieldDescriptions() const {
  return tablefile::BuildFieldDescriptions(fields_);
}

std::uint32_t TNtdCursor::MeasureRecord(const RecordBuffer& record) const {
  return tablefile::MeasureRecord(fields_, record);
}

std::uint64_t TNtdCursor::EstimateImageSize() const {
  std::uint64_t size = HeaderSize(!password_.empty()) + kCountsSize + BuildFieldDescriptions().size();
  if (!notes_.empty()) size += kNotesHeaderSize + std::min(notes_.size(), kMaxNotesLength);
  for (const RecordEntry* record : records_) {
    if (IsLive(record->State)) size += record->ImageSize;
  }
  return size;
}

std::uint32_t TNtdCursor::WriteImage(std::vector<std::uint8_t>& image) {
  const std::uint64_t estimate = EstimateImageSize();
  if (estimate > std::numeric_limits<std::uint32_t>::max()) {
    // The image length field has 32 bits; a larger table cannot be described.
    throw std::length_error("Table image exceeds 4 GB");
  }
  const bool encipher = !password_.empty();
  ByteWriter out(image, static_cast<std::size_t>(estimate));
  out.Append(std::uint32_t{0});
  out.Append(encipher ? kKindEnciphered : kKindPlain);

  TSapphire& cipher = TNtdSession::Instance().Cipher();
  if (encipher) {
    headerBlock_ = MakeHeaderBlock(platform::GuidToString(platform::NewGuid()));
    TNtdHeaderBlock written = *headerBlock_;
    cipher.SetKey(PasswordKey(password_));
    cipher.EncipherBuffer(written.data(), kGuidTextLength);
    out.Append(written.data(), written.size());
  }
  enciphered_ = encipher;

  const std::size_t countOffset = out.Position();
  const std::string descriptions = BuildFieldDescriptions();
  out.Append(std::uint32_t{0});
  out.Append(static_cast<std::uint32_t>(fields_.size()));
  out.Append(static_cast<std::int32_t>(descriptions.size()));
  out.Append(descriptions.data(), descriptions.size());
  const std::size_t bodyOffset = out.Position();

  if (!notes_.empty()) {
    // Longer notes cannot be described by the i16 length; they are cut.
    const std::size_t length = std::min(notes_.size(), kMaxNotesLength);
    out.Append(kNotesMark);
    out.Append(static_cast<std::int16_t>(length));
    out.Append(notes_.data(), length);
  }

  std::uint32_t written = 0;
  int lastReported = 0;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    const RecordEntry& record = *records_[i];
    if (!IsLive(record.State)) continue;
    WriteRecord(fields_, record.Data, out);
    ++written;
    ReportProgress(i + 1, records_.size(), lastReported);
  }
  out.Patch(countOffset, written);
  const std::uint32_t length = static_cast<std::uint32_t>(out.Position());
  out.Patch(0, length);
  out.Finish();

  if (encipher) {
    cipher.SetKey(GuidTextOf(*headerBlock_));
    cipher.EncipherBuffer(image.data() + bodyOffset, image.size() - bodyOffset);
  }
  return length;
}

void TNtdCursor::WriteFile(const std::string& fileName, TNtdSaveOptions options,
                           bool caseInsensitive, std::string_view indexFieldNames) {
  if ((options & savSortOnIndex) != 0) SortRecords(indexFieldNames, caseInsensitive);
  std::vector<std::uint8_t> image;
  WriteImage(image);
  const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  const bool toSource = !sourcePath_.empty() && IsSameFileName(fileName, sourcePath_);
  const std::string backup = (options & savAutoBackup) != 0
                                 ? std::filesystem::path(fileName).replace_extension(kBackupExtension).string()
                                 : std::string();
  platform::SaveFile(fileName, bytes, toSource ? &sourceVersion_ : nullptr, backup);
  if (toSource) sourceVersion_ = platform::VersionOf(bytes);
}

void TNtdCursor::SetSourceFile(std::string path, const platform::FileVersion& version) {
  sourcePath_ = std::move(path);
  sourceVersion_ = version;
}

}  // namespace tablefile
