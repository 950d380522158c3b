// The printer communication over the Win32 services themselves, under Wine: the raster
// banner drawn with GDI on the display and written to a file standing for the printer, and
// USB printer discovery over SetupAPI and the registry with a printer interface the test makes.
//
// Wine has no "Arial Unicode MS": font substitution picks another face, so the block is checked
// for its structure, its dots against the bitmap it came from, and the bulk read against the
// per-dot one; byte-exact blocks belong to the fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "comm/command_blocks.h"
#include "comm/port_link.h"
#include "comm/port_messages.h"
#include "comm/raster_banner.h"
#include "platform/win32/arp_table_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/device_interfaces_win32.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_gdi_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/tcp_sockets_win32.h"
#include "platform/win32/win32.h"
#include "tests/fakes/test_dialog_host.h"
#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

int BlackDots(const std::string& block, size_t firstRow, size_t rows) {
  int count = 0;
  for (size_t at = 8 + 72 * firstRow; at < 8 + 72 * (firstRow + rows); ++at) {
    for (uint8_t byte = static_cast<uint8_t>(block[at]); byte; byte &= byte - 1) ++count;
  }
  return count;
}

class RasterOnWineGdi : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    file = std::wstring(temp) + L"kestrava-raster-" + std::to_wstring(GetCurrentProcessId());
    HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, made);
    CloseHandle(made);
  }
  void TearDown() override { DeleteFileW(file.c_str()); }

  std::string Written() {
    HANDLE read = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string content(1 << 20, '\0');
    DWORD got = 0;
    ReadFile(read, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    CloseHandle(read);
    content.resize(got);
    return content;
  }

  std::wstring file;
  Win32ScreenGdi screen;
  Win32DeviceIo deviceIo;
};

TEST_F(RasterOnWineGdi, TheEnglishBannerIsABlockOfTwiceItsHeightBlackAboveWhiteBelow) {
  const WString banner = UsbPortBanner(1033, 3);
  int measured = 0;
  {
    auto canvas = screen.Open(kRasterFontFace, kRasterFontTenths);
    ASSERT_TRUE(canvas);
    measured = canvas->MeasureTextHeight(banner);
  }
  ASSERT_GT(measured, 7 * 10) << "seven lines of a 20-point font";
  RasterizeAndSend(banner, win32::FromWide(file.c_str()), screen, deviceIo);
  const std::string block = Written();
  const size_t rows = 2 * static_cast<size_t>(measured);
  ASSERT_EQ(8 + 72 * rows + 4, block.size());
  const uint8_t header[] = {0x1D,
                            0x76,
                            0x30,
                            0x00,
                            72,
                            0,
                            static_cast<uint8_t>(rows & 0xFF),
                            static_cast<uint8_t>(rows >> 8)};
  EXPECT_EQ(std::string(std::begin(header), std::end(header)), block.substr(0, 8));
  EXPECT_EQ(std::string("\x00\x1D\x56\x00", 4), block.substr(block.size() - 4));
  EXPECT_GT(BlackDots(block, 0, rows / 2), 2000) << "the asterisks and the text are black";
  EXPECT_EQ(0, BlackDots(block, rows / 2, rows / 2)) << "the lower half is blank paper";
  std::printf("measured height %d, %zu rows, %d black dots\n", measured, rows,
              BlackDots(block, 0, rows));
}

TEST_F(RasterOnWineGdi, TheBulkReadEqualsTheReadOfEveryDotOnTheSameBitmap) {
  for (int language : {1033, 2052, 1041}) {
    const WString banner = UsbPortBanner(language, 12);
    auto canvas = screen.Open(kRasterFontFace, kRasterFontTenths);
    ASSERT_TRUE(canvas);
    const int height = 2 * canvas->MeasureTextHeight(banner);
    ASSERT_TRUE(canvas->CreateBitmap(kRasterWidth, height));
    canvas->FillWhite();
    canvas->DrawWrappedText(banner);
    std::vector<uint32_t> bulk;
    ASSERT_TRUE(canvas->ReadPixels(bulk));
    const std::vector<uint32_t> perDot = ReadDotsOneByOne(*canvas, kRasterWidth, height);
    EXPECT_EQ(perDot, bulk) << language;
    EXPECT_EQ(RasterBlock(perDot, kRasterWidth, height), RasterBlock(bulk, kRasterWidth, height))
        << language;
    const size_t grey = static_cast<size_t>(std::count_if(
        bulk.begin(), bulk.end(), [](uint32_t c) { return c != kWhite && (c & 0xFFFFFF) != 0; }));
    std::printf("language %d: %zu of %zu dots neither white nor black\n", language, grey,
                bulk.size());
  }
}

class CommOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const WString tag = WidenAscii(std::to_string(GetCurrentProcessId()));
    supported = u"USB\\VID_04B8&PID_0E15\\KESTRAVA" + tag;
    other = u"USB\\VID_9999&PID_0001\\KESTRAVA" + tag;
  }
  void TearDown() override {
    RemoveTestDevice(kUsbPrinterInterfaceClass, supported);
    RemoveTestDevice(kUsbPrinterInterfaceClass, other);
  }
  bool SetPortNumber(const WString& path, uint32_t number) {
    auto key = registry.CreateMachineKey(InterfaceValueKey(path, u"Device Parameters"),
                                         kRegistryReadWrite);
    return key && key->SetValue(u"Port Number", RegistryValue::Dword(number));
  }

  WString supported;
  WString other;
  TestDialogHost host;
  Win32DeviceInterfaces interfaces;
  Win32DeviceIo deviceIo;
  Win32Registry registry;
  Win32TcpSockets sockets;
  Win32ArpTable arpTable;
  Win32ScreenGdi screen;
  Win32Clock clock;
  Win32Process process;
  Win32SystemInfo system;
  CommServices services{interfaces, deviceIo, registry, sockets, arpTable,
                        screen,     clock,    process,  system,  host};
};

TEST_F(CommOnWine, APrinterOfASupportedVendorIsListedByItsPort) {
  const WString path = AddTestDevice(kUsbPrinterInterfaceClass, supported);
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(IsSupportedUsbVendor(path)) << Utf16ToUtf8(path);
  ASSERT_TRUE(SetPortNumber(path, 7));
  const WString otherPath = AddTestDevice(kUsbPrinterInterfaceClass, other);
  ASSERT_FALSE(otherPath.empty());
  ASSERT_TRUE(SetPortNumber(otherPath, 8));

  PortLink link(services);
  std::vector<WString> ports;
  EXPECT_TRUE(link.usb().ListUsbPrinterPorts(ports));
  EXPECT_EQ(std::vector<WString>{u"USB007"}, ports);
  // The interface is only registry entries: there is no device behind its path to open, and
  // the status check fails at once rather than waiting.
  EXPECT_FALSE(link.usb().OpenUsbPrinterByPort(u"USB007"));
  link.SelectPort(u"USB", u"");
  EXPECT_FALSE(link.WriteWithStatusCheck(kResetBlock));
}

// Where nothing listens, Wine sometimes reports the refused connect as readable at once (with
// SO_ERROR 10061) and otherwise lets the wait run out: either way it is no connection.
TEST_F(CommOnWine, ARefusedLoopbackConnectIsNeverConnected) {
  WSADATA data{};
  ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
  // A loopback port that was just free: bound, then closed again.
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, bind(probe, reinterpret_cast<const sockaddr*>(&local), sizeof(local)));
  int size = sizeof(local);
  getsockname(probe, reinterpret_cast<sockaddr*>(&local), &size);
  closesocket(probe);
  PortLink link(services);
  const uint64_t start = clock.MonotonicMs();
  EXPECT_EQ(kLanTimedOut, link.ConnectLan({0x7F000001, ntohs(local.sin_port)}));
  EXPECT_FALSE(link.lanSocket);
  EXPECT_GE(clock.MonotonicMs() - start, 1000u) << "two pauses of 500 ms at least";
  WSACleanup();
}

}  // namespace
}  // namespace kestrava
