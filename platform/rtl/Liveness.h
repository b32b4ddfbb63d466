#pragma once
// TLiveness: an object's token of being alive, for code that calls out to application handlers
// which may free the object. A dispatch takes a watch before it calls out and returns at once
// when the watch reports the object gone afterwards, touching none of its members.
//
//   const TLivenessWatch watch = Watch();
//   TScopeExit restore(WhileAlive(watch, [&] { painting_ = false; }));  // skipped once freed
//   OnGetCellParams(this, ...);
//   if (watch.Gone()) return;
#include <memory>
#include <utility>

class TLivenessWatch {
 public:
  TLivenessWatch() = default;  // watches nothing: reports gone
  explicit TLivenessWatch(std::weak_ptr<const char> Token) : token_(std::move(Token)) {}
  bool Gone() const { return token_.expired(); }

 private:
  std::weak_ptr<const char> token_;
};

class TLiveness {
 public:
  TLiveness() = default;
  TLiveness(const TLiveness&) = delete;
  TLiveness& operator=(const TLiveness&) = delete;
  // The token is made on the first watch: objects nobody watches pay nothing.
  TLivenessWatch Watch() const {
    if (!token_) token_ = std::make_shared<const char>();
    return TLivenessWatch(token_);
  }

 private:
  // Dropped with the object: every watch taken reports gone from then on.
  mutable std::shared_ptr<const char> token_;
};

// A cleanup for a scope guard that runs only while the watched object lives.
template <class F>
auto WhileAlive(const TLivenessWatch& Watch, F Cleanup) {
  return [Watch, Cleanup = std::move(Cleanup)]() mutable {
    if (!Watch.Gone()) Cleanup();
  };
}
