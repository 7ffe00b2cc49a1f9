#include "import/GCodeInterpreter.h"

#include "import/GCodeCycles.h"
#include "import/GCodeRefusal.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// The modal group of a G code this reader runs (codes times ten); -1 for a
// code it refuses.
int gGroup(int code) {
    switch (code) {
    case 0:
    case 10:
    case 20:
    case 30:
    case 800:
    case 810:
    case 820:
    case 830:
        return 1;
    case 170:
    case 180:
    case 190:
        return 2;
    case 900:
    case 910:
        return 3;
    case 901:
    case 911:
        return 4;
    case 940:
        return 5;
    case 200:
    case 210:
        return 6;
    case 400:
        return 7;
    case 490:
        return 8;
    case 980:
    case 990:
        return 10;
    case 540:
        return 12;
    case 610:
    case 640:
        return 13;
    case 40:
    case 280:
    case 300:
        return 0;
    default:
        return -1;
    }
}

GCodeProblem refusedG(int code) {
    if (code == 410 || code == 420 || code == 411 || code == 421)
        return GCodeProblem::cutterCompensation;
    if (code >= 430 && code <= 439) return GCodeProblem::toolLengthOffset;
    if ((code >= 550 && code <= 599) || (code >= 920 && code <= 929) || code == 100 || code == 530)
        return GCodeProblem::workOffset;
    if (code == 930) return GCodeProblem::inverseTime;
    return GCodeProblem::unknownWord;
}

int mGroup(int code) {
    switch (code) {
    case 0:
    case 10:
    case 20:
    case 300:
        return 4;
    case 60:
        return 6;
    case 30:
    case 40:
    case 50:
        return 7;
    case 70:
    case 80:
    case 90:
        return 8;
    default:
        return -1;
    }
}

// The largest feed (per minute) and spindle speed a program may name: far
// beyond any machine, well within the feeds file's numbers.
constexpr double maxRate = 1e6;

bool beyondReach(const GPoint& p) {
    return !(std::fabs(p[0]) <= maxProgramCoordinate && std::fabs(p[1]) <= maxProgramCoordinate &&
             std::fabs(p[2]) <= maxProgramCoordinate);
}

bool isCycle(int motion) {
    return motion >= 810 && motion <= 830;
}

} // namespace

void GCodeInterpreter::check(const GCodeBlock& block) const {
    auto refuse = [&](GCodeProblem problem, const std::string& word) {
        throw GCodeRefusal(problem, block.lineNumber, block.line, word);
    };
    bool seen[14] = {};
    for (std::size_t i = 0; i < block.g.size(); ++i) {
        const int group = gGroup(block.g[i]);
        if (group < 0) refuse(refusedG(block.g[i]), block.gText[i]);
        if (group > 0 && seen[group]) refuse(GCodeProblem::twiceInBlock, block.gText[i]);
        seen[group] = true;
    }
    bool seenM[9] = {};
    for (std::size_t i = 0; i < block.m.size(); ++i) {
        const int group = mGroup(block.m[i]);
        if (group < 0) refuse(GCodeProblem::unknownWord, block.mText[i]);
        if (group != 8 && seenM[group]) refuse(GCodeProblem::twiceInBlock, block.mText[i]);
        seenM[group] = true;
    }
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!block.has(letter)) continue;
        const std::string& word = block.text[static_cast<std::size_t>(letter - 'A')];
        if (letter == 'D') refuse(GCodeProblem::cutterCompensation, word);
        if (letter == 'H') refuse(GCodeProblem::toolLengthOffset, word);
        if (std::string_view("XYZIJKRFSTPQL").find(letter) == std::string_view::npos)
            refuse(GCodeProblem::unknownWord, word);
    }
}

GPoint GCodeInterpreter::target(const GCodeBlock& block) const {
    GPoint p = path_.position();
    const char letters[3] = {'X', 'Y', 'Z'};
    for (int a = 0; a < 3; ++a) {
        const auto& v = block[letters[a]];
        if (!v) continue;
        p[a] = incremental_ ? p[a] + *v * scale_ : *v * scale_;
        if (!(std::fabs(p[a]) <= maxProgramCoordinate))
            throw GCodeRefusal(GCodeProblem::outOfReach, block.lineNumber, block.line,
                               block.text[static_cast<std::size_t>(letters[a] - 'A')]);
    }
    return p;
}

double GCodeInterpreter::feed(const GCodeBlock& block, int motion) const {
    if (!(feed_ > 0)) {
        const std::string word = block.gWord(motion).empty() ? "F" : block.gWord(motion);
        throw GCodeRefusal(GCodeProblem::missingWord, block.lineNumber, block.line, word);
    }
    return feed_ * scale_;
}

