#pragma once
// Invariant checks of ordered, counted and linked structures. Each such structure has
// `void CheckConsistency() const` beside it, which raises EInternalError naming the structure
// and the broken rule. Tests and fuzz targets call it after every step; debug and sanitizer
// builds call it after each public mutation through DEBUG_CHECK_CONSISTENCY, which release
// builds compile away.
#include <string>

#include "platform/rtl/Exceptions.h"

// A broken internal rule: a fault of the library, never of the caller's data.
class EInternalError : public Exception {
 public:
  explicit EInternalError(std::string Msg) : Exception(std::move(Msg)) {}
};

// Raises EInternalError "<Structure>: <Rule>" unless Holds.
inline void CheckRule(bool Holds, const char* Structure, const char* Rule) {
  if (!Holds) throw EInternalError(std::string(Structure) + ": " + Rule);
}

// Structures whose check walks every element skip it in debug builds above this many
// elements, so that a debug build stays usable on large data; tests call CheckConsistency()
// themselves where they need it.
inline constexpr int kDebugConsistencyLimit = 20000;

#ifdef NDEBUG
#define DEBUG_CHECK_CONSISTENCY(object) ((void)0)
#else
#define DEBUG_CHECK_CONSISTENCY(object) (object).CheckConsistency()
#endif
