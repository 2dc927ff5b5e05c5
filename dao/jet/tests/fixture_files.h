#pragma once

// The Access-made and Nutaro-shaped fixture databases, for the write side's
// tests: their paths and their raw bytes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dao::jet::testing {

// Every .mdb file below the fixture folder's access/ and nutaro/ folders,
// sorted; empty when the fixture folder is absent.
std::vector<std::filesystem::path> FixtureDatabases();
// The whole file.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace dao::jet::testing
