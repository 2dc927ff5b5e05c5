// What every DAO object shares with the DBEngine that made it, and the one
// place where engine failures become DaoErrors: Guarded runs an operation
// and records any failure in DBEngine::Errors before it propagates.
#pragma once

#include <memory>
#include <new>
#include <string>

#include "dao/dao_error.h"
#include "dao/errors.h"
#include "dao/jet/jet_error.h"
#include "platform/errors.h"

namespace dao {

struct EngineState {
  Errors errors;
};

using EngineLink = std::shared_ptr<EngineState>;

// VBA's numbers for failures that are not DAO's own.
inline constexpr int kErrOutOfMemory = 7;
inline constexpr int kErrTypeMismatch = 13;

// Throws DaoError(`number`, `source`, `description`); inside Guarded it is
// recorded on its way out.
[[noreturn]] inline void Raise(int number, const char* source, const std::string& description) {
  throw DaoError(number, source, description);
}

// Runs `action` and returns its result. A DaoError, an engine error, an
// allocation failure or a value conversion failure leaves as a DaoError of
// `source` that is also recorded in `engine`'s Errors.
template <class Action>
auto Guarded(EngineState& engine, const char* source, Action&& action) -> decltype(action()) {
  try {
    return action();
  } catch (const DaoError& error) {
    engine.errors.Record(error.Info());
    throw;
  } catch (const jet::JetError& error) {
    DaoError converted(error.Number(), source, error.what());
    engine.errors.Record(converted.Info());
    throw converted;
  } catch (const std::bad_alloc&) {
    DaoError converted(kErrOutOfMemory, source, "Out of memory.");
    engine.errors.Record(converted.Info());
    throw converted;
  } catch (const platform::ConversionError& error) {
    DaoError converted(kErrTypeMismatch, source, error.what());
    engine.errors.Record(converted.Info());
    throw converted;
  }
}

}  // namespace dao
