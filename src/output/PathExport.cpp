#include "output/PathExport.h"

#include "foundation/Rounding.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace korvane {

namespace {

constexpr const char* crlf = "\r\n";

// Plotter units of a coordinate in mm.
std::int64_t plotUnits(float mm) {
    // Beyond 10^12 units (2500 km) the plot means nothing; held there so
    // that the integer stays defined.
    return roundHalfEven(std::clamp(static_cast<long double>(mm) * 400.0L, -1e12L, 1e12L));
}

void hpglView(std::string& out, const tFigura& f, float (*u)(const TrPkt3D&),
              float (*v)(const TrPkt3D&), std::int64_t shift) {
    for (std::size_t i = 0; i < f.poz.size(); ++i) {
        out += i == 0 ? "PA " : "PD ";
        out += std::to_string(plotUnits(u(f.poz[i])) + shift) + "," +
               std::to_string(plotUnits(v(f.poz[i]))) + ";" + crlf;
    }
    out += std::string("PU;") + crlf;
}

// Fixed notation with `decimals` decimals, rounded to at most 7 significant
// digits; a value that rounds to zero has no sign.
std::string dxfNumber(float value, int decimals) {
    const double v = value;
    const int integerDigits =
        std::fabs(v) >= 1 ? static_cast<int>(std::floor(std::log10(std::fabs(v)))) + 1 : 0;
    const int kept = std::clamp(7 - integerDigits, 0, decimals);
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, kept);
    std::string text(buffer, r.ptr);
    if (kept < decimals) text += (kept == 0 ? "." : "") + std::string(decimals - kept, '0');
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

void write(const std::filesystem::path& name, const std::string& text) {
    if (!writeFileAtomically(name, text))
        throw std::runtime_error("Cannot write the file " + name.string());
}

} // namespace

std::string hpglText(const FigureList& figures) {
    std::string out;
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        hpglView(
            out, *f, [](const TrPkt3D& p) { return p.x; }, [](const TrPkt3D& p) { return p.y; }, 0);
        out += std::string("SP1;") + crlf;
        hpglView(
            out, *f, [](const TrPkt3D& p) { return p.x; }, [](const TrPkt3D& p) { return p.z; },
            6000);
        out += std::string("SP1;") + crlf;
        hpglView(
            out, *f, [](const TrPkt3D& p) { return p.y; }, [](const TrPkt3D& p) { return p.z; },
            12000);
    }
    return out;
}

std::string dxfText(const FigureList& figures, int jednostkaMiary) {
    const int decimals = jednostkaMiary == 0 || jednostkaMiary == 1 ? 3
                         : jednostkaMiary == 2                      ? 4
                                                                    : 1;
    std::string out;
    auto line = [&out](const std::string& text) { out += text + crlf; };
    line("  0");
    line("SECTION");
    line("  2");
    line("ENTITIES");
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        line("  0");
        line("POLYLINE");
        line("  70");
        line("8");
        for (const TrPkt3D& p : f->poz) {
            line("  0");
            line("VERTEX");
            line("  10");
            line(dxfNumber(p.x, decimals));
            line("  20");
            line(dxfNumber(p.y, decimals));
            line("  30");
            line(dxfNumber(p.z, decimals));
        }
        line("  0");
        line("SEQEND");
    }
    line("  0");
    line("ENDSEC");
    line("  0");
    line("EOF");
    return out;
}

void ZapiszHpgl(const FigureList& figures, const std::filesystem::path& name) {
    write(name, hpglText(figures));
}

void ZapiszDXF(const FigureList& figures, const std::filesystem::path& name, int jednostkaMiary) {
    write(name, dxfText(figures, jednostkaMiary));
}

} // namespace korvane
