// What the Standard TCP/IP Port monitor takes through XcvData: a port's configuration
// (PORT_DATA_1, for "AddPort" and "ConfigPort") and the port to delete (DELETE_PORT_DATA_1), laid
// out byte for byte as the monitor reads them: little-endian, texts as zero-padded UTF-16 fields
// of a fixed size, each field at its natural alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace kestrava {

// The monitor that takes network printers' ports, by the name the spooler knows it by.
inline constexpr const char16_t* kTcpIpMonitor = u"Standard TCP/IP Port";
// Its commands.
inline constexpr const char16_t* kAddPortCommand = u"AddPort";
inline constexpr const char16_t* kConfigPortCommand = u"ConfigPort";
inline constexpr const char16_t* kDeletePortCommand = u"DeletePort";

// The sizes of the two records, and of the text fields (in characters, the closing zero
// included) that bound what they can hold.
inline constexpr size_t kPortData1Size = 964;
inline constexpr size_t kDeletePortData1Size = 236;
inline constexpr size_t kPortNameChars = 64;
inline constexpr size_t kHostAddressChars = 49;

// A raw TCP/IP port as an installation makes it: named by the printer's address, raw on
// kPrinterTcpPort, SNMP off (its community and device index as the registry's fallback writes
// them). Texts longer than their field are cut to fit with their closing zero.
std::vector<uint8_t> RawPortData(const WString& name, const WString& hostAddress);
// The port of that name, to be deleted.
std::vector<uint8_t> DeletePortData(const WString& name);

}  // namespace kestrava
