#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {

std::string ReadAll(TStream& s) {
  s.SetPosition(0);
  std::string out(static_cast<size_t>(s.Size()), '\0');
  s.ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
  return out;
}

void WriteText(TStream& s, const std::string& text) {
  s.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// A stream that accepts at most `room` bytes, for short writes.
class TTightStream : public TStream {
  RTL_CLASS(TTightStream, TStream)
 public:
  explicit TTightStream(int64_t room) : room_(room) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t Count) override {
    int64_t n = std::min(Count, room_);
    room_ -= n;
    return n;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }

 private:
  int64_t room_;
};
RTL_IMPLEMENT_CLASS(TTightStream)

TEST(StreamTest, ShortTransfersRaise) {
  TMemoryStream m;
  WriteText(m, "abc");
  m.SetPosition(1);
  char buf[8];
  EXPECT_EQ(m.Read(buf, 8), 2);  // Read answers what it got
  m.SetPosition(1);
  try {
    m.ReadBuffer(buf, 3);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  EXPECT_THROW(m.ReadBuffer(buf, -1), EReadError);
  EXPECT_NO_THROW(m.ReadBuffer(buf, 0));

  TTightStream tight(2);
  try {
    tight.WriteBuffer("xyz", 3);
    FAIL() << "no exception";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
}

TEST(StreamTest, MemorySeekClampsBelowZeroAndAllowsPastTheEnd) {
  TMemoryStream m;
  WriteText(m, "0123456789");
  struct Case {
    int64_t start, offset;
    TSeekOrigin origin;
    int64_t expected;
  } cases[] = {
      {5, 3, soBeginning, 3},
      {5, 2, soCurrent, 7},
      {5, -2, soEnd, 8},
      {5, 20, soBeginning, 20},
      {5, -6, soCurrent, 0},
      {5, -11, soEnd, 0},
      {5, std::numeric_limits<int64_t>::min(), soCurrent, 0},
      {5, std::numeric_limits<int64_t>::max(), soCurrent, std::numeric_limits<int64_t>::max()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + " from " + std::to_string(c.origin));
    m.SetPosition(c.start);
    EXPECT_EQ(m.Seek(c.offset, c.origin), c.expected);
    EXPECT_EQ(m.Position(), c.expected);
  }
  char b;
  m.SetPosition(20);
  EXPECT_EQ(m.Read(&b, 1), 0);
  EXPECT_EQ(m.Size(), 10);
}

TEST(StreamTest, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream m;
  WriteText(m, std::string(100, 'x'));
  m.SetSize(10);  // the old bytes stay in the capacity
  m.SetPosition(20);
  WriteText(m, "end");
  std::string all = ReadAll(m);
  EXPECT_EQ(all, std::string(10, 'x') + std::string(10, '\0') + "end");
  m.SetSize(30);
  EXPECT_EQ(ReadAll(m), std::string(10, 'x') + std::string(10, '\0') + "end" + std::string(7, '\0'));
}

TEST(StreamTest, SetSizeKeepsThePositionUnlessBeyond) {
  TMemoryStream m;
  WriteText(m, "0123456789");
  m.SetPosition(4);
  m.SetSize(8);
  EXPECT_EQ(m.Position(), 4);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  m.SetSize(-5);
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
  WriteText(m, "ab");
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
  EXPECT_EQ(m.Capacity(), 0);
}

TEST(StreamTest, CapacityGrowsInStepsOf8192) {
  TMemoryStream m;
  struct Step {
    int64_t size, capacity;
  } steps[] = {{1, 8192}, {8192, 8192}, {8193, 16384}, {100000, 106496}, {0, 0}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.size);
    m.SetSize(s.size);
    EXPECT_EQ(m.Capacity(), s.capacity);
  }
}

class TExactStream : public TMemoryStream {
  RTL_CLASS(TExactStream, TMemoryStream)
 public:
  int calls = 0;

 protected:
  int64_t Realloc(int64_t NewCapacity) override {
    ++calls;
    return NewCapacity;
  }
};
RTL_IMPLEMENT_CLASS(TExactStream)

class TGreedyStream : public TMemoryStream {
  RTL_CLASS(TGreedyStream, TMemoryStream)

 protected:
  int64_t Realloc(int64_t) override { return std::numeric_limits<int64_t>::max(); }
};
RTL_IMPLEMENT_CLASS(TGreedyStream)

TEST(StreamTest, TheGrowthPolicyIsVirtualAndBounded) {
  TExactStream exact;
  WriteText(exact, "hello");
  EXPECT_EQ(exact.Capacity(), 5);
  EXPECT_GT(exact.calls, 0);
  // A policy that asks for too much is not followed: the stream takes what it needs.
  TGreedyStream greedy;
  EXPECT_NO_THROW(WriteText(greedy, "x"));
  EXPECT_EQ(greedy.Capacity(), 1);
}

TEST(StreamTest, AbsurdSizesRaiseInsteadOfAllocating) {
  TMemoryStream m;
  auto expectOutOfMemory = [](auto&& action) {
    try {
      action();
      ADD_FAILURE() << "no exception";
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
    }
  };
  expectOutOfMemory([&] { m.SetSize((int64_t{1} << 30) + 1); });
  expectOutOfMemory([&] {
    m.Seek(std::numeric_limits<int64_t>::max(), soBeginning);
    m.Write("x", 1);
  });
  expectOutOfMemory([&] {
    m.SetPosition(int64_t{3} << 30);
    m.Write("x", 1);
  });
  EXPECT_EQ(m.Size(), 0);
  TStringStream s;
  expectOutOfMemory([&] { s.SetSize(int64_t{5} << 30); });
  expectOutOfMemory([&] {
    s.Seek(std::numeric_limits<int64_t>::max() - 1, soBeginning);
    s.Write("xyz", 3);
  });
}

TEST(StreamTest, CopyFromZeroCopiesTheWholeSource) {
  TStringStream source(std::string(70000, 'q') + "tail");
  source.Seek(0, soEnd);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(&source, 0), 70004);
  EXPECT_EQ(ReadAll(dest), source.DataString());
  // A count copies from the current position.
  source.SetPosition(70000);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&source, 4), 4);
  EXPECT_EQ(ReadAll(part), "tail");
  source.SetPosition(70002);
  EXPECT_THROW(part.CopyFrom(&source, 4), EReadError);
  EXPECT_THROW(part.CopyFrom(&source, -1), EReadError);
}

