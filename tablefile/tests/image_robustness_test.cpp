// Damaged images: every one must end in a table or a reason text, never in a
// crash, a hang or a leak. Run under AddressSanitizer by the test script.

#include <gtest/gtest.h>

#include <random>

#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_session.h"
#include "tablefile/tests/image_bytes.h"

namespace tablefile {
namespace {

using testing::AddRecord;
using Type = TNtdStorageType;

constexpr int kDamagedImages = 100'000;

// A table with every storage type, notes, a few records, and optionally a password.
std::vector<std::uint8_t> SeedImage(const std::string& password) {
  TNtdCursor cursor;
  std::vector<TNtdField> fields;
  for (int code = 1; code <= 16; ++code) {
    const auto type = static_cast<Type>(code);
    fields.push_back(MakeNtdField("F" + std::to_string(code), type,
                                  type == Type::SmallStr ? 12 : (type == Type::String ? 40 : 0)));
  }
  cursor.DefineFields(fields);
  cursor.SetNotes("notes");
  cursor.SetPassword(password);
  for (int i = 1; i <= 4; ++i) {
    AddRecord(cursor, [&](RecordBuffer& row) {
      const auto& f = cursor.Fields();
      row.Put<std::int16_t>(f[0], static_cast<std::int16_t>(i));
      row.Put<std::int64_t>(f[2], i * 1'000'000'007LL);
      row.Put<double>(f[4], i / 3.0);
      row.Put<std::int32_t>(f[6], 730'000 + i);
      row.PutSmallText(f[10], "row " + std::to_string(i));
      row.LargeValue(f[11]) = std::string(static_cast<std::size_t>(i * 7), 'x');
      row.LargeValue(f[12]) = std::string(static_cast<std::size_t>(i), '\xAB');
      row.LargeValue(f[13]) = "memo";
    });
  }
  std::vector<std::uint8_t> image;
  cursor.WriteImage(image);
  return image;
}

void Damage(std::vector<std::uint8_t>& image, std::mt19937& random) {
  auto position = [&] { return std::uniform_int_distribution<std::size_t>(0, image.size() - 1)(random); };
  switch (random() % 4) {
    case 0:  // truncation
      image.resize(position());
      break;
    case 1:  // flipped bytes
      for (unsigned n = 1 + random() % 8; n > 0; --n) image[position()] ^= static_cast<std::uint8_t>(1 + random() % 255);
      break;
    case 2: {  // a huge or negative length somewhere
      static constexpr std::uint32_t kHuge[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x0001FFFF, 99'999, 100'000};
      const std::uint32_t value = kHuge[random() % std::size(kHuge)];
      const std::size_t at = position();
      for (std::size_t i = 0; i < 4 && at + i < image.size(); ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
    }
    default: {  // bytes cut out of the middle
      const std::size_t from = position();
      const std::size_t count = std::min<std::size_t>(1 + random() % 16, image.size() - from);
      image.erase(image.begin() + static_cast<std::ptrdiff_t>(from), image.begin() + static_cast<std::ptrdiff_t>(from + count));
    }
  }
}

TEST(ImageRobustness, DamagedImagesEndInATableOrAReason) {
  TNtdSession& session = TNtdSession::Instance();
  session.SetOnAskPassword([](std::string&) { return false; });
  const std::vector<std::vector<std::uint8_t>> seeds{SeedImage(""), SeedImage("geheim")};
  std::mt19937 random(20240611);
  int opened = 0;
  for (int i = 0; i < kDamagedImages; ++i) {
    std::vector<std::uint8_t> image = seeds[i % 2];
    Damage(image, random);
    TNtdCursor cursor;
    cursor.SetPassword(i % 2 == 1 ? "geheim" : "");
    cursor.SetPartialOpen(i % 3 == 0);
    const TNtdResult result = cursor.ReadImage(image);
    if (!result.Ok) {
      ASSERT_FALSE(result.Reason.empty() && image.size() > 5 && image[4] != 'E') << "image " << i;
      continue;
    }
    ++opened;
    // Whatever was read must write back to exactly the size estimated.
    std::vector<std::uint8_t> rewritten;
    ASSERT_EQ(cursor.WriteImage(rewritten), cursor.EstimateImageSize()) << "image " << i;
  }
  session.SetOnAskPassword(nullptr);
  EXPECT_GT(opened, kDamagedImages / 20) << "damage should leave some images readable";
}

}  // namespace
}  // namespace tablefile