void GCodeInterpreter::run(const GCodeBlock& block) {
    check(block);
    auto refuse = [&](GCodeProblem problem, const std::string& word) {
        throw GCodeRefusal(problem, block.lineNumber, block.line, word);
    };
    if (const auto& f = block['F']) {
        if (!(*f >= 0 && *f <= maxRate)) refuse(GCodeProblem::badNumber, block.text['F' - 'A']);
        feed_ = *f;
    }
    if (const auto& s = block['S']) {
        if (!(*s >= 0 && *s <= maxRate)) refuse(GCodeProblem::badNumber, block.text['S' - 'A']);
        path_.setSpindle(*s);
        path_.stats().spindleSpeeds.insert(*s);
    }
    if (block.hasM(60)) ++path_.stats().toolChanges;

    // The words only some codes use.
    int motion = -1;
    for (const int g : block.g)
        if (gGroup(g) == 1) motion = g;
    const bool home = block.hasG(280) || block.hasG(300);
    const bool axes = block.has('X') || block.has('Y') || block.has('Z');
    const int moving = motion >= 0 ? motion : (axes && !home ? motion_ : -1);
    const bool arcMove = moving == 20 || moving == 30;
    for (const char letter : {'I', 'J', 'K'})
        if (block.has(letter) && !arcMove)
            refuse(GCodeProblem::unusedWord, block.text[static_cast<std::size_t>(letter - 'A')]);
    if (block.has('R') && !arcMove && !isCycle(moving))
        refuse(GCodeProblem::unusedWord, block.text['R' - 'A']);
    if (block.has('Q') && moving != 830 && !block.hasG(640))
        refuse(GCodeProblem::unusedWord, block.text['Q' - 'A']);
    if (block.has('L') && !isCycle(moving)) refuse(GCodeProblem::unusedWord, block.text['L' - 'A']);
    if (block.has('P') && !block.hasG(40) && !arcMove && !isCycle(moving) && !block.hasG(640))
        refuse(GCodeProblem::unusedWord, block.text['P' - 'A']);
    if (motion >= 0 && home && axes) refuse(GCodeProblem::twiceInBlock, block.gWord(motion));

    if (block.hasG(40) && !block.has('P')) refuse(GCodeProblem::missingWord, block.gWord(40));
    for (const int plane : {170, 180, 190})
        if (block.hasG(plane)) plane_ = plane / 10;
    if (block.hasG(200)) {
        scale_ = 25.4;
        path_.stats().inches = true;
    }
    if (block.hasG(210)) scale_ = 1;
    if (block.hasG(900)) incremental_ = false;
    if (block.hasG(910)) incremental_ = true;
    if (block.hasG(901)) absoluteCentre_ = true;
    if (block.hasG(911)) absoluteCentre_ = false;
    if (block.hasG(980)) retractToR_ = false;
    if (block.hasG(990)) retractToR_ = true;

    if (home) {
        // The axis words are the point passed on the way.
        if (axes) path_.rapid(target(block));
        path_.lift();
    }
    if (motion >= 0) {
        if (motion == 800 || !isCycle(motion)) cycleR_ = cycleZ_ = cycleQ_ = cycleP_ = std::nullopt;
        motion_ = motion;
    }
    // Axis words without a motion in force, as at the start of a program.
    if (moving == 800 && axes) {
        std::string word = block.gWord(800);
        for (const char letter : {'X', 'Y', 'Z'})
            if (word.empty() && block.has(letter))
                word = block.text[static_cast<std::size_t>(letter - 'A')];
        refuse(GCodeProblem::unusedWord, word);
    }
    if (moving >= 0 && moving != 800) move(block, moving);

    if (path_.points() > maxPoints_)
        refuse(GCodeProblem::tooManyMoves, block.gText.empty() ? block.line : block.gText.front());
    if (block.hasM(0) || block.hasM(10)) ++path_.stats().stops;
    if (block.hasM(20) || block.hasM(300)) ended_ = true;
}

void GCodeInterpreter::move(const GCodeBlock& block, int motion) {
    const GPoint to = target(block);
    switch (motion) {
    case 0:
        path_.rapid(to);
        return;
    case 10:
        path_.cut(to, feed(block, motion));
        ++path_.stats().feedMoves;
        return;
    case 20:
    case 30:
        arc(block, to, motion == 20);
        return;
    default:
        cycle(block, motion);
        return;
    }
}

