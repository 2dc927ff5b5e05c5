// Every way the image reader refuses an image, with its reason text.

#include <gtest/gtest.h>

#include "tablefile/ntd_cursor.h"
#include "tablefile/tests/image_bytes.h"

namespace tablefile {
namespace {

using testing::Entry;
using testing::ImageBytes;

TNtdResult Read(ImageBytes& bytes, bool partialOpen = false) {
  TNtdCursor cursor;
  cursor.SetPartialOpen(partialOpen);
  return cursor.ReadImage(bytes.Data());
}

std::string Section(std::initializer_list<const char*> entries) {
  std::string section;
  for (const char* entry : entries) section += Entry(entry);
  return section + "\x14";
}

TEST(ImageReaderFailures, StructureOfTheHeader) {
  ImageBytes unknownKind;
  unknownKind.U32(0).Byte('X');
  EXPECT_EQ(Read(unknownKind).Reason, "Buffer structure corruption!");

  ImageBytes truncated;
  truncated.U32(0).Byte('S').U32(0);
  EXPECT_EQ(Read(truncated).Reason, "Buffer structure corruption!");

  ImageBytes errorImage;
  errorImage.U32(0).Byte('E').Text("Tabelle f\xFCr Import gesperrt").Byte(0).Text("rest");
  EXPECT_EQ(Read(errorImage).Reason, "Tabelle für Import gesperrt") << "stored text, read as a message";
  EXPECT_FALSE(Read(errorImage, true).Ok) << "an error image has nothing to open partially";

  ImageBytes badLength;
  badLength.PlainHeader(0, 1, "XXX.Size sABC\x12\x14");
  EXPECT_EQ(Read(badLength).Reason, "Buffer structure corruption!");

  // Each text value the record-set reads is sized by the declared length.
  ImageBytes longestLength;
  longestLength.PlainHeader(0, 1, Section({"Size s32767"}));
  EXPECT_TRUE(Read(longestLength).Ok);
  ImageBytes hugeLength;
  hugeLength.PlainHeader(0, 1, Section({"Size s600000000"}));
  EXPECT_EQ(Read(hugeLength).Reason, "Buffer structure corruption!");

  ImageBytes notesPastEnd;  // the notes claim 40 bytes, 3 follow
  notesPastEnd.PlainHeader(0, 1, Section({"N i"})).Byte('*').I16(40).Text("abc");
  EXPECT_EQ(Read(notesPastEnd).Reason, "Buffer structure corruption!");
}

TEST(ImageReaderFailures, DescriptionSectionLengthLimit) {
  std::string section = Section({"N i"});
  section.resize(99'999, '\x14');
  ImageBytes largest;
  largest.PlainHeader(0, 1, section);
  EXPECT_TRUE(Read(largest).Ok);

  section.push_back('\x14');
  ImageBytes tooLarge;
  tooLarge.PlainHeader(0, 1, section);
  EXPECT_EQ(Read(tooLarge).Reason, "Buffer structure corruption!");
}

TEST(ImageReaderFailures, FieldDescriptionEntries) {
  ImageBytes missingEntry;
  missingEntry.PlainHeader(0, 3, Section({"A i", "B i"}));
  EXPECT_EQ(Read(missingEntry).Reason, "Error in buffer structure (field description section)");

  ImageBytes emptyEntry;
  emptyEntry.PlainHeader(0, 2, Entry("A i") + "\x12\x14");
  EXPECT_EQ(Read(emptyEntry).Reason, "Error in buffer structure (field description section)");

  ImageBytes unknownLetter;
  unknownLetter.PlainHeader(0, 1, Section({"A #"}));
  EXPECT_EQ(Read(unknownLetter).Reason, "Error in buffer structure (field description section)");

  ImageBytes extraEntry;
  extraEntry.PlainHeader(0, 2, Section({"A i", "B i", "C i"}));
  TNtdCursor cursor;
  ASSERT_TRUE(cursor.ReadImage(extraEntry.Data()).Ok);
  EXPECT_EQ(cursor.FieldCount(), 2u);
}

TEST(ImageReaderFailures, RecordLengths) {
  ImageBytes insideLengths;
  insideLengths.PlainHeader(1, 2, Section({"A i", "B i"})).Byte(4);
  // One byte left is fewer than the two length bytes a record needs: no record is read.
  EXPECT_EQ(Read(insideLengths).Reason,
            "Number of records read (0) does not match declared record count (1)");

  ImageBytes insideFirstValue;
  insideFirstValue.PlainHeader(1, 2, Section({"A i", "B i"})).Byte(4).Byte(4).Byte(1);
  EXPECT_EQ(Read(insideFirstValue).Reason, "Unexpected end of buffer");

  ImageBytes wrongFixed;
  wrongFixed.PlainHeader(1, 1, Section({"Gr\xF6\xDF" "e i"})).Byte(5).Text("12345");
  EXPECT_EQ(Read(wrongFixed).Reason, "Field 'Größe' has wrong length 5 in record 1");

  ImageBytes wrongSmallStr;  // declared length 3: its slot holds 4 bytes, 4 characters do not fit
  wrongSmallStr.PlainHeader(1, 1, Section({"Kurz 3"})).Byte(4).Text("abcd");
  EXPECT_EQ(Read(wrongSmallStr).Reason, "Field 'Kurz' has wrong length 4 in record 1");

  ImageBytes wrongReference;
  wrongReference.PlainHeader(2, 1, Section({"Name s"})).Byte(0).Byte(3).Text("abc");
  EXPECT_EQ(Read(wrongReference).Reason, "Field 'Name' has wrong length 3 in record 2");
}

TEST(ImageReaderFailures, ReferenceDataLengths) {
  const std::string text(8'191, 'x');
  ImageBytes longest;
  longest.PlainHeader(1, 1, Section({"Name s"})).Byte(4).U32(8'191).Text(text);
  TNtdCursor cursor;
  ASSERT_TRUE(cursor.ReadImage(longest.Data()).Ok);
  EXPECT_EQ(cursor.Record(0)->Data.LargeValue(*cursor.Field(0)).size(), 8'191u);

  ImageBytes tooLong;
  tooLong.PlainHeader(1, 1, Section({"Name s"})).Byte(4).U32(8'192).Text(text + "x");
  EXPECT_EQ(Read(tooLong).Reason, "String field 'Name' has wrong length 8192 in record 1");

  ImageBytes hugeBlob;
  hugeBlob.PlainHeader(1, 1, Section({"Bild o"})).Byte(4).U32(1u << 30);
  EXPECT_EQ(Read(hugeBlob).Reason, "BLOB field 'Bild' has wrong length 1073741824 in record 1");
}

TEST(ImageReaderFailures, DataEndingInsideALaterFieldKeepsTheRecord) {
  ImageBytes bytes;
  bytes.PlainHeader(1, 2, Section({"A i", "B s"})).Byte(4).Byte(4).U32(9).U32(20).Text("short");
  TNtdCursor cursor;
  ASSERT_TRUE(cursor.ReadImage(bytes.Data()).Ok);
  ASSERT_EQ(cursor.RecordCount(), 1u);
  EXPECT_EQ(cursor.Record(0)->Data.Get<std::int32_t>(*cursor.Field(0)), 9);
  EXPECT_EQ(cursor.Record(0)->Data.LargeValue(*cursor.Field(1)), "");
}

TEST(ImageReaderFailures, RecordCountMismatchAndPartialOpening) {
  ImageBytes bytes;
  bytes.PlainHeader(2, 1, Section({"N i"})).Byte(4).U32(1);
  TNtdCursor strict;
  const TNtdResult failed = strict.ReadImage(bytes.Data());
  EXPECT_FALSE(failed.Ok);
  EXPECT_EQ(failed.Reason, "Number of records read (1) does not match declared record count (2)");
  EXPECT_EQ(strict.FieldCount(), 0u) << "a failed read leaves the store empty";

  TNtdCursor partial;
  partial.SetPartialOpen(true);
  const TNtdResult opened = partial.ReadImage(bytes.Data());
  EXPECT_TRUE(opened.Ok);
  EXPECT_EQ(opened.Reason, failed.Reason);
  EXPECT_EQ(partial.RecordCount(), 1u);
}

}  // namespace
}  // namespace tablefile
