#include "app/About.h"

#include "foundation/Interfejs.h"
#include "foundation/Version.h"

namespace korvane {

namespace {

constexpr const char* webAddress = "https://vardimon.example";
constexpr const char* emailAddress = "support@vardimon.example";
// The Taiwanese interface comes with the machines of the local dealer.
constexpr int dealerCountry = 886;
constexpr const char* dealer = "Vardimon Taiwan Co., Ltd.\n"
                               "No. 88, Sec. 2, Zhongshan N. Rd., Taipei\n"
                               "+886 2 2500 0000\n"
                               "https://tw.vardimon.example";

} // namespace

AboutText aboutText(int country) {
    AboutText a;
    a.caption = txt("About", "caption");
    a.version = txt("About", "lWer.Caption") + ":" + std::to_string(versionMajor) + "." +
                std::to_string(versionMinor) + "." + std::to_string(versionRelease) + "." +
                std::to_string(versionBuild);
    a.webCaption = txt("About", "lWWW.Caption");
    a.webAddress = webAddress;
    a.webTarget = webAddress;
    a.emailCaption = txt("About", "lEmail.Caption");
    a.emailAddress = emailAddress;
    a.emailTarget = std::string("mailTo:") + emailAddress;
    a.dealerShown = country == dealerCountry;
    if (a.dealerShown) {
        a.dealerCaption = txt("About", "lDealer.Caption");
        a.dealer = dealer;
    }
    return a;
}

} // namespace korvane
