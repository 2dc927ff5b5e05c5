// Enciphered table images: the cipher, the header block and the password search.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/guids.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/sequence_guid_source.h"
#include "tablefile/crc16.h"
#include "tablefile/header_block.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_session.h"
#include "tablefile/sapphire.h"
#include "tablefile/tests/image_bytes.h"

namespace tablefile {
namespace {

using platform::testing::ScriptedDialogs;
using testing::AddRecord;
using testing::ImageOf;
using Type = TNtdStorageType;

TEST(Crc16Modbus, CheckValueAndSelfCheck) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc16Modbus(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0x4B37);
  const TNtdHeaderBlock block = MakeHeaderBlock("{8B1A3C2D-0000-4000-8000-00AA00BB00CC}");
  EXPECT_TRUE(HeaderBlockIsValid(block));
}

TEST(Sapphire, DecipheringWithTheSameKeyRestoresTheBytes) {
  const std::string longKey(300, 'k');  // longer than 255 characters: every character counts
  for (const std::string& key : {std::string("geheim"), longKey}) {
    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<std::uint8_t> plain = data;
    TSapphire cipher;
    cipher.SetKey(key);
    cipher.EncipherBuffer(data.data(), 400);
    cipher.EncipherBuffer(data.data() + 400, 600);  // one continuous pass in two pieces
    EXPECT_NE(data, plain);
    cipher.SetKey(key);
    cipher.DecipherBuffer(data.data(), data.size());
    EXPECT_EQ(data, plain);
  }
  std::vector<std::uint8_t> a(64, 0);
  std::vector<std::uint8_t> b(64, 0);
  TSapphire cipher;
  cipher.SetKey(longKey);
  cipher.EncipherBuffer(a.data(), a.size());
  cipher.SetKey(longKey.substr(0, 299) + "K");
  cipher.EncipherBuffer(b.data(), b.size());
  EXPECT_NE(a, b) << "the last character of a long key matters";
}

class EncipheredTable : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.SetOnAskPassword([this](std::string& password) {
      ++prompts_;
      (void)password;
      return false;
    });
    cursor_.DefineFields({MakeNtdField("Name", Type::String, 50), MakeNtdField("Kcal", Type::Double)});
    cursor_.SetNotes("vertraulich");
    for (int i = 0; i < 20; ++i) {
      AddRecord(cursor_, [&](RecordBuffer& row) {
        row.LargeValue(*cursor_.Field(0)) = "Lebensmittel " + std::to_string(i);
        row.Put<double>(*cursor_.Field(1), 10.5 * i);
      });
    }
  }
  void TearDown() override { session_.SetOnAskPassword(nullptr); }

  std::size_t BodyOffset() const { return 57 + cursor_.BuildFieldDescriptions().size(); }

  TNtdResult ReadWith(std::vector<std::uint8_t> image, const std::string& password, TNtdCursor& into) {
    into.SetPassword(password);
    return into.ReadImage(image);
  }

  TNtdSession& session_ = TNtdSession::Instance();
  TNtdCursor cursor_;
  int prompts_ = 0;
};

TEST_F(EncipheredTable, RoundTripsWithTheRightPasswordAndIsRefusedWithAWrongOne) {
  const std::vector<std::uint8_t> plain = ImageOf(cursor_);
  cursor_.SetPassword("geheim");
  const std::vector<std::uint8_t> image = ImageOf(cursor_);
  ASSERT_EQ(image.size(), plain.size() + 40);
  EXPECT_EQ(image[4], 'P');
  EXPECT_EQ(image.size(), cursor_.EstimateImageSize());
  EXPECT_NE(std::vector<std::uint8_t>(image.begin() + BodyOffset(), image.end()),
            std::vector<std::uint8_t>(plain.begin() + BodyOffset() - 40, plain.end()));

  TNtdCursor back;
  ASSERT_TRUE(ReadWith(image, "geheim", back).Ok);
  EXPECT_TRUE(back.Enciphered());
  EXPECT_EQ(back.Notes(), "vertraulich");
  ASSERT_EQ(back.RecordCount(), 20u);
  EXPECT_EQ(back.Record(19)->Data.LargeValue(*back.Field(0)), "Lebensmittel 19");
  EXPECT_EQ(back.Record(19)->Data.Get<double>(*back.Field(1)), 199.5);

  TNtdCursor refused;
  EXPECT_EQ(ReadWith(image, "Geheim", refused).Reason, "Invalid password. Table cannot be open");
  EXPECT_EQ(prompts_, 1) << "a wrong password falls through to the prompt";
  EXPECT_EQ(refused.FieldCount(), 0u);
}

TEST_F(EncipheredTable, EverySaveHasANewGuidAndOtherEncipheredBytes) {
  platform::testing::SequenceGuidSource guids({});
  platform::ScopedGuidSource scope(guids);
  cursor_.SetPassword("geheim");
  const std::vector<std::uint8_t> first = ImageOf(cursor_);
  const TNtdHeaderBlock firstBlock = *cursor_.HeaderBlock();
  const std::vector<std::uint8_t> second = ImageOf(cursor_);
  EXPECT_NE(GuidTextOf(firstBlock), GuidTextOf(*cursor_.HeaderBlock()));
  ASSERT_EQ(first.size(), second.size());
  EXPECT_FALSE(std::equal(first.begin() + 5, first.begin() + 43, second.begin() + 5));
  std::size_t differing = 0;
  for (std::size_t i = BodyOffset(); i < first.size(); ++i) differing += first[i] != second[i];
  EXPECT_GT(differing, (first.size() - BodyOffset()) * 9 / 10);
}

