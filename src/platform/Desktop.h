#pragma once

#include <filesystem>
#include <string>

// What the desktop offers the program: opening documents, notifications, the
// system's name and description.
namespace korvane {

// Opens a file or an address with the associated program (xdg-open).
bool openDocument(const std::string& fileOrAddress);

// Shows a desktop notification (D-Bus Notifications service); false when none
// could be shown.
bool showDesktopNotification(const std::string& title, const std::string& text);

// This computer's name.
std::string computerName();

// "Debian GNU/Linux 12 (bookworm) [ver. 6.1]\r\nLinux 6.1.0-18-amd64".
std::string osDescription();

} // namespace korvane
