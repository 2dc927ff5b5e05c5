#include "tablefile/field_descriptions.h"

#include <algorithm>
#include <charconv>

namespace tablefile {
namespace {

std::string StoredName(std::string name) {
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

std::string TypeDescription(const TNtdField& field) {
  switch (field.StorageType) {
    case TNtdStorageType::SmallStr: return std::string(1, SmallStrDigit(field.DeclaredSize));
    case TNtdStorageType::String: return "s" + std::to_string(field.DeclaredSize);
    default: return std::string(1, DescriptionLetter(field.StorageType));
  }
}

// The declared length of a String: the digits between the letter and the
// "~" part. No digits at all means the engine's default length; a number
// beyond the 16 bits of a field entry is not a length.
bool ParseStringLength(std::string_view digits, std::int32_t& length) {
  if (digits.empty()) {
    length = kBareStringLength;
    return true;
  }
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
  return error == std::errc() && end == digits.data() + digits.size() && length >= 0 &&
         length <= kMaxDeclaredLength;
}

// One entry, without its 0x12.
TNtdResult ParseEntry(std::string_view entry, TNtdField& field) {
  const std::size_t blank = entry.find(' ');
  if (blank == std::string_view::npos || blank + 1 >= entry.size()) {
    return TNtdResult::Failure(reason::kBadDescription);
  }
  const std::string_view qualified = entry.substr(0, blank);
  const char letter = entry[blank + 1];
  if (const std::size_t dot = qualified.find('.'); dot != std::string_view::npos) {
    field.TablePrefix = qualified.substr(0, dot);
    field.Name = qualified.substr(dot + 1);
  } else {
    field.Name = qualified;
  }
  const std::size_t tilde = entry.find('~');
  if (tilde != std::string_view::npos) {
    const std::string_view texts = entry.substr(tilde + 1);
    const std::size_t second = texts.find('~');
    if (second != std::string_view::npos) {
      field.DefaultText = texts.substr(0, second);
      field.ExtraText = texts.substr(second + 1);
    } else {
      field.ExtraText = texts;
    }
  }
  field.OrderByLength = LetterOrdersByLength(letter);
  if (const auto type = TypeOfLetter(letter)) {
    field.StorageType = *type;
    if (*type == TNtdStorageType::String) {
      const std::size_t digitsEnd = std::min(tilde, entry.size());
      if (!ParseStringLength(entry.substr(blank + 2, digitsEnd - (blank + 2)), field.DeclaredSize)) {
        return TNtdResult::Failure(reason::kCorruption);
      }
    }
  } else if (const auto size = SmallStrSizeOfDigit(letter)) {
    field.StorageType = TNtdStorageType::SmallStr;
    field.DeclaredSize = *size;
  } else {
    return TNtdResult::Failure(reason::kBadDescription);
  }
  field.BufferSize = SlotSize(field.StorageType, field.DeclaredSize);
  return TNtdResult::Success();
}

}  // namespace

std::string BuildFieldDescriptions(const std::vector<TNtdField>& fields) {
  std::string section;
  for (const TNtdField& field : fields) {
    section += field.TablePrefix;
    section += '.';
    section += StoredName(field.Name);
    section += ' ';
    section += TypeDescription(field);
    if (!field.DefaultText.empty() || !field.ExtraText.empty()) {
      section += '~' + field.DefaultText + '~' + field.ExtraText;
    }
    section += static_cast<char>(kEntryEnd);
  }
  section += static_cast<char>(kSectionEnd);
  return section;
}

TNtdResult ParseFieldDescriptions(std::string_view section, std::uint32_t count,
                                  std::vector<TNtdField>& fields) {
  fields.clear();
  std::size_t position = 0;
  for (std::uint32_t i = 0; i < count && position < section.size(); ++i) {
    const std::size_t end = section.find(static_cast<char>(kEntryEnd), position);
    if (end == std::string_view::npos || end == position) {
      return TNtdResult::Failure(reason::kBadDescription);
    }
    TNtdField field;
    if (TNtdResult entry = ParseEntry(section.substr(position, end - position), field); !entry.Ok) {
      return entry;
    }
    fields.push_back(std::move(field));
    position = end + 1;
  }
  // A section that ends before every declared field is described cannot be
  // matched with the records' length vectors.
  if (fields.size() != count) return TNtdResult::Failure(reason::kBadDescription);
  return TNtdResult::Success();
}

std::uint32_t AssignSlots(std::vector<TNtdField>& fields) {
  std::uint32_t offset = 0;
  int largeIndex = 0;
  for (TNtdField& field : fields) {
    field.Offset = offset;
    offset += field.BufferSize;
    field.LargeIndex = IsReferenceType(field.StorageType) ? largeIndex++ : -1;
  }
  return offset;
}

}  // namespace tablefile
