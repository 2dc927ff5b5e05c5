#pragma once

// An in-memory registry for tests: keys and string values set by the test.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace platform::testing {

class MemoryRegistry : public Registry {
 public:
  // Creates the key (and its parents) without values.
  void AddKey(RootKey root, std::string_view key);

  // Sets a string value ("" = the default value), creating the key.
  void SetString(RootKey root, std::string_view key, std::string_view valueName,
                 std::string_view value);

  // Sets a value that is not a string: it exists, but ReadString answers nullopt.
  void SetNonString(RootKey root, std::string_view key, std::string_view valueName);

  bool KeyExists(RootKey root, std::string_view key) const override;
  std::optional<std::string> ReadString(RootKey root, std::string_view key,
                                        std::string_view valueName) const override;

 private:
  struct Value {
    bool isString = true;
    std::string text;
  };
  struct Key {
    std::map<std::string, Value> values;  // by upper-cased value name
  };
  // By root and normalised (upper-cased, trimmed) path.
  std::map<std::pair<RootKey, std::string>, Key> keys_;
};

}  // namespace platform::testing
