#include "platform/testing/memory_registry.h"

#include "platform/text_case.h"

namespace platform::testing {
void MemoryRegistry::AddKey(RootKey root, std::string_view key) {
  std::string path = NormaliseRegistryKey(key);
  // Parents exist whenever a child does, as in the real registry.
  for (std::size_t pos = path.find('\\'); pos != std::string::npos;
       pos = path.find('\\', pos + 1)) {
    keys_.try_emplace({root, path.substr(0, pos)});
  }
  keys_.try_emplace({root, std::move(path)});
}

void MemoryRegistry::SetString(RootKey root, std::string_view key, std::string_view valueName,
                               std::string_view value) {
  AddKey(root, key);
  keys_[{root, NormaliseRegistryKey(key)}].values[AnsiUpperCase(valueName)] = {true, std::string(value)};
}

void MemoryRegistry::SetNonString(RootKey root, std::string_view key,
                                  std::string_view valueName) {
  AddKey(root, key);
  keys_[{root, NormaliseRegistryKey(key)}].values[AnsiUpperCase(valueName)] = {false, {}};
}

bool MemoryRegistry::KeyExists(RootKey root, std::string_view key) const {
  return keys_.contains({root, NormaliseRegistryKey(key)});
}

std::optional<std::string> MemoryRegistry::ReadString(RootKey root, std::string_view key,
                                                      std::string_view valueName) const {
  const auto keyIt = keys_.find({root, NormaliseRegistryKey(key)});
  if (keyIt == keys_.end()) return std::nullopt;
  const auto valueIt = keyIt->second.values.find(AnsiUpperCase(valueName));
  if (valueIt == keyIt->second.values.end() || !valueIt->second.isString) return std::nullopt;
  return valueIt->second.text;
}

}  // namespace platform::testing
