// The serial (COM) ports that the system's Bluetooth stack made for paired printers, found in
// the device enumeration tree of the registry, each with a label of the device's friendly name
// and its Bluetooth address.
#pragma once

#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace kestrava {

// Appends one entry to each list per port found, in registry order (service keys, then their
// instances); entry i of one list belongs to entry i of the other. Registry failures only
// leave entries out. The caller empties the lists.
void FindBluetoothPorts(Registry& registry, std::vector<WString>& blePortNames,
                        std::vector<WString>& blePortLabels);

// The address part of an instance key name: after its last "&" up to the first "_" after
// that; empty when there is no such "_".
WString BluetoothAddressOfInstance(const WString& instanceName);

// Whether a service key of the enumeration tree is one of a paired serial device.
bool IsBluetoothSerialServiceKey(const WString& serviceName);

}  // namespace kestrava
