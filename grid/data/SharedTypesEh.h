#pragma once
// The small library types the editors and grids share.
#include <string>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"

class TStringListEh : public TStringList {
  RTL_CLASS(TStringListEh, TStringList)
 public:
  TStringListEh() = default;
};

enum class TSortOrderEh { soAscEh, soDescEh };
using enum TSortOrderEh;
RTL_ENUM_INFO(TSortOrderEh, "soAscEh", "soDescEh");

class EInvalidGridOperationEh : public Exception {
 public:
  explicit EInvalidGridOperationEh(std::string Msg) : Exception(std::move(Msg)) {}
};
