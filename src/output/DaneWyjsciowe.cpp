#include "output/DaneWyjsciowe.h"

#include "foundation/MachineParams.h"
#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "geometry/Figury.h"
#include "output/OutputNumber.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

namespace korvane {

std::unique_ptr<tWy> outputReader;
std::string outputFileName;
int sharpCornerCount = 0;
int startFigureIndex = 0;
int startPointIndex = 0;
bool outputPathSmoothing = false;

namespace {

[[noreturn]] void malformed(const std::filesystem::path& file, int lineNumber,
                            const std::string& line) {
    throw OutputFileError(file.string() + ", line " + std::to_string(lineNumber) +
                          ": not a number in \"" + line + "\"");
}

[[noreturn]] void outOfReach(const std::filesystem::path& file, int lineNumber,
                             const std::string& line) {
    throw OutputFileError(file.string() + ", line " + std::to_string(lineNumber) +
                          ": a coordinate beyond " + formatReal(maxOutputCoordinate) +
                          " mm, out of any machine's reach, in \"" + line + "\"");
}

} // namespace

std::filesystem::path outputFilePath(const std::string& name) {
    return dataFolder / outputFolderName / (name + "." + outputExtension);
}

std::string outputFileText(int idTyp, const FigureList& figures) {
    std::string out = "Operation type=" + std::to_string(idTyp) + "\r\n";
    for (size_t i = 0; i < figures.size(); ++i) appendOutputFigure(out, i, *figures[i]);
    return out;
}

void appendOutputFigure(std::string& out, std::size_t index, const tFigura& f) {
    out += "Object" + std::to_string(index) + "\r\nTransfer Z=";
    appendOutputNumber(out, f.przestawczyZ);
    out += "\r\nSpirala =" + std::to_string(f.spirala) + "\r\nObrys =" + std::to_string(f.obrys) +
           "\r\nWarstwa =" + std::to_string(f.NrWarstwy) +
           "\r\nPrzestawcza =" + std::to_string(f.Przestawcza) + "\r\n";
    for (const TrPkt3D& p : f.poz) {
        appendOutputNumber(out, p.x);
        out += ' ';
        appendOutputNumber(out, p.y);
        out += ' ';
        appendOutputNumber(out, p.z);
        out += "\r\n";
    }
}

bool writeOutputFile(const std::filesystem::path& file, int idTyp, const FigureList& figures) {
    if (figures.empty()) return false;
    if (!writeFileAtomically(file, outputFileText(idTyp, figures)))
        throw std::runtime_error("cannot write " + file.string());
    return true;
}

void tWy::resetExtents() {
    constexpr float inf = std::numeric_limits<float>::infinity();
    max = {-inf, -inf, -inf};
    min = {inf, inf, inf};
}

void tWy::wyczyscListeFigur() {
    ListaFigur.clear();
    resetExtents();
}

void tWy::wczytajPlikWyjsciowy(const std::string& name, int WyswietlanaWarstwa) {
    outputFileName = name;
    wczytajPlik(outputFilePath(name), WyswietlanaWarstwa);
}

void tWy::finishFigure(std::unique_ptr<tFigura> f, int layer) {
    f->zamknieta = samePoint(f->poz.front(), f->poz.back());
    if (layer != -1 && layer != f->NrWarstwy) return;
    const double threshold = outputPathSmoothing ? cornerCountAngle : cornerAngle;
    for (int i = 1; i + 1 < f->count(); ++i) {
        sharpCornerCount += 2;
        const auto& p = f->poz;
        if (angleAt(p[size_t(i)], p[size_t(i - 1)], p[size_t(i + 1)]) < threshold)
            ++sharpCornerCount;
    }
    ListaFigur.push_back(std::move(f));
}

void tWy::wczytajPlik(const std::filesystem::path& file, int WyswietlanaWarstwa) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    iloscPunktow = 0;
    sharpCornerCount = 0;
    int lineNumber = 0;
    std::string line;
    auto next = [&] {
        while (std::getline(in, line)) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!trimSpaces(line).empty()) return true;
        }
        return false;
    };
    auto rest = [&](std::string_view key) {
        return std::string_view(line).substr(line.find(key) + key.size());
    };
    auto real = [&](std::string_view text) {
        const auto v = parseReal(text);
        if (!v) malformed(file, lineNumber, line);
        return *v;
    };
    // A point's coordinate must lie within a machine's reach: a larger one
    // overflows the steps of the job and the numbers of the G-code.
    auto floatValue = [&](std::string_view text) {
        const double v = real(text);
        if (std::fabs(v) > maxOutputCoordinate) outOfReach(file, lineNumber, line);
        return static_cast<float>(v);
    };
    auto integer = [&](std::string_view key) {
        const auto v = parseInteger(rest(key));
        if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
            malformed(file, lineNumber, line);
        return static_cast<int>(*v);
    };
    auto has = [&](std::string_view key) { return line.find(key) != std::string::npos; };

    auto current = std::make_unique<tFigura>();
    bool more = next();
    while (more) {
        if (has("Operation type=")) {
            const std::string_view value = rest("Operation type=").substr(0, 1);
            const auto v = parseInteger(value);
            if (!v) malformed(file, lineNumber, line);
            typOperacji = static_cast<int>(*v);
            if (!(more = next())) break;
        }
        if (has("Transfer Z=")) {
            current->przestawczyZ = real(rest("Transfer Z="));
            if (std::fabs(current->przestawczyZ) > maxOutputCoordinate)
                outOfReach(file, lineNumber, line);
            if (!(more = next())) break;
        }
        if (has("Spirala =")) {
            current->spirala = integer("Spirala =");
            if (!(more = next())) break;
        }
        if (has("Obrys =")) {
            current->obrys = integer("Obrys =");
            if (!(more = next())) break;
        }
        if (has("Warstwa =")) {
            current->NrWarstwy = integer("Warstwa =");
            if (!(more = next())) break;
        }
        if (has("Przestawcza =")) {
            current->Przestawcza = integer("Przestawcza =");
            if (!(more = next())) break;
        }
        const std::string_view head = std::string_view(line).substr(0, 6);
        if (head == "Object" || head == "Objekt") {
            if (!current->poz.empty()) {
                finishFigure(std::move(current), WyswietlanaWarstwa);
                current = std::make_unique<tFigura>();
            }
        } else {
            std::string_view text = line;
            TrPkt3D p;
            float* coordinate[2] = {&p.x, &p.y};
            for (float* c : coordinate) {
                const size_t space = text.find(' ');
                if (space == std::string_view::npos) malformed(file, lineNumber, line);
                *c = floatValue(text.substr(0, space));
                text.remove_prefix(space + 1);
            }
            p.z = floatValue(text);
            current->dodajPunktTrPkt3D(p);
            ++iloscPunktow;
            max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
            min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
        }
        more = next();
    }
    if (!current->poz.empty()) finishFigure(std::move(current), WyswietlanaWarstwa);

    float length = 0;
    for (const auto& f : ListaFigur) {
        if (f->Przestawcza != 0) continue;
        for (size_t i = 1; i < f->poz.size(); ++i) {
            const TrPkt3D &a = f->poz[i - 1], &b = f->poz[i];
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
            length = static_cast<float>(length + std::sqrt(dx * dx + dy * dy + dz * dz));
        }
    }
    dl_sciezki_narz = length;
}

