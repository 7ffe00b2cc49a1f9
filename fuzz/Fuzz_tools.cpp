// Fuzzes the tool file reader with files of the current and both older
// layouts (an older one is converted and written back), and the round trip of
// what it read through the current layout.
#include "FuzzFile.h"
#include "foundation/UserInterface.h"
#include "libraries/Frezy.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The reader shows a message for a damaged file: nobody reads it here.
class SilentInterface final : public korvane::UserInterface {
  public:
    void messageBox(const std::string&, bool, const std::string&, bool) override {}
    korvane::Button confirmation(const std::string&, korvane::Buttons) override {
        return korvane::Button::No;
    }
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentInterface silent;
    korvane::setUserInterface(&silent);
    korvane::TFrezDane tool;
    if (!korvane::TFrezy::PobierzDaneFrezuZpliku(korvane::fuzz::inputFile("fuzz.tol", data, size),
                                                 tool))
        return 0;
    const korvane::TFrezDane again = korvane::decodeTool(korvane::encodeTool(tool));
    // A text that does not fit its field is cut at a whole character.
    if (tool.id.rfind(again.id, 0) != 0 || tool.nazwa.rfind(again.nazwa, 0) != 0) std::abort();
    if (again.typ != tool.typ || !sameBits(again.d1, tool.d1) || !sameBits(again.d2, tool.d2) ||
        !sameBits(again.d3, tool.d3) || !sameBits(again.h, tool.h) || !sameBits(again.hc, tool.hc))
        std::abort();
    return 0;
}
