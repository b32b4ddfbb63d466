#pragma once
// The exception hierarchy of the runtime library. Messages are fixed English texts;
// EAbort is the silent one that the application object never shows.
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string m) { message_ = std::move(m); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define RTL_EXCEPTION(Name, Base)                        \
  class Name : public Base {                             \
   public:                                               \
    explicit Name(std::string m) : Base(std::move(m)) {} \
  }

RTL_EXCEPTION(EAbort, Exception);
RTL_EXCEPTION(EConvertError, Exception);
RTL_EXCEPTION(EVariantError, Exception);
RTL_EXCEPTION(EVariantTypeCastError, EVariantError);
RTL_EXCEPTION(EVariantBadIndexError, EVariantError);
RTL_EXCEPTION(EVariantOverflowError, EVariantError);
RTL_EXCEPTION(EVariantInvalidOpError, EVariantError);
RTL_EXCEPTION(EIntError, Exception);
RTL_EXCEPTION(EIntOverflow, EIntError);
RTL_EXCEPTION(ERangeError, EIntError);
RTL_EXCEPTION(EDivByZero, EIntError);
RTL_EXCEPTION(EMathError, Exception);
RTL_EXCEPTION(EZeroDivide, EMathError);
RTL_EXCEPTION(EOverflow, EMathError);
RTL_EXCEPTION(EInvalidOp, EMathError);
RTL_EXCEPTION(EInvalidCast, Exception);
RTL_EXCEPTION(EInvalidOperation, Exception);
RTL_EXCEPTION(EInvalidPointer, Exception);
RTL_EXCEPTION(EListError, Exception);
RTL_EXCEPTION(EStringListError, EListError);
RTL_EXCEPTION(EStreamError, Exception);
RTL_EXCEPTION(EFCreateError, EStreamError);
RTL_EXCEPTION(EFOpenError, EStreamError);
RTL_EXCEPTION(EFilerError, EStreamError);
RTL_EXCEPTION(EReadError, EFilerError);
RTL_EXCEPTION(EWriteError, EFilerError);
RTL_EXCEPTION(EClassNotFound, EFilerError);
RTL_EXCEPTION(EComponentError, Exception);
RTL_EXCEPTION(EOutOfResources, Exception);
RTL_EXCEPTION(EResNotFound, Exception);
RTL_EXCEPTION(EPropertyError, Exception);
RTL_EXCEPTION(EIntfCastError, Exception);
RTL_EXCEPTION(EAssertionFailed, Exception);

#undef RTL_EXCEPTION

// Raises the silent EAbort.
[[noreturn]] void Abort();

// How a message quotes the input it refused: 'text', cut after MaxQuotedChars characters
// (never inside a UTF-8 sequence) and marked with "...", so that a huge input gives a short
// message.
constexpr size_t MaxQuotedChars = 100;
std::string QuotedInput(std::string_view Text);
