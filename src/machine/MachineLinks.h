#pragma once

#include <array>
#include <cstdint>
#include <string>

// The machine links as the program makes and ends them: the Ethernet link to
// the address of the settings, followed when the settings change, and both
// links closed at shutdown.
namespace korvane {

// The address as the four numbers joined by ".".
std::string ipAddressText(const std::array<std::uint8_t, 4>& address);

// The settings ask for the network machine: the Ethernet box is on and an
// address other than 0.0.0.0 is given.
bool ethernetWanted();

// At start: the Ethernet link to the settings' address on the ports of the
// machinePorts option. It only connects while ethernetWanted() holds.
void createEthernetLink();

// After the settings were saved: a changed address makes a new link (the old
// connection is closed); otherwise the link and its connection stay.
void followEthernetSettings();

// At shutdown: the Ethernet connection closed and its watchdog ended, the USB
// link freed.
void closeMachineLinks();

} // namespace korvane