TEST_F(EncipheredTable, DamagedOrMalformedHeaderBlocksOpenWithNoPassword) {
  cursor_.SetPassword("geheim");
  const std::vector<std::uint8_t> image = ImageOf(cursor_);
  for (const std::size_t crcByte : {5u + 38u, 5u + 39u}) {
    std::vector<std::uint8_t> damaged = image;
    damaged[crcByte] ^= 0x01;
    TNtdCursor back;
    EXPECT_EQ(ReadWith(damaged, "geheim", back).Reason, "Invalid password. Table cannot be open");
  }
  // A block whose text has a matching CRC but does not start with "{".
  TNtdHeaderBlock block = MakeHeaderBlock("X8B1A3C2D-0000-4000-8000-00AA00BB00CC}");
  ASSERT_EQ(Crc16Modbus(block.data(), block.size()), 0);
  TSapphire& cipher = session_.Cipher();
  cipher.SetKey("geheim");
  cipher.EncipherBuffer(block.data(), 38);
  EXPECT_FALSE(session_.TryPassword("geheim", block));
}

class PasswordSearch : public EncipheredTable {
 protected:
  void SetUp() override {
    EncipheredTable::SetUp();
    session_.SetOnAskPassword(nullptr);
    cursor_.SetPassword("Kennwort");
    image_ = ImageOf(cursor_);
  }
  void TearDown() override {
    for (const std::string& password : std::vector<std::string>(session_.Passwords())) {
      session_.RemovePassword(password);
    }
    EncipheredTable::TearDown();
  }

  ScriptedDialogs dialogs_;
  platform::ScopedDialogs scope_{dialogs_};
  std::vector<std::uint8_t> image_;
};

TEST_F(PasswordSearch, ARegisteredPasswordOpensWithoutAsking) {
  session_.AddPassword("anderes");
  session_.AddPassword("kennwort");  // letter case does not matter for the registry...
  session_.AddPassword("KENNWORT");
  EXPECT_EQ(session_.Passwords(), (std::vector<std::string>{"anderes", "kennwort"}));
  TNtdCursor back;
  // ...but it does for the cipher: only the exact spelling opens the table.
  dialogs_.PushPassword({false, ""});
  EXPECT_FALSE(ReadWith(image_, "", back).Ok);
  EXPECT_EQ(dialogs_.Requests().size(), 1u);
  dialogs_.ClearRequests();

  session_.AddPassword("Kennwort");  // same entry as "kennwort": not added
  session_.RemovePassword("KENNWORT");
  session_.AddPassword("Kennwort");
  ASSERT_TRUE(ReadWith(image_, "", back).Ok);
  EXPECT_EQ(back.Password(), "Kennwort");
  EXPECT_TRUE(dialogs_.Requests().empty());
}

TEST_F(PasswordSearch, TheUserIsAskedAfterTheRegistryAndATypedPasswordIsRemembered) {
  dialogs_.PushPassword({true, "falsch"});
  dialogs_.PushPassword({true, "Kennwort"});
  TNtdCursor back;
  ASSERT_TRUE(ReadWith(image_, "", back).Ok);
  EXPECT_EQ(dialogs_.MessageTexts(), std::vector<std::string>{"Das Passwort ist falsch !"});
  EXPECT_EQ(dialogs_.Requests()[2].password, "falsch") << "the next prompt shows the last typed text";
  EXPECT_EQ(session_.Passwords(), std::vector<std::string>{"Kennwort"});
}

TEST_F(PasswordSearch, TwoWrongPasswordsAndACancelFailTheRead) {
  dialogs_.PushPassword({true, "eins"});
  dialogs_.PushPassword({true, "zwei"});
  dialogs_.PushPassword({false, ""});
  TNtdCursor back;
  EXPECT_EQ(ReadWith(image_, "", back).Reason, "Invalid password. Table cannot be open");
  EXPECT_EQ(dialogs_.MessageTexts(),
            (std::vector<std::string>{"Das Passwort ist falsch !", "Das Passwort ist falsch !"}));
  EXPECT_TRUE(session_.Passwords().empty());
}

TEST_F(PasswordSearch, AWrongPasswordHandlerCanStopTheQuestions) {
  std::vector<std::pair<std::string, bool>> told;
  session_.SetOnWrongPassword([&](const std::string& password, bool& mayRetry) {
    told.emplace_back(password, mayRetry);
    mayRetry = false;
  });
  session_.SetPasswordAttempts(0);  // counts as three
  dialogs_.PushPassword({true, "eins"});
  TNtdCursor back;
  EXPECT_FALSE(ReadWith(image_, "", back).Ok);
  session_.SetOnWrongPassword(nullptr);
  session_.SetPasswordAttempts(3);
  EXPECT_EQ(told, (std::vector<std::pair<std::string, bool>>{{"eins", true}}));
  EXPECT_TRUE(dialogs_.MessageTexts().empty());
}

}  // namespace
}  // namespace tablefile