StartPoint tWy::nearestStartPoint(const TrPkt3D& wePkt, int typOper) const {
    const bool hatching = isHatching(typOper);
    double best = std::numeric_limits<double>::infinity();
    int bestFigure = 0, bestSegment = 0;
    for (size_t fi = 0; fi < ListaFigur.size(); ++fi) {
        const auto& p = ListaFigur[fi]->poz;
        for (size_t i = 0; i + 1 < p.size(); ++i) {
            const TrPkt3D &a = p[i], &b = p[i + 1];
            if (!hatching && !(a.z >= wePkt.z && b.z >= wePkt.z)) continue;
            const double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
            double fx, fy;
            if (std::fabs(x1 - x2) < 1e-18) {
                fx = x1, fy = wePkt.y;
            } else if (std::fabs(y1 - y2) < 1e-18) {
                fx = wePkt.x, fy = y1;
            } else {
                const double k = (y2 - y1) / (x2 - x1), t = y1 - k * x1;
                fx = (wePkt.y + wePkt.x / k - t) / (k + 1 / k);
                fy = k * fx + t;
            }
            if (fx < std::min(x1, x2) || fx > std::max(x1, x2) || fy < std::min(y1, y2) ||
                fy > std::max(y1, y2))
                continue;
            const double pz = hatching ? 0 : wePkt.z, az = hatching ? 0 : a.z,
                         bz = hatching ? 0 : b.z;
            const double ux = x2 - x1, uy = y2 - y1, uz = bz - az;
            const double wx = wePkt.x - x1, wy = wePkt.y - y1, wz = pz - az;
            const double uu = ux * ux + uy * uy + uz * uz;
            const double s = uu == 0 ? 0 : std::clamp((ux * wx + uy * wy + uz * wz) / uu, 0.0, 1.0);
            const double dx = wx - s * ux, dy = wy - s * uy, dz = wz - s * uz;
            const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
            if (d < best) best = d, bestFigure = int(fi), bestSegment = int(i);
        }
    }
    if (bestSegment > 0) --bestSegment;
    return {bestFigure, bestSegment};
}

void tWy::UstawNajblizszyPktStartowy(const TrPkt3D& wePkt, int typOper) {
    const StartPoint start = nearestStartPoint(wePkt, typOper);
    startFigureIndex = start.figure;
    startPointIndex = start.point;
}

} // namespace korvane
