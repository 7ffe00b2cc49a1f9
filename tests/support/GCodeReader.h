#pragma once

#include <charconv>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// A reader of the G-code subset the export writes: G0/G1 with modal X, Y, Z
// and F, comments in parentheses, "%" lines and the setting words it ignores.
// Each motion line becomes one move with the position reached.
namespace korvane::test {

struct GCodeMove {
    bool rapid = false;
    double x = 0, y = 0, z = 0;
    double feed = 0; // in force for a cut, 0 for a rapid
};

struct GCodeProgram {
    std::vector<GCodeMove> moves;
    std::vector<std::string> words; // every other word (G21, S..., M3, ...) in order
};

inline GCodeProgram readGCode(const std::string& text) {
    GCodeProgram program;
    std::istringstream in(text);
    std::string line;
    double x = 0, y = 0, z = 0, feed = 0;
    int motion = -1;
    while (std::getline(in, line)) {
        if (line == "%") continue;
        if (const auto open = line.find('('); open != std::string::npos) {
            const auto close = line.find(')', open);
            if (close == std::string::npos) throw std::runtime_error("open comment: " + line);
            line.erase(open, close - open + 1);
        }
        std::istringstream words(line);
        std::string word;
        bool moved = false;
        while (words >> word) {
            const char letter = word[0];
            double value = 0;
            const auto r = std::from_chars(word.data() + 1, word.data() + word.size(), value);
            if (r.ec != std::errc() || r.ptr != word.data() + word.size())
                throw std::runtime_error("bad word " + word + " in " + line);
            if (letter == 'G' && (word == "G0" || word == "G1")) {
                motion = word == "G0" ? 0 : 1;
            } else if (letter == 'X' || letter == 'Y' || letter == 'Z') {
                (letter == 'X' ? x : letter == 'Y' ? y : z) = value;
                moved = true;
            } else if (letter == 'F') {
                feed = value;
            } else {
                program.words.push_back(word);
            }
        }
        if (!moved) continue;
        if (motion < 0) throw std::runtime_error("a move without G0 or G1: " + line);
        program.moves.push_back({motion == 0, x, y, z, motion == 0 ? 0 : feed});
    }
    return program;
}

} // namespace korvane::test
