#include "machine/MachineLinks.h"

#include "foundation/State.h"
#include "machine/Ethernet.h"
#include "machine/MachineState.h"
#include "machine/Usb.h"

#include <algorithm>

namespace korvane {

std::string ipAddressText(const std::array<std::uint8_t, 4>& address) {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}

bool ethernetWanted() {
    return settings.ethernetConnection &&
           std::any_of(settings.adresIP.begin(), settings.adresIP.end(),
                       [](std::uint8_t octet) { return octet != 0; });
}

void createEthernetLink() {
    ethernetLink.reset();
    ethernetLink =
        std::make_unique<TfEthernet>(ipAddressText(settings.adresIP), machinePortsOption());
}

void followEthernetSettings() {
    if (ethernetLink && ethernetLink->host() == ipAddressText(settings.adresIP)) return;
    createEthernetLink();
}

void closeMachineLinks() {
    ethernetLink.reset();
    usbLink.reset();
}

} // namespace korvane
