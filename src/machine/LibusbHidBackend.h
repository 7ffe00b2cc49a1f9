#pragma once

#include "machine/HidBackend.h"

#include <memory>

// HID access over libusb-1.0: enumeration of the HID interfaces, their strings,
// output reports (interrupt OUT endpoint, else SET_REPORT), raw string
// descriptors for the indexed reads, and hotplug callbacks. A system without
// USB access gives an empty device list.
namespace korvane {

std::unique_ptr<HidBackend> makeLibusbHidBackend();

} // namespace korvane
