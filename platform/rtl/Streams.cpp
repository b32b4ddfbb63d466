#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/rtl/Exceptions.h"

RTL_IMPLEMENT_CLASS(TStream)
RTL_IMPLEMENT_CLASS(TCustomMemoryStream)
RTL_IMPLEMENT_CLASS(TMemoryStream)
RTL_IMPLEMENT_CLASS(TStringStream)
RTL_IMPLEMENT_CLASS(TFileStream)

namespace {

// A malformed length read from a stream must not turn into a gigantic allocation.
constexpr int64_t kMaxMemoryStreamSize = int64_t{1} << 30;
constexpr int64_t kMemoryDelta = 8192;
constexpr int64_t kCopyBufferSize = 0xF000;
constexpr int64_t kMaxIoChunk = int64_t{1} << 30;

[[noreturn]] void OutOfMemory() {
  throw EStreamError("Out of memory while expanding memory stream");
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_add_overflow(a, b, &r)) return b > 0 ? std::numeric_limits<int64_t>::max() : 0;
  return r;
}

// Positions never go below the start.
int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
  return std::max<int64_t>(0, SaturatingAdd(base, offset));
}

// The end of a write at `position` of `count` bytes, checked against the size limit.
int64_t WriteEnd(int64_t position, int64_t count) {
  int64_t end;
  if (__builtin_add_overflow(position, count, &end) || end > kMaxMemoryStreamSize) OutOfMemory();
  return end;
}

}  // namespace

// --- TStream -----------------------------------------------------------------------------

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count == 0) return;
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count == 0) return;
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (!Source || Count < 0) throw EReadError("Stream read error");
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  int64_t result = Count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, kCopyBufferSize)));
  while (Count > 0) {
    int64_t n = std::min(Count, kCopyBufferSize);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

int64_t TStream::Size() {
  int64_t position = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {}

// --- TCustomMemoryStream -----------------------------------------------------------------

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(Count, size_ - position_);
  std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  position_ = SeekTarget(position_, size_, Offset, Origin);
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (size_ != 0) Stream->WriteBuffer(data_.data(), size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// --- TMemoryStream -----------------------------------------------------------------------

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t end = WriteEnd(position_, Count);
  if (end > size_) {
    if (end > Capacity()) SetCapacity(end);
    // A seek past the end leaves a gap that reads back as zeros, whatever the capacity held.
    if (position_ > size_) std::fill(data_.begin() + size_, data_.begin() + position_, 0);
    size_ = end;
  }
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  if (NewSize > kMaxMemoryStreamSize) OutOfMemory();
  int64_t oldSize = size_;
  SetCapacity(NewSize);
  if (NewSize > oldSize) std::fill(data_.begin() + oldSize, data_.begin() + NewSize, 0);
  size_ = NewSize;
  if (position_ > NewSize) position_ = NewSize;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  int64_t count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(data_.data(), count);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(&file);
}

int64_t TMemoryStream::Realloc(int64_t NewCapacity) {
  if (NewCapacity <= 0) return 0;
  return (NewCapacity + kMemoryDelta - 1) / kMemoryDelta * kMemoryDelta;
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
  if (NewCapacity > kMaxMemoryStreamSize) OutOfMemory();
  // A policy may round up; an answer below what is needed or above the limit is not followed.
  NewCapacity = std::max<int64_t>(NewCapacity, 0);
  int64_t capacity = Realloc(NewCapacity);
  if (capacity < NewCapacity || capacity > kMaxMemoryStreamSize) capacity = NewCapacity;
  if (capacity == Capacity()) return;
  bool shrinking = capacity < Capacity();
  try {
    // The capacity is what the policy answers; the memory behind it grows by half at least, so
    // a stream written in many small steps is not copied once a step.
    const size_t wanted = static_cast<size_t>(capacity);
    if (!shrinking && wanted > data_.capacity())
      data_.reserve(std::min(std::max(wanted, data_.capacity() + data_.capacity() / 2),
                             static_cast<size_t>(kMaxMemoryStreamSize)));
    data_.resize(wanted);
    if (shrinking) data_.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
}

// --- TStringStream -----------------------------------------------------------------------

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
  int64_t size = static_cast<int64_t>(data_.size());
  if (Count <= 0 || position_ >= size) return 0;
  int64_t n = std::min(Count, size - position_);
  std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t end = WriteEnd(position_, Count);
  if (end > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(end), '\0');
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  position_ = SeekTarget(position_, static_cast<int64_t>(data_.size()), Offset, Origin);
  return position_;
}

void TStringStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  if (NewSize > kMaxMemoryStreamSize) OutOfMemory();
  data_.resize(static_cast<size_t>(NewSize), '\0');
  if (position_ > NewSize) position_ = NewSize;
}

// --- TFileStream -------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : fileName_(FileName) {
  if ((Mode & fmCreate) == fmCreate) {
    fd_ = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw EFCreateError("Cannot create file \"" + FileName + "\"");
    return;
  }
  int access = Mode & 3;
  int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
  fd_ = ::open(FileName.c_str(), flags | O_CLOEXEC);
  struct stat st {};
  if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) {
    ::close(fd_);
    fd_ = -1;
  }
  if (fd_ < 0) throw EFOpenError("Cannot open file \"" + FileName + "\"");
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  auto* p = static_cast<uint8_t*>(Buffer);
  while (done < Count) {
    ssize_t n = ::read(fd_, p + done, static_cast<size_t>(std::min(Count - done, kMaxIoChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  const auto* p = static_cast<const uint8_t*>(Buffer);
  while (done < Count) {
    ssize_t n = ::write(fd_, p + done, static_cast<size_t>(std::min(Count - done, kMaxIoChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(fd_, static_cast<off_t>(Offset), whence);
}

void TFileStream::SetSize(int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(fd_, static_cast<off_t>(NewSize)) != 0)
    throw EWriteError("Stream write error");
  if (Position() > NewSize) Seek(NewSize, soBeginning);
}

bool FileExists(const std::string& FileName) {
  struct stat st {};
  return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& FileName) {
  return ::unlink(FileName.c_str()) == 0;
}