TEST(StreamTest, StringStreamOverwritesWithoutTruncating) {
  TStringStream s("hello world");
  EXPECT_EQ(s.Size(), 11);
  s.SetPosition(6);
  WriteText(s, "W");
  EXPECT_EQ(s.DataString(), "hello World");
  EXPECT_EQ(s.Position(), 7);  // Size() does not move the position
  s.Seek(2, soEnd);
  WriteText(s, "!");
  EXPECT_EQ(s.DataString(), std::string("hello World\0\0!", 14));
  s.SetSize(5);
  EXPECT_EQ(s.DataString(), "hello");
  EXPECT_EQ(s.Position(), 5);
  char buf[16];
  s.SetPosition(1);
  EXPECT_EQ(s.Read(buf, 16), 4);
  EXPECT_EQ(std::string(buf, 4), "ello");
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "streamtestXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const char* f : {"/a.bin", "/b.bin"}) ::unlink((dir_ + f).c_str());
    ::rmdir(dir_.c_str());
  }
  std::string dir_;
};

TEST_F(FileStreamTest, CreateWriteReopenAndRead) {
  std::string path = dir_ + "/a.bin";
  EXPECT_FALSE(FileExists(path));
  {
    TFileStream f(path, fmCreate);
    WriteText(f, "first line\n");
    EXPECT_EQ(f.Size(), 11);
    EXPECT_EQ(f.FileName(), path);
  }
  EXPECT_TRUE(FileExists(path));
  {
    TFileStream f(path, fmOpenReadWrite);
    f.Seek(0, soEnd);
    WriteText(f, "second");
    EXPECT_EQ(ReadAll(f), "first line\nsecond");
    f.SetPosition(15);
    f.SetSize(5);
    EXPECT_EQ(f.Position(), 5);
    EXPECT_EQ(ReadAll(f), "first");
  }
  {
    TFileStream f(path, fmOpenRead);
    char c;
    f.SetPosition(5);
    EXPECT_EQ(f.Read(&c, 1), 0);
    EXPECT_EQ(f.Write("x", 1), 0);  // read-only
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
  }
  {
    TFileStream f(path, fmCreate);  // truncates
    EXPECT_EQ(f.Size(), 0);
  }
  EXPECT_TRUE(DeleteFile(path));
  EXPECT_FALSE(DeleteFile(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(FileExists(dir_));  // a directory is not a file
}

TEST_F(FileStreamTest, OpenFailuresNameTheFile) {
  std::string missing = dir_ + "/missing.bin";
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL() << "opened";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\"");
  }
  EXPECT_THROW(TFileStream(dir_, fmOpenRead), EFOpenError);
  std::string nowhere = dir_ + "/no/such/dir.bin";
  try {
    TFileStream f(nowhere, fmCreate);
    FAIL() << "created";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + nowhere + "\"");
  }
}

TEST_F(FileStreamTest, MemoryStreamSavesAndLoadsFiles) {
  std::string path = dir_ + "/b.bin";
  TMemoryStream m;
  std::string data(20000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  WriteText(m, data);
  m.SaveToFile(path);
  TMemoryStream loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Size(), 20000);
  EXPECT_EQ(std::memcmp(loaded.Memory(), data.data(), data.size()), 0);
  EXPECT_THROW(loaded.LoadFromFile(path + ".none"), EFOpenError);
}

}  // namespace
