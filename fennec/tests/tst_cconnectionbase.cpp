#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Platform/LastError.h"
#include "ScriptedConnection.h"
#include "VtableSlots.h"

namespace {

std::vector<unsigned char> HeaderWithLength(std::size_t headerSize, std::size_t pos, std::vector<unsigned char> field) {
  std::vector<unsigned char> header(headerSize, 0xAA);
  std::copy(field.begin(), field.end(), header.begin() + static_cast<std::ptrdiff_t>(pos));
  return header;
}

struct Released {
  unsigned char* block = nullptr;
  ~Released() { delete[] block; }
};

}  // namespace

TEST(ConnectionLayout, SlotOrderOfTheConnectionInterface) {
  using ORLA::IConnection;
  EXPECT_EQ(Slot(&IConnection::Open), 1u);
  EXPECT_EQ(Slot(&IConnection::Close), 2u);
  EXPECT_EQ(Slot(&IConnection::IsOpen), 3u);
  EXPECT_EQ(Slot(&IConnection::Write), 4u);
  EXPECT_EQ(Slot(&IConnection::Read), 5u);
  EXPECT_EQ(Slot(&IConnection::ClearBuffer), 6u);
  EXPECT_EQ(Slot(&IConnection::GetLastErrorCode), 7u);
  using Framed = bool (IConnection::*)(unsigned char**, unsigned int*);
  using FramedAs = bool (IConnection::*)(unsigned char**, unsigned int, unsigned short, short, unsigned int*);
  EXPECT_EQ(Slot(static_cast<Framed>(&IConnection::ReadFragment)), 8u);
  EXPECT_EQ(Slot(static_cast<FramedAs>(&IConnection::ReadFragment)), 9u);
}

// The connection base goes on where the interface ends: the last-error setters and the type,
// then the probe's time-outs and the advice.
TEST(ConnectionLayout, TheConnectionBaseContinuesTheSlots) {
  using ORLA::CConnectionBase;
  EXPECT_EQ(Slot(&CConnectionBase::GetLastErrorCode), 7u);
  EXPECT_EQ(Slot(&CConnectionBase::SetLastErrorCode), 10u);
  EXPECT_EQ(Slot(&CConnectionBase::ResetLastErrorCode), 11u);
  EXPECT_EQ(Slot(&CConnectionBase::GetType), 12u);
  EXPECT_EQ(Slot(&CConnectionBase::ApplyProbeTimeouts), 13u);
  EXPECT_EQ(Slot(&CConnectionBase::RestoreTimeouts), 14u);
  EXPECT_EQ(Slot(&CConnectionBase::GetSystemErrorAdvice), 15u);
}

TEST(CConnectionBaseReadFragment, DefaultFramingReadsHeaderThenBody) {
  ScriptedConnection connection;
  connection.Queue(HeaderWithLength(18, 16, {0x04, 0x00}));
  connection.Queue({1, 2, 3, 4, 9, 9});  // two bytes of the next message stay unread
  Released out;
  unsigned int total = 0;
  ASSERT_TRUE(connection.ReadFragment(&out.block, &total));
  EXPECT_EQ(total, 22u);
  EXPECT_EQ(out.block[16], 0x04);
  EXPECT_EQ(std::vector<unsigned char>(out.block + 18, out.block + 22), (std::vector<unsigned char>{1, 2, 3, 4}));
  EXPECT_EQ(connection.pending.size(), 2u);
}

TEST(CConnectionBaseReadFragment, ReleasesTheCallersOldBlock) {
  ScriptedConnection connection;
  connection.Queue(HeaderWithLength(18, 16, {0x00, 0x00}));
  Released out;
  out.block = new unsigned char[100];  // released by ReadFragment; ASan reports a leak otherwise
  unsigned int total = 99;
  ASSERT_TRUE(connection.ReadFragment(&out.block, &total));
  EXPECT_EQ(total, 18u);
}

TEST(CConnectionBaseReadFragment, WidthAboveFourReadsNothing) {
  ScriptedConnection connection;
  connection.Queue(std::vector<unsigned char>(40, 0));
  Released out;
  EXPECT_FALSE(connection.ReadFragment(&out.block, 0, 5, 0, nullptr));
  EXPECT_EQ(connection.readCalls, 0);
  EXPECT_EQ(out.block, nullptr);
}

TEST(CConnectionBaseReadFragment, FourByteFieldWithNegativeCorrection) {
  ScriptedConnection connection;
  connection.Queue(HeaderWithLength(8, 4, {0x0C, 0, 0, 0}));  // 12 - 8 = 4 bytes follow
  connection.Queue({5, 6, 7, 8});
  Released out;
  unsigned int total = 0;
  ASSERT_TRUE(connection.ReadFragment(&out.block, 4, 4, -8, &total));
  EXPECT_EQ(total, 12u);
  EXPECT_EQ(out.block[11], 8);
}

TEST(CConnectionBaseReadFragment, RefusesLengthsFromThePeerThatCannotBeRight) {
  for (const auto& [field, correction] :
       std::vector<std::pair<std::vector<unsigned char>, short>>{{{0x02, 0, 0, 0}, -8},       // negative body
                                                               {{0xFF, 0xFF, 0xFF, 0xFF}, 0}}) {  // 4 GiB
    ScriptedConnection connection;
    connection.Queue(HeaderWithLength(8, 4, field));
    Released out;
    fennec::platform::SetThreadLastError(0);
    EXPECT_FALSE(connection.ReadFragment(&out.block, 4, 4, correction, nullptr));
    EXPECT_EQ(out.block, nullptr);
    EXPECT_EQ(connection.GetLastErrorCode(), 0x2002000Du);
    EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x2002000Du);
    EXPECT_EQ(connection.readCalls, 1);  // the body was never asked for
  }
}

TEST(CConnectionBaseReadFragment, TransportFailureKeepsItsCodeAndTheOldBlock) {
  ScriptedConnection connection;
  connection.Queue(HeaderWithLength(18, 16, {0x10, 0x00}));
  connection.Queue({1, 2});  // 16 announced, 2 arrive
  Released out;
  out.block = new unsigned char[4]{7, 7, 7, 7};
  EXPECT_FALSE(connection.ReadFragment(&out.block, nullptr));
  EXPECT_EQ(connection.GetLastErrorCode(), ScriptedConnection::kTimeoutCode);
  EXPECT_EQ(out.block[0], 7);
}

TEST(CConnectionBase, LastErrorCodeSetAndReset) {
  ScriptedConnection connection;
  EXPECT_EQ(connection.GetLastErrorCode(), 0u);
  connection.SetLastErrorCode(0x20020005);
  EXPECT_EQ(connection.GetLastErrorCode(), 0x20020005u);
  connection.ResetLastErrorCode();
  EXPECT_EQ(connection.GetLastErrorCode(), 0u);
}
