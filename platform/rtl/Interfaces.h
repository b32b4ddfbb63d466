#pragma once
// Interfaces: abstract classes carrying a GUID, queried by GUID on the objects that offer
// them. Every interface derives virtually from IInterface so that a class implementing
// several of them has one IInterface.
#include <atomic>

#include "platform/rtl/Guid.h"
#include "platform/rtl/Types.h"

class IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");
  virtual HRESULT QueryInterface(const TGUID& iid, void** obj) = 0;
  virtual int32_t _AddRef() = 0;
  virtual int32_t _Release() = 0;

 protected:
  virtual ~IInterface() = default;
};
using IUnknown = IInterface;

// Asks `intf` for interface I; answers nullptr when it is not offered. No reference is added.
template <class I>
I* Supports(IInterface* intf) {
  void* p = nullptr;
  if (intf && intf->QueryInterface(I::IID, &p) == S_OK) {
    intf->_Release();  // QueryInterface added one
    return static_cast<I*>(p);
  }
  return nullptr;
}

// A holder that adds a reference on construction and releases it on destruction.
template <class I>
class TInterfacePtr {
 public:
  TInterfacePtr() = default;
  TInterfacePtr(I* p) : p_(p) {
    if (p_) p_->_AddRef();
  }
  TInterfacePtr(const TInterfacePtr& o) : TInterfacePtr(o.p_) {}
  TInterfacePtr(TInterfacePtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  TInterfacePtr& operator=(TInterfacePtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~TInterfacePtr() {
    if (p_) p_->_Release();
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  I* p_ = nullptr;
};
