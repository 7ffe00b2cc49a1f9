// Fuzzes the output path file reader, the start point search over what it
// read, and the round trip through the writer: the text written for what was
// read reads back to the same text.
#include "FuzzFile.h"
#include "output/DaneWyjsciowe.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Reads `file` whole; false for a malformed one.
bool read(const std::filesystem::path& file, korvane::tWy& reader) {
    try {
        reader.wczytajPlik(file, -1);
        return true;
    } catch (const korvane::OutputFileError&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tWy reader;
    if (!read(korvane::fuzz::inputFile("fuzz.out", data, size), reader)) return 0;
    std::size_t points = 0;
    for (const auto& f : reader.ListaFigur) points += f->poz.size();
    if (points != static_cast<std::size_t>(reader.iloscPunktow)) std::abort();
    reader.UstawNajblizszyPktStartowy({0, 0, 0}, reader.typOperacji);

    const std::string written = korvane::outputFileText(reader.typOperacji, reader.ListaFigur);
    korvane::tWy again;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(written.data());
    if (!read(korvane::fuzz::inputFile("again.out", bytes, written.size()), again)) std::abort();
    if (korvane::outputFileText(again.typOperacji, again.ListaFigur) != written) std::abort();
    return 0;
}
