#pragma once

#include <string>

// What the about dialog shows: the version, the maker's web and e-mail
// addresses with what opening each one hands to the desktop, and for the
// Taiwanese interface (country 886) the dealer panel.
namespace korvane {

struct AboutText {
    std::string caption;
    std::string version; // "Version:1.0.0.1"
    std::string webCaption;
    std::string webAddress;
    std::string webTarget; // what the system's "open" action gets
    std::string emailCaption;
    std::string emailAddress;
    std::string emailTarget; // "mailTo:" + address
    bool dealerShown = false;
    std::string dealerCaption;
    std::string dealer; // name and address lines, "\n" between them
};

AboutText aboutText(int country);

} // namespace korvane
