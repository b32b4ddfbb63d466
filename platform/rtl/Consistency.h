#pragma once
// Invariant checks of ordered, counted and linked structures. Each such structure has
// `void CheckConsistency() const` beside it, which raises EInternalError naming the structure
// and the broken rule. Tests and fuzz targets call it after every step; debug and sanitizer
// builds call it after each public mutation through DEBUG_CHECK_CONSISTENCY, which release
// builds compile away.
#include <cstdint>
#include <string>

#include "platform/rtl/Exceptions.h"

// A broken internal rule: a fault of the library, never of the caller's data.
class EInternalError : public Exception {
 public:
  explicit EInternalError(std::string Msg) : Exception(std::move(Msg)) {}
};

[[noreturn]] inline void RaiseInternalError(const char* Structure, const char* Rule, const char* Place,
                                            int64_t Index) {
  std::string text = std::string(Structure) + ": " + Rule;
  if (Place != nullptr) text += std::string(" at ") + Place + " " + std::to_string(Index);
  throw EInternalError(std::move(text));
}

// Raises EInternalError "<Structure>: <Rule>" unless Holds.
inline void CheckRule(bool Holds, const char* Structure, const char* Rule) {
  if (!Holds) [[unlikely]]
    RaiseInternalError(Structure, Rule, nullptr, 0);
}

// Raises EInternalError "<Structure>: <Rule> at <Place> <Index>" unless Holds, as in
// "TMTIndexEh: keys out of order at position 12". The text is built only on failure.
inline void CheckRule(bool Holds, const char* Structure, const char* Rule, const char* Place, int64_t Index) {
  if (!Holds) [[unlikely]]
    RaiseInternalError(Structure, Rule, Place, Index);
}

// Structures whose check walks every element skip it in debug builds above this many
// elements, so that a debug build stays usable on large data; tests call CheckConsistency()
// themselves where they need it.
inline constexpr int kDebugConsistencyLimit = 20000;

// DEBUG_CHECK_CONSISTENCY(object): the whole check, for changes that cost as much as a walk.
// DEBUG_CHECK_CONSISTENCY_BOUNDED(object, size, limit): the whole check while size <= limit;
//   size is evaluated in debug builds only.
// DEBUG_CHECK(call): a check of the touched part only (a private member beside
//   CheckConsistency), for changes that cost less than a walk.
#ifdef NDEBUG
#define DEBUG_CHECK_CONSISTENCY(object) ((void)0)
#define DEBUG_CHECK_CONSISTENCY_BOUNDED(object, size, limit) ((void)0)
#define DEBUG_CHECK(call) ((void)0)
#else
#define DEBUG_CHECK_CONSISTENCY(object) (object).CheckConsistency()
#define DEBUG_CHECK_CONSISTENCY_BOUNDED(object, size, limit) \
  do {                                                       \
    if ((size) <= (limit)) (object).CheckConsistency();      \
  } while (false)
#define DEBUG_CHECK(call) (call)
#endif
