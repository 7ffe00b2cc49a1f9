#include "output/GCodeExport.h"

#include "output/OutputNumber.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvane {

namespace {

// Builds the program line by line and remembers where the tool is and which
// feed is in force.
class Program {
  public:
    void line(std::string_view text) {
        out += text;
        out += '\n';
    }
    void rapidZ(double z) {
        out += "G0 Z";
        appendOutputNumber(out, z);
        out += '\n';
        z_ = z;
    }
    void rapidXY(double x, double y) {
        out += "G0 X";
        appendOutputNumber(out, x);
        out += " Y";
        appendOutputNumber(out, y);
        out += '\n';
    }
    void cutZ(double z, double feed) {
        out += "G1 Z";
        appendOutputNumber(out, z);
        appendFeed(feed);
        z_ = z;
    }
    void cut(const TrPkt3D& p, double feed) {
        out += "G1 X";
        appendOutputNumber(out, p.x);
        out += " Y";
        appendOutputNumber(out, p.y);
        out += " Z";
        appendOutputNumber(out, p.z);
        appendFeed(feed);
        z_ = p.z;
    }
    double z() const { return z_; }

    std::string out;

  private:
    void appendFeed(double feed) {
        if (feed != feed_) {
            out += " F";
            appendOutputNumber(out, feed);
            feed_ = feed;
        }
        out += '\n';
    }
    double z_ = 0;
    double feed_ = -1;
};

// A comment cannot hold parentheses or line breaks.
std::string commentText(std::string text) {
    for (char& c : text)
        if (c == '(' || c == ')' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

} // namespace

std::optional<GCodeDialect> gcodeDialect(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "grbl") return GCodeDialect::grbl;
    if (lower == "linuxcnc") return GCodeDialect::linuxCnc;
    return std::nullopt;
}

double gcodeSafeHeight(const FigureList& figures) {
    double top = 0;
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        top = std::max(top, f->przestawczyZ);
        for (const TrPkt3D& p : f->poz) top = std::max(top, static_cast<double>(p.z));
    }
    return top + 5;
}

std::string gcodeText(const FigureList& figures, const TOperacjaDane& operation,
                      GCodeDialect dialect) {
    if (!(operation.szybkosc > 0))
        throw std::invalid_argument("The operation " + operation.nazwa + " has no working feed");
    const double feed = operation.szybkosc;
    const double plungeFeed = operation.posuwWiercenia > 0 ? operation.posuwWiercenia : feed;
    const bool linuxCnc = dialect == GCodeDialect::linuxCnc;
    const double safe = gcodeSafeHeight(figures);

    Program g;
    if (linuxCnc) g.line("%");
    g.line("(Korvane3D " + commentText(operation.nazwa) + ")");
    g.line("G21");
    g.line("G90");
    if (linuxCnc) {
        g.line("G17 G40 G49 G80 G94");
        g.line("G64 P0.010");
    } else {
        g.line("G17 G94");
    }
    g.rapidZ(safe);
    if (operation.obroty > 0) {
        std::string spindle = "S";
        appendOutputNumber(spindle, operation.obroty);
        g.line(spindle + " M3");
    }
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        const TrPkt3D& start = f->poz.front();
        const double approach = start.z + std::max(operation.warstwaGrubosc, 0.0);
        // Never travel sideways below the level the figure is approached from.
        if (g.z() < approach) g.rapidZ(approach);
        g.rapidXY(start.x, start.y);
        if (g.z() > approach) g.rapidZ(approach);
        g.cutZ(start.z, plungeFeed);
        for (std::size_t i = 1; i < f->poz.size(); ++i) {
            const TrPkt3D& a = f->poz[i - 1];
            const TrPkt3D& b = f->poz[i];
            const double across = std::hypot(b.x - a.x, b.y - a.y);
            g.cut(b, a.z - b.z > across ? plungeFeed : feed);
        }
        g.rapidZ(f->przestawczyZ);
    }
    g.rapidZ(safe);
    g.line("M5");
    g.line("M2");
    if (linuxCnc) g.line("%");
    return std::move(g.out);
}

void saveGCode(const FigureList& figures, const TOperacjaDane& operation, GCodeDialect dialect,
               const std::filesystem::path& name) {
    if (!writeFileAtomically(name, gcodeText(figures, operation, dialect)))
        throw std::runtime_error("Cannot write the file " + name.string());
}

} // namespace korvane
