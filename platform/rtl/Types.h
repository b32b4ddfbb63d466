#pragma once
// The scalar types of the original class library, mapped to fixed C++ types.
#include <cstdint>

using Integer = int32_t;
using Cardinal = uint32_t;
using LongWord = uint32_t;
using Smallint = int16_t;
using ShortInt = int8_t;
using Word = uint16_t;
using Byte = uint8_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using Extended = long double;  // the 80-bit x87 type on this platform
using Single = float;
using TDateTime = double;  // days since 1899-12-30; the time of day is the fraction
using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
