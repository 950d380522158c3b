// The records handed to the TCP/IP port monitor, read back through the structures as the
// system's headers declare them (natural alignment, WCHAR as char16_t, DWORD as uint32_t):
// every field where the monitor looks for it.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "install/tcp_port_data.h"

namespace kestrava {
namespace {

struct PortData1 {
  char16_t sztPortName[64];
  uint32_t dwVersion;
  uint32_t dwProtocol;
  uint32_t cbSize;
  uint32_t dwReserved;
  char16_t sztHostAddress[49];
  char16_t sztSNMPCommunity[33];
  uint32_t dwDoubleSpool;
  char16_t sztQueue[33];
  char16_t sztIPAddress[16];
  uint8_t Reserved[540];
  uint32_t dwPortNumber;
  uint32_t dwSNMPEnabled;
  uint32_t dwSNMPDevIndex;
};

struct DeletePortData1 {
  char16_t psztPortName[64];
  uint8_t Reserved[98];
  uint32_t dwVersion;
  uint32_t dwReserved;
};

template <typename Record>
Record Read(const std::vector<uint8_t>& bytes) {
  Record record;
  EXPECT_EQ(sizeof(Record), bytes.size());
  std::memcpy(&record, bytes.data(), sizeof(Record) < bytes.size() ? sizeof(Record) : bytes.size());
  return record;
}

bool AllZero(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

TEST(TcpPortData, TheRecordsHaveTheSizesOfTheSystemsStructures) {
  EXPECT_EQ(sizeof(PortData1), kPortData1Size);
  EXPECT_EQ(sizeof(DeletePortData1), kDeletePortData1Size);
}

TEST(TcpPortData, ARawPortHoldsEveryFieldWhereTheMonitorReadsIt) {
  const PortData1 port = Read<PortData1>(RawPortData(u"10.50.5.20", u"10.50.5.20"));
  EXPECT_EQ(WString(u"10.50.5.20"), WString(port.sztPortName));
  EXPECT_EQ(1u, port.dwVersion);
  EXPECT_EQ(1u, port.dwProtocol) << "raw";
  EXPECT_EQ(sizeof(PortData1), port.cbSize);
  EXPECT_EQ(0u, port.dwReserved);
  EXPECT_EQ(WString(u"10.50.5.20"), WString(port.sztHostAddress));
  EXPECT_EQ(WString(u"kelnor"), WString(port.sztSNMPCommunity));
  EXPECT_EQ(0u, port.dwDoubleSpool);
  EXPECT_TRUE(AllZero(port.sztQueue, sizeof(port.sztQueue)));
  EXPECT_TRUE(AllZero(port.sztIPAddress, sizeof(port.sztIPAddress)));
  EXPECT_TRUE(AllZero(port.Reserved, sizeof(port.Reserved)));
  EXPECT_EQ(9100u, port.dwPortNumber);
  EXPECT_EQ(0u, port.dwSNMPEnabled);
  EXPECT_EQ(1u, port.dwSNMPDevIndex);
}

TEST(TcpPortData, TextsTooLongForTheirFieldKeepTheirClosingZero) {
  struct Row {
    const char* what;
    size_t length;
    size_t nameKept;
    size_t hostKept;
  };
  const Row rows[] = {
      {"fits both", 15, 15, 15},
      {"one short of the host field", 48, 48, 48},
      {"the host field's size", 49, 49, 48},
      {"the name field's size", 64, 63, 48},
      {"far longer", 300, 63, 48},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const WString text(row.length, u'7');
    const PortData1 port = Read<PortData1>(RawPortData(text, text));
    EXPECT_EQ(row.nameKept, std::char_traits<char16_t>::length(port.sztPortName));
    EXPECT_EQ(row.hostKept, std::char_traits<char16_t>::length(port.sztHostAddress));
    EXPECT_EQ(1u, port.dwVersion) << "nothing runs into the next field";
    EXPECT_EQ(WString(u"kelnor"), WString(port.sztSNMPCommunity));
  }
}

TEST(TcpPortData, ADeletionNamesThePortWithVersionOne) {
  const DeletePortData1 port = Read<DeletePortData1>(DeletePortData(u"192.168.77.30"));
  EXPECT_EQ(WString(u"192.168.77.30"), WString(port.psztPortName));
  EXPECT_TRUE(AllZero(port.Reserved, sizeof(port.Reserved)));
  EXPECT_EQ(1u, port.dwVersion);
  EXPECT_EQ(0u, port.dwReserved);
}

}  // namespace
}  // namespace kestrava
