#include "import/Dxf2RawConverter.h"

#include "foundation/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace korvane {

namespace {

// The file ended before the pair a loop waits for.
struct EndOfData {};

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool code(const TDXFCommand& cmd, int first, int second = -1, int third = -1) {
    int value = 0;
    const auto c = cmd.Code;
    if (c.empty() || c.size() > 3) return false;
    for (char ch : c) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    if (c.size() > 1 && c.front() == '0') return false; // compared as text: "010" is not 10
    return value == first || value == second || value == third;
}

// Which coordinate a group code sets: 10..13 x, 20..23 y, 30..33 z, by corner.
double& coordinate(DxfVector& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

TPoint3D single(const DxfVector& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

bool sameSingle(const TPoint3D& a, const TPoint3D& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

TDxf2RawConverter::TDxf2RawConverter(const std::filesystem::path& strDxfFileName)
    : reader(strDxfFileName) {}

TDxf2RawConverter TDxf2RawConverter::fromText(std::string_view text) {
    return TDxf2RawConverter(TDxfReader::fromText(text));
}

void TDxf2RawConverter::Convert(const std::function<bool()>& cancelled) {
    if (!canRead()) return;
    cancelled_ = cancelled ? &cancelled : nullptr;
    try {
        for (;;) {
            next();
            if (dxfCmd.is("0", "EOF")) break;
            if (dxfCmd.is("0", "SECTION")) section();
        }
    } catch (const EndOfData&) {
        // A file cut short: what was gathered stays.
    }
    cancelled_ = nullptr;
}

void TDxf2RawConverter::next() {
    ++walked;
    if (!insertStack.empty() && ++repeated > walkLimit)
        throw DxfError("the drawing's block inserts repeat more than " + std::to_string(walkLimit) +
                       " group pairs (blocks inserting blocks multiply them): it is refused");
    if (cancelled_ && walked % 4096 == 0 && (*cancelled_)()) throw DxfError("cancelled");
    if (!reader.GetCmd(dxfCmd)) throw EndOfData{};
}

void TDxf2RawConverter::stepBack() {
    reader.GetCmd(reader.position() - 1, dxfCmd);
}

double TDxf2RawConverter::number() const {
    auto v = parseReal(dxfCmd.Value);
    if (!v || std::fabs(*v) > FLT_MAX)
        throw DxfError("group " + std::string(dxfCmd.Code) + ": \"" + std::string(dxfCmd.Value) +
                       "\" is not a number");
    return *v;
}

std::size_t TDxf2RawConverter::vertexIndex() const {
    auto n = parseInteger(dxfCmd.Value);
    if (!n)
        throw DxfError("group " + std::string(dxfCmd.Code) + ": \"" + std::string(dxfCmd.Value) +
                       "\" is not a vertex number");
    // A negative number marks an invisible edge; a vertex numbered 0 does not
    // exist (a corner left out has no index at all).
    const unsigned long long index =
        *n < 0 ? 0ULL - static_cast<unsigned long long>(*n) : static_cast<unsigned long long>(*n);
    if (index == 0) throw DxfError("group " + std::string(dxfCmd.Code) + ": face vertex 0");
    if (index > mVerticesList.size())
        throw DxfError("face vertex " + std::to_string(index) + " beyond the " +
                       std::to_string(mVerticesList.size()) + " vertices of its mesh");
    return static_cast<std::size_t>(index);
}

void TDxf2RawConverter::section() {
    // The first name pair says which section this is.
    for (;;) {
        next();
        if (dxfCmd.is("0", "ENDSEC")) return;
        if (dxfCmd.Code != "2") continue;
        if (dxfCmd.Value == "BLOCKS") {
            blockScan();
            return;
        }
        if (dxfCmd.Value == "ENTITIES") {
            entities(false);
            return;
        }
        do next();
        while (!dxfCmd.is("0", "ENDSEC"));
        return;
    }
}

void TDxf2RawConverter::blockScan() {
    // Records each block's name and base point from its BLOCK header; the
    // bodies are read when inserted.
    bool inHeader = false;
    bool named = false;
    std::string name;
    Block block;
    auto record = [&] {
        if (inHeader && named) blockPosList.emplace(name, block); // the first of a name wins
        inHeader = named = false;
    };
    for (;;) {
        next();
        if (dxfCmd.Code == "0") {
            record();
            if (dxfCmd.Value == "ENDSEC") return;
            if (dxfCmd.Value == "BLOCK") {
                inHeader = true;
                block = Block{reader.position(), {}};
            }
            continue;
        }
        if (!inHeader) continue;
        if (dxfCmd.Code == "2" && !named) {
            name = upper(dxfCmd.Value);
            named = true;
        } else if (code(dxfCmd, 10, 20, 30)) {
            coordinate(block.base, dxfCmd.Code[0] - '1') = number();
        }
    }
}

void TDxf2RawConverter::entities(bool blockBody) {
    for (;;) {
        next();
        if (dxfCmd.Code != "0") continue;
        const std::string_view v = dxfCmd.Value;
        // A block body missing its ENDBLK still ends with its section.
        if (v == "ENDSEC" || (blockBody && v == "ENDBLK")) return;
        if (v == "POLYLINE")
            polyline();
        else if (v == "3DFACE")
            face();
        else if (v == "INSERT")
            insert();
    }
}

TPoint3D TDxf2RawConverter::transform(const DxfVector& p) const {
    // Innermost insert first: block point less the base point, scaled, turned,
    // moved to the insertion point, then from the insert's object system to
    // the enclosing one. Outside inserts points are world coordinates.
    DxfVector v = p;
    for (auto level = insertStack.rbegin(); level != insertStack.rend(); ++level) {
        v = TConvOCS2WCS::Move(v, {-level->basePoint.x, -level->basePoint.y, -level->basePoint.z});
        v = TConvOCS2WCS::Scale(v, level->scaleRatio);
        v = TConvOCS2WCS::Rotate(v, level->rotAngle);
        v = TConvOCS2WCS::Move(v, level->insertPoint);
        v = level->extrConv.Convert(v);
    }
    return single(v);
}

void TDxf2RawConverter::addTriangle(const TPoint3D& a, const TPoint3D& b, const TPoint3D& c) {
    trList.push_back({a, b, c});
}

void TDxf2RawConverter::face() {
    std::array<DxfVector, 4> corner{};
    bool fourth = false;
    for (;;) {
        next();
        if (dxfCmd.Code == "0") break;
        const auto c = dxfCmd.Code;
        if (c.size() != 2 || c[0] < '1' || c[0] > '3' || c[1] < '0' || c[1] > '3') continue;
        const int axis = c[0] - '1';
        const int index = c[1] - '0';
        coordinate(corner[static_cast<size_t>(index)], axis) = number();
        if (index == 3) fourth = true;
    }
    stepBack();
    const TPoint3D a = transform(corner[0]), b = transform(corner[1]), c = transform(corner[2]);
    addTriangle(a, b, c);
    if (fourth) {
        const TPoint3D d = transform(corner[3]);
        if (!sameSingle(d, c)) addTriangle(a, c, d);
    }
}

void TDxf2RawConverter::polyline() {
    mVerticesList.clear();
    for (;;) {
        next();
        if (dxfCmd.is("0", "SEQEND")) return;
        if (dxfCmd.is("0", "VERTEX")) vertex();
    }
}

void TDxf2RawConverter::vertex() {
    enum class Kind { other, position, face } kind = Kind::other;
    DxfVector p{};
    std::array<std::size_t, 4> index{}; // face corners, 0 when not given
    for (;;) {
        next();
        if (dxfCmd.is("0", "VERTEX") || dxfCmd.is("0", "SEQEND")) break;
        if (dxfCmd.Code == "70") {
            kind = dxfCmd.Value == "192"   ? Kind::position
                   : dxfCmd.Value == "128" ? Kind::face
                                           : Kind::other;
        } else if (code(dxfCmd, 71, 72, 73) || code(dxfCmd, 74)) {
            index[static_cast<size_t>(dxfCmd.Code[1] - '1')] = vertexIndex();
        } else if (code(dxfCmd, 10, 20, 30)) {
            coordinate(p, dxfCmd.Code[0] - '1') = number();
        }
    }
    stepBack();
    if (kind == Kind::position) {
        mVerticesList.push_back(transform(p));
    } else if (kind == Kind::face && index[0] && index[1] && index[2]) {
        // Mesh vertices are already placed; a face with fewer than three
        // vertices (an edge) gives no triangle.
        auto vertex = [&](size_t k) { return mVerticesList[index[k] - 1]; };
        addTriangle(vertex(0), vertex(1), vertex(2));
        if (index[3] && !sameSingle(vertex(3), vertex(2)))
            addTriangle(vertex(0), vertex(2), vertex(3));
    }
}

void TDxf2RawConverter::insert() {
    DxfVector insertPoint{}, scaleRatio{1, 1, 1}, extrDir{0, 0, 1};
    double rotAngle = 0;
    std::string name;
    for (;;) {
        next();
        if (dxfCmd.Code == "0") break;
        if (code(dxfCmd, 10, 20, 30))
            coordinate(insertPoint, dxfCmd.Code[0] - '1') = number();
        else if (code(dxfCmd, 41, 42, 43))
            coordinate(scaleRatio, dxfCmd.Code[1] - '1') = number();
        else if (code(dxfCmd, 210, 220, 230))
            coordinate(extrDir, dxfCmd.Code[1] - '1') = number();
        else if (code(dxfCmd, 50))
            rotAngle = number();
        else if (dxfCmd.Code == "2")
            name = upper(dxfCmd.Value);
    }
    const int retPos = reader.position() - 1;
    auto found = blockPosList.find(name);
    if (found == blockPosList.end()) throw DxfError("insert of an unknown block \"" + name + "\"");
    const Block* block = &found->second;
    // A block that inserts itself, directly or through others, and inserts
    // deeper than the levels kept, add nothing.
    const bool recursive = std::any_of(insertStack.begin(), insertStack.end(),
                                       [&](const InsertLevel& l) { return l.block == block; });
    if (!recursive && insertStack.size() < maxInsertDepth) {
        InsertLevel level{insertPoint, scaleRatio, block->base, rotAngle, {}, block};
        level.extrConv.SetNormalVector(extrDir);
        insertStack.push_back(level);
        reader.GetCmd(block->pos, dxfCmd);
        entities(true);
        insertStack.pop_back();
    }
    reader.GetCmd(retPos, dxfCmd);
}

} // namespace korvane
