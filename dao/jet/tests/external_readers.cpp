#include "dao/jet/tests/external_readers.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace dao::jet::testing {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string NodeModules() {
  const char* fromEnvironment = std::getenv("NUTARO_NODE_MODULES");
  return fromEnvironment ? fromEnvironment : std::string(NUTARO_SOURCE_DIR) + "/testing/js/node_modules";
}

}  // namespace

std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

bool HaveMdbTools() { return RunCommand("command -v mdb-export >/dev/null 2>&1").has_value(); }

bool HaveMdbReader() {
  return RunCommand("command -v node >/dev/null 2>&1").has_value() &&
         std::filesystem::exists(NodeModules() + "/mdb-reader");
}

std::optional<std::string> MdbTables(const std::string& file, bool withSystemTables) {
  return RunCommand(std::string("mdb-tables -1 ") + (withSystemTables ? "-S " : "") + Quote(file) + " 2>/dev/null");
}

std::optional<std::string> MdbExport(const std::string& file, const std::string& table) {
  return RunCommand("LC_ALL=C.UTF-8 mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex -0 NULL " +
                    Quote(file) + " " + Quote(table) + " 2>/dev/null");
}

std::optional<std::string> MdbReaderJson(const std::string& file, const std::string& table) {
  const std::string script = std::string(NUTARO_SOURCE_DIR) + "/testing/js/mdb-reader-dump.mjs";
  return RunCommand("NODE_PATH=" + Quote(NodeModules()) + " node " + Quote(script) + " " + Quote(file) +
                    " --system " + Quote(table) + " 2>/dev/null");
}

}  // namespace dao::jet::testing
