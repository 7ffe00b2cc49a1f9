#pragma once

// The results of the machine link other than 0 (success). USB writes and reads
// also pass on the error codes of the HID layer (HidBackend.h).
namespace korvane {

// No link to send over, or no machine to read from.
inline constexpr int noMachine = -1;
// The USB machine is not among the devices.
inline constexpr int usbNotPresent = -123456;

// Results of the Ethernet exchanges, also left in ethernetError.
inline constexpr int ethernetStatusFailed = 100;  // no full status block came
inline constexpr int ethernetNoEcho = 101;        // no echo; the connection is closed
inline constexpr int ethernetEchoLength = 102;    // an echo of another length
inline constexpr int ethernetEchoDiffers = 103;   // an echo with a differing byte
inline constexpr int ethernetNoInformation = 103; // no reply on the information port

// A command the machine echoed wrongly: it may hold a damaged record.
inline bool echoMismatch(int result) {
    return result == ethernetEchoLength || result == ethernetEchoDiffers;
}

} // namespace korvane
