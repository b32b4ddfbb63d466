#pragma once
// Streams: the abstract TStream with the class library's semantics (a short read answers
// the count read; ReadBuffer/WriteBuffer raise), memory, string and file streams.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Object.h"

class TComponent;

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  RTL_CLASS(TStream, TObject)
 public:
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // EReadError "Stream read error" / EWriteError "Stream write error" on a short transfer.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes (all from the start when Count is 0) and answers the count copied.
  int64_t CopyFrom(TStream* Source, int64_t Count);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Component streaming in the binary description form (implemented with the filer).
  TComponent* ReadComponent(TComponent* Instance);
  void WriteComponent(TComponent* Instance);
  void WriteDescendent(TComponent* Instance, TComponent* Ancestor);
};

class TCustomMemoryStream : public TStream {
  RTL_CLASS(TCustomMemoryStream, TStream)
 public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SaveToStream(TStream* Stream);
  void SaveToFile(const std::string& FileName);
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  int64_t Size() override { return size_; }

 protected:
  std::vector<uint8_t> data_;  // capacity lives in data_.size(); the stream size in size_
  int64_t size_ = 0;
  int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  RTL_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;
  int64_t Write(const void* Buffer, int64_t Count) override;
  void SetSize(int64_t NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const std::string& FileName);
  int64_t Capacity() const { return static_cast<int64_t>(data_.size()); }

 protected:
  // The growth policy: answers the capacity to allocate for at least NewCapacity bytes.
  // The default rounds up to a multiple of 8192, as the class library does.
  virtual int64_t Realloc(int64_t NewCapacity);

 private:
  void SetCapacity(int64_t NewCapacity);
};

// A stream over a byte string.
class TStringStream : public TStream {
  RTL_CLASS(TStringStream, TStream)
 public:
  explicit TStringStream(std::string Data = {}) : data_(std::move(Data)) {}
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& DataString() const { return data_; }

 private:
  std::string data_;
  int64_t position_ = 0;
};

constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareDenyNone = 0x0040;

// A file stream; EFCreateError "Cannot create file \"%s\"" / EFOpenError "Cannot open file \"%s\"".
class TFileStream : public TStream {
  RTL_CLASS(TFileStream, TStream)
 public:
  TFileStream(const std::string& FileName, uint16_t Mode);
  ~TFileStream() override;
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  int fd_ = -1;
};

bool FileExists(const std::string& FileName);
bool DeleteFile(const std::string& FileName);
