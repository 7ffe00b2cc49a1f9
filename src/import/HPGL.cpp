#include "import/HPGL.h"

#include "foundation/Rounding.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvane {

namespace {

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isNumberChar(char c) {
    return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

// The value of a number token; what does not read as a number counts as 0.
double numberValue(const std::string& element) {
    std::string_view text = element;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) return 0;
    return value;
}

// Coordinates are whole numbers: a fraction is rounded; what does not fit counts as 0.
int whole(double v) {
    if (!(v > -2147483648.0 && v < 2147483647.0)) return 0;
    return static_cast<int>(roundHalfEven(v));
}

int wholeValue(const std::string& element) {
    return whole(numberValue(element));
}

// Relative moves add up in 32-bit plotter units; a sum beyond their range wraps
// around instead of overflowing.
int wrappingSum(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

} // namespace

void Thpgl::open(const std::filesystem::path& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + name.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw std::runtime_error("cannot read " + name.string());
    openText(bytes.str());
}

void Thpgl::openText(std::string text) {
    text_ = std::move(text);
    position_ = 0;
    started_ = false;
    EndOfFile = false;
    readChar();
    relativ = false;
    element.clear();
    xy = rel_base = lastxy = lastpaxy = {};
    last_pen = 0;
    pens.fill(0);
    isdown = false;
}

void Thpgl::close() {
    text_.clear();
    position_ = 0;
}

void Thpgl::readChar() {
    if (position_ >= text_.size()) {
        EndOfFile = true;
        ch = ' ';
        return;
    }
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[position_++])));
}

void Thpgl::readToken() {
    element.clear();
    iscommand = isdigit = false;
    if (isLetter(ch)) {
        element += ch;
        readChar();
        if (isLetter(ch)) {
            element += ch;
            readChar();
        }
        iscommand = true;
    } else if (isNumberChar(ch)) {
        while (isNumberChar(ch)) {
            element += ch;
            readChar();
        }
        isdigit = element != ".";
    } else {
        readChar();
    }
}

void Thpgl::nextToken() {
    do readToken();
    while (!iscommand && !isdigit && !EndOfFile);
}

// Reads the command in hand with its parameters, or a further coordinate pair of
// the command before; false when the file holds nothing more.
bool Thpgl::readCommand() {
    il_param = 0;
    if (iscommand) {
        command = element.substr(0, 2);
        nextToken();
        if (!isdigit) {
            if (relativ) xy = {};
            if (command == "PR") xy = lastpaxy;
            return true;
        }
        param[0] = numberValue(element);
        il_param = 1;
        nextToken();
        if (isdigit) {
            param[1] = wholeValue(element);
            il_param = 2;
            xy = {whole(param[0]), static_cast<int>(param[1])};
            nextToken();
        }
        return true;
    }
    if (isdigit) {
        const int x = wholeValue(element);
        param[0] = x;
        il_param = 1;
        nextToken();
        if (isdigit) {
            param[1] = wholeValue(element);
            il_param = 2;
            xy = {x, static_cast<int>(param[1])};
            nextToken();
        }
        return true;
    }
    return false;
}

void Thpgl::addPoint(tFigura& f, PlotPoint p) const {
    f.dodajPunktTrPkt3D({static_cast<float>(p.x / 40.0), static_cast<float>(p.y / 40.0), 0.0f});
}

void Thpgl::relativeStep() {
    rel_base.x = wrappingSum(rel_base.x, xy.x);
    rel_base.y = wrappingSum(rel_base.y, xy.y);
    xy = rel_base;
}

bool Thpgl::get_figura(tFigura& newfig) {
    if (!started_) {
        started_ = true;
        nextToken();
        pending_ = readCommand();
    }
    auto penWidth = [this] {
        return last_pen >= 0 && last_pen <= 256 ? pens[size_t(last_pen)] : 0.0;
    };
    newfig.color = last_pen;
    EndOfFig = false;
    isdown = false;
    PlotPoint first, last;
    // Every command read is carried out, including a last one that ends exactly
    // at the end of the file.
    while (pending_ && !EndOfFig) {
        if (command == "PW") {
            if (il_param == 2) {
                const int pen = whole(param[1]);
                if (pen >= 0 && pen <= 256) pens[size_t(pen)] = param[0];
            } else if (il_param == 1) {
                pens.fill(param[0]);
            }
        } else if (command == "SP") {
            last_pen = il_param >= 1 ? whole(param[0]) : 0;
            if (isdown) EndOfFig = true;
        } else if (command == "PR") {
            relativ = true;
            relativeStep();
        } else if (command == "PD" || (command == "PA" && isdown)) {
            if (!isdown) {
                newfig.color = last_pen;
                newfig.width = penWidth();
                addPoint(newfig, lastxy);
                first = last = lastxy;
            }
            isdown = true;
            if (relativ) relativeStep();
            if (!(newfig.count() == 2 && xy == first && !(xy == last))) {
                addPoint(newfig, xy);
                last = xy;
            }
        } else if (command == "PU") {
            if (relativ) relativeStep();
            relativ = false;
            if (isdown) {
                isdown = false;
                EndOfFig = true;
                newfig.color = last_pen;
                newfig.width = penWidth();
            }
        } else if (command == "PA") {
            lastpaxy = xy;
            rel_base = {};
        }
        lastxy = xy;
        pending_ = readCommand();
    }
    return !newfig.poz.empty();
}

} // namespace korvane