void GCodeInterpreter::arc(const GCodeBlock& block, const GPoint& to, bool clockwise) {
    const int motion = clockwise ? 20 : 30;
    const std::string word =
        block.gWord(motion).empty() ? (clockwise ? "G2" : "G3") : block.gWord(motion);
    auto refuse = [&](GCodeProblem problem, const std::string& w) {
        throw GCodeRefusal(problem, block.lineNumber, block.line, w);
    };
    const PlaneAxes axes = planeAxes(plane_);
    const char axisLetter[3] = {'X', 'Y', 'Z'};
    const char offsetLetter[3] = {'I', 'J', 'K'};
    if (!block.has(axisLetter[axes.first]) && !block.has(axisLetter[axes.second]))
        refuse(GCodeProblem::missingWord, word);
    if (block.has(offsetLetter[axes.normal]))
        refuse(GCodeProblem::arcGeometry,
               block.text[static_cast<std::size_t>(offsetLetter[axes.normal] - 'A')]);
    const double f = feed(block, motion);
    const GPoint from = path_.position();
    const auto& o1 = block[offsetLetter[axes.first]];
    const auto& o2 = block[offsetLetter[axes.second]];
    std::array<double, 2> centre{};
    if (const auto& r = block['R']) {
        if (o1 || o2) refuse(GCodeProblem::arcGeometry, block.text['R' - 'A']);
        const auto c = radiusArcCentre(from, to, axes, *r * scale_, clockwise);
        if (!c) refuse(GCodeProblem::arcGeometry, block.text['R' - 'A']);
        centre = *c;
    } else {
        if (!o1 && !o2) refuse(GCodeProblem::missingWord, word);
        const double c1 = o1.value_or(0) * scale_, c2 = o2.value_or(0) * scale_;
        centre = absoluteCentre_
                     ? std::array<double, 2>{c1, c2}
                     : std::array<double, 2>{from[axes.first] + c1, from[axes.second] + c2};
        const double tolerance = 2 * std::sqrt(2.0) * (scale_ == 1 ? 0.01 : 0.001 * scale_);
        if (!arcRadiiAgree(from, to, axes, centre, tolerance))
            refuse(GCodeProblem::arcGeometry, word);
    }
    int turns = 1;
    if (const auto& p = block['P']) {
        if (*p < 1 || *p != std::floor(*p) || *p > 10000)
            refuse(GCodeProblem::badNumber, block.text['P' - 'A']);
        turns = static_cast<int>(*p);
    }
    chords_.clear();
    if (!arcChords(from, to, axes, centre, clockwise, turns, chords_))
        refuse(GCodeProblem::tooManyMoves, word);
    for (const GPoint& p : chords_)
        if (beyondReach(p)) refuse(GCodeProblem::outOfReach, word);
    ++path_.stats().arcs;
    path_.stats().arcChords += static_cast<long long>(chords_.size());
    for (const GPoint& p : chords_) path_.cut(p, f, false);
}

void GCodeInterpreter::cycle(const GCodeBlock& block, int motion) {
    const std::string word =
        block.gWord(motion).empty() ? "G" + std::to_string(motion / 10) : block.gWord(motion);
    auto refuse = [&](GCodeProblem problem, const std::string& w) {
        throw GCodeRefusal(problem, block.lineNumber, block.line, w);
    };
    // The machine drills along Z only.
    if (plane_ != 17) refuse(GCodeProblem::cycleGeometry, word);
    if (block.has('R')) cycleR_ = block['R'];
    if (block.has('Z')) cycleZ_ = block['Z'];
    if (block.has('Q')) cycleQ_ = block['Q'];
    if (block.has('P')) cycleP_ = block['P'];
    if (!cycleR_) refuse(GCodeProblem::missingWord, word);
    if (!cycleZ_) refuse(GCodeProblem::missingWord, word);
    if (motion == 830 && !(cycleQ_ && *cycleQ_ > 0))
        refuse(block.has('Q') ? GCodeProblem::cycleGeometry : GCodeProblem::missingWord,
               block.has('Q') ? block.text['Q' - 'A'] : word);
    if (motion == 820 && !(cycleP_ && *cycleP_ >= 0)) refuse(GCodeProblem::missingWord, word);
    int repeats = 1;
    if (const auto& l = block['L']) {
        if (*l < 0 || *l != std::floor(*l) || *l > 100000)
            refuse(GCodeProblem::badNumber, block.text['L' - 'A']);
        repeats = static_cast<int>(*l);
    }
    const double f = feed(block, motion);
    const GPoint start = path_.position();
    DrillHole hole;
    hole.cycle = motion / 10;
    hole.feed = f;
    hole.peck = cycleQ_.value_or(0) * scale_;
    hole.rapidDelta = 0.254;
    // In G91 R is measured from the tool's height and Z from R.
    hole.r = incremental_ ? start[2] + *cycleR_ * scale_ : *cycleR_ * scale_;
    hole.bottom = incremental_ ? hole.r + *cycleZ_ * scale_ : *cycleZ_ * scale_;
    if (hole.r < hole.bottom) refuse(GCodeProblem::cycleGeometry, word);
    hole.clear = retractToR_ ? hole.r : std::max(hole.r, start[2]);
    // A block of holes makes no more moves than the longest arc.
    const double pecks = motion == 830 ? std::ceil((hole.r - hole.bottom) / hole.peck) : 0;
    if (!((pecks + 1) * repeats <= double(maxArcChords))) refuse(GCodeProblem::tooManyMoves, word);
    double x = start[0], y = start[1];
    double dx = 0, dy = 0;
    if (incremental_) {
        dx = block['X'].value_or(0) * scale_;
        dy = block['Y'].value_or(0) * scale_;
    } else {
        x = block['X'] ? *block['X'] * scale_ : x;
        y = block['Y'] ? *block['Y'] * scale_ : y;
    }
    double from = start[2];
    for (int i = 0; i < repeats; ++i) {
        hole.x = x + dx * (i + 1);
        hole.y = y + dy * (i + 1);
        drillHole(hole, from, path_);
        from = hole.clear;
    }
}

} // namespace korvane
