#include "foundation/Settings.h"

#include "foundation/Messages.h"
#include "foundation/State.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <cstring>
#include <fstream>

namespace korvane {

namespace {

template <typename T> void put(std::uint8_t* at, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(at, &value, sizeof value); // the record is little-endian, as is the host
}

template <typename T> T get(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// A ShortString: length byte and the text as a file holds it. A text that does
// not fit is stored empty: a cut path or computer name would name another one.
void putShortString(std::uint8_t* at, std::size_t capacity, const std::string& text) {
    std::string bytes = toFileText(text);
    if (bytes.size() > capacity) bytes.clear();
    at[0] = static_cast<std::uint8_t>(bytes.size());
    std::memcpy(at + 1, bytes.data(), bytes.size());
}

std::string getShortString(const std::uint8_t* at, std::size_t capacity) {
    std::size_t length = std::min<std::size_t>(at[0], capacity);
    return fromFileText(std::string_view(reinterpret_cast<const char*>(at + 1), length));
}

bool readWhole(const std::filesystem::path& path, std::uint8_t* into, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

} // namespace

SettingsBytes encodeSettings(const TUstawienia& s) {
    SettingsBytes b{};
    put<std::int32_t>(&b[0], s.jednostkaMiary);
    putShortString(&b[4], 255, s.plikProjektu);
    put<double>(&b[260], s.rozdzielczosc);
    put<std::int32_t>(&b[268], s.modelKolor);
    b[272] = s.modelSposobKreslenia;
    put<double>(&b[276], s.modelPolysk);
    b[284] = s.ukladWsp;
    b[285] = s.podgladBezModelu;
    b[286] = s.podgladBezMaterialu;
    put<double>(&b[288], s.plytkaPomGrubosc);
    b[296] = s.plytkaPomPolozenie;
    std::memcpy(&b[297], s.zarezerwowane.data(), s.zarezerwowane.size());
    b[325] = s.powiadomKoniecGenWy;
    b[326] = s.powiadomKoniecObrobki;
    putShortString(&b[327], 30, s.netSendOdbiorca);
    b[358] = s.sprzegNawigacyjny;
    std::memcpy(&b[359], s.adresIP.data(), 4);
    b[363] = s.ethernetConnection;
    b[364] = s.printer3D;
    return b;
}

TUstawienia decodeSettings(const SettingsBytes& b) {
    TUstawienia s;
    s.jednostkaMiary = get<std::int32_t>(&b[0]);
    s.plikProjektu = getShortString(&b[4], 255);
    s.rozdzielczosc = get<double>(&b[260]);
    s.modelKolor = get<std::int32_t>(&b[268]);
    s.modelSposobKreslenia = b[272];
    s.modelPolysk = get<double>(&b[276]);
    s.ukladWsp = b[284] != 0;
    s.podgladBezModelu = b[285] != 0;
    s.podgladBezMaterialu = b[286] != 0;
    s.plytkaPomGrubosc = get<double>(&b[288]);
    s.plytkaPomPolozenie = b[296];
    std::memcpy(s.zarezerwowane.data(), &b[297], s.zarezerwowane.size());
    s.powiadomKoniecGenWy = b[325] != 0;
    s.powiadomKoniecObrobki = b[326] != 0;
    s.netSendOdbiorca = getShortString(&b[327], 30);
    s.sprzegNawigacyjny = b[358] != 0;
    std::memcpy(s.adresIP.data(), &b[359], 4);
    s.ethernetConnection = b[363] != 0;
    s.printer3D = b[364] != 0;
    return s;
}

void decodeOldSettings(const std::array<std::uint8_t, oldSettingsFileSize>& b, TUstawienia& s) {
    s.jednostkaMiary = get<std::int32_t>(&b[0]);
    s.plikProjektu = getShortString(&b[4], 255);
    s.rozdzielczosc = get<double>(&b[264]);
    s.plytkaPomGrubosc = get<double>(&b[296]);
    s.plytkaPomPolozenie = b[304];
    std::memcpy(&s.zarezerwowane[300 - 297], &b[312], 16);
    s.powiadomKoniecGenWy = b[337] != 0;
    s.powiadomKoniecObrobki = b[338] != 0;
    s.netSendOdbiorca = getShortString(&b[339], 30);
    s.sprzegNawigacyjny = b[370] != 0;
    std::memcpy(s.adresIP.data(), &b[371], 4);
    s.ethernetConnection = b[375] != 0;
}

void applySettingsDefaults(TUstawienia& s) {
    s.jednostkaMiary = 0;
    s.plikProjektu.clear();
    s.rozdzielczosc = 5.0;
    s.plytkaPomGrubosc = 15.1;
    s.plytkaPomPolozenie = 0;
    s.zarezerwowane.fill(0);
    s.powiadomKoniecGenWy = false;
    s.powiadomKoniecObrobki = false;
    s.netSendOdbiorca.clear();
    s.sprzegNawigacyjny = true;
    s.adresIP = {0, 0, 0, 0};
    s.ethernetConnection = false;
}

void readSettings() {
    const auto path = dataFolder / settingsFileName;
    std::error_code ec;
    const auto length =
        std::filesystem::exists(path, ec) ? std::filesystem::file_size(path, ec) : 0;
    if (!ec && length == oldSettingsFileSize) {
        std::array<std::uint8_t, oldSettingsFileSize> old{};
        if (readWhole(path, old.data(), old.size())) {
            decodeOldSettings(old, settings);
            if (deleteFileReported(path)) writeSettings();
            return;
        }
    } else if (!ec && length == settingsFileSize) {
        SettingsBytes bytes{};
        if (readWhole(path, bytes.data(), bytes.size())) {
            settings = decodeSettings(bytes);
            return;
        }
    }
    applySettingsDefaults(settings);
}

bool writeSettings() {
    const SettingsBytes bytes = encodeSettings(settings);
    return writeFileAtomically(
        dataFolder / settingsFileName,
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace korvane
