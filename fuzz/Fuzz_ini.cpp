// Fuzzes the INI engine: every value of every section read in each form, a
// value written, and the round trip: the text it would save reads back to the
// same sections, keys and values.
#include "FuzzFile.h"
#include "foundation/IniFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

using korvane::IniFile;

void readEverything(const IniFile& ini) {
    for (const std::string& section : ini.sections())
        for (const std::string& key : ini.keys(section)) {
            if (!ini.valueExists(section, key)) std::abort();
            ini.readString(section, key, "");
            ini.readInteger(section, key, 0);
            ini.readFloat(section, key, 0);
            ini.readBool(section, key, false);
        }
}

void expectSame(const IniFile& a, const IniFile& b) {
    if (a.sections() != b.sections()) std::abort();
    for (const std::string& section : a.sections()) {
        if (a.keys(section) != b.keys(section)) std::abort();
        for (const std::string& key : a.keys(section))
            if (a.readString(section, key, "") != b.readString(section, key, "")) std::abort();
    }
}

IniFile reread(const IniFile& ini) {
    const std::string text = ini.text();
    return IniFile(korvane::fuzz::inputFile(
        "again.ini", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini(korvane::fuzz::inputFile("fuzz.ini", data, size));
    readEverything(ini);
    expectSame(ini, reread(ini));

    // A value written into the first section (or a new one) reads back as written.
    const auto sections = ini.sections();
    const std::string section = sections.empty() ? "Fuzz" : sections.front();
    ini.writeString(section, "FuzzKey", "fuzz value");
    if (ini.readString(section, "FuzzKey", "") != "fuzz value") std::abort();
    expectSame(ini, reread(ini));
    return 0;
}
