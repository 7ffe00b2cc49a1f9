// The simulation view's mesh: positions, normals, colours and triangles of a
// small map worked by hand, and a coarser grid over a larger map that still
// shows a gouge of one cell.
#include "app/SimulationSurface.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

tpix2d layer(int columns, int rows, std::vector<float> cells) {
    tpix2d l(columns, rows);
    std::copy(cells.begin(), cells.end(), l.cells().begin());
    return l;
}

// The nine floats of vertex k.
std::vector<float> vertex(const SurfaceMesh& m, std::size_t k) {
    const auto at = m.vertices.begin() + static_cast<std::ptrdiff_t>(k * floatsPerSurfaceVertex);
    return {at, at + floatsPerSurfaceVertex};
}

const float green[] = {48 / 255.0f, 176 / 255.0f, 64 / 255.0f};
const float darkAmber[] = {214 / 255.0f, 120 / 255.0f, 16 / 255.0f};
const float red[] = {224 / 255.0f, 32 / 255.0f, 32 / 255.0f};
const float grey[] = {150 / 255.0f, 150 / 255.0f, 150 / 255.0f};

// A comparison with the thickness left above the reachable surface and the
// gap between that surface and the model; the largest thickness from the layer.
DeviationMap mapOf(tpix2d deviation, tpix2d thickness, tpix2d gap) {
    DeviationMap m;
    for (const float t : thickness.cells())
        m.figures.largestThicknessLeft = std::max(m.figures.largestThicknessLeft, double(t));
    m.deviation = std::move(deviation);
    m.thicknessLeft = std::move(thickness);
    m.reachGap = std::move(gap);
    return m;
}

std::vector<float> with(std::vector<float> position, const float* colour) {
    position.insert(position.end(), colour, colour + 3);
    return position;
}

} // namespace

TEST(SimulationSurface, EveryCellAVertexOnASmallMap) {
    // Three columns two rows of 0.5 mm climbing 2 mm per mm in x; a gouge of
    // 0.5 mm at (1, 1), 1 mm left above the reachable surface at (2, 0), 0.5
    // mm out of the tools' reach at (0, 1), over an allowance of 0.2.
    const tpix2d remaining = layer(3, 2, {1, 1, 2, 2, 3, 3});
    const DeviationMap map =
        mapOf(layer(3, 2, {0, 0.5f, 0, -0.5f, 1, 0.2f}), layer(3, 2, {0, 0, 0, 0, 1, 0}),
              layer(3, 2, {0, 0.5f, 0, 0, 0, 0.2f}));
    const SurfaceMesh m = simulationSurface(remaining, map, 0.5, 0.2, 8);
    EXPECT_EQ(m.step, 1);
    ASSERT_EQ(m.vertices.size(), 6u * floatsPerSurfaceVertex);
    // Column after column; normals (-dz/dx, -dz/dy, 1) from the neighbours,
    // one-sided at the borders.
    EXPECT_EQ(vertex(m, 0), with({0, 0, 1, -2, 0, 1}, green));
    EXPECT_EQ(vertex(m, 1), with({0, 0.5f, 1, -2, 0, 1}, grey));
    EXPECT_EQ(vertex(m, 2), with({0.5f, 0, 2, -2, 0, 1}, green));
    EXPECT_EQ(vertex(m, 3), with({0.5f, 0.5f, 2, -2, 0, 1}, red));
    EXPECT_EQ(vertex(m, 4), with({1, 0, 3, -2, 0, 1}, darkAmber));
    EXPECT_EQ(vertex(m, 5), with({1, 0.5f, 3, -2, 0, 1}, green)); // 0.2 left: within
    // Two squares, each two triangles counter-clockwise from above.
    EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{0, 2, 3, 0, 3, 1, 2, 4, 5, 2, 5, 3}));
    EXPECT_DOUBLE_EQ(m.extents.minX, 0);
    EXPECT_DOUBLE_EQ(m.extents.maxX, 1);
    EXPECT_DOUBLE_EQ(m.extents.maxY, 0.5);
    EXPECT_DOUBLE_EQ(m.extents.minZ, 1);
    EXPECT_DOUBLE_EQ(m.extents.maxZ, 3);
}

TEST(SimulationSurface, CoarserGridKeepsAGougeOfOneCell) {
    // Eight columns at most four vertices a side: a vertex every 3 cells and
    // on the last, columns 0, 3, 6, 7; rows 0 and 2 of three.
    tpix2d deviation(8, 3);
    deviation[4][1] = -0.05f;
    const SurfaceMesh m = simulationSurface(
        tpix2d(8, 3), mapOf(std::move(deviation), tpix2d(8, 3), tpix2d(8, 3)), 0.1, 0, 4);
    EXPECT_EQ(m.step, 3);
    ASSERT_EQ(m.vertices.size(), 8u * floatsPerSurfaceVertex);
    EXPECT_EQ(m.indices.size(), 3u * 6);
    EXPECT_FLOAT_EQ(vertex(m, 6)[0], 0.7f);
    EXPECT_FLOAT_EQ(vertex(m, 5)[1], 0.2f);
    // Cell 4 lies nearer to column 3 than to 6; row 1 as near to 0 as to 2.
    for (std::size_t k = 0; k < 8; ++k) {
        const std::vector<float> v = vertex(m, k);
        const bool gouged = k == 2 || k == 3;
        EXPECT_EQ(std::vector<float>(v.begin() + 6, v.end()),
                  std::vector<float>(gouged ? red : green, (gouged ? red : green) + 3))
            << k;
    }
}

TEST(SimulationSurface, MapWithoutAreaGivesNoMesh) {
    EXPECT_TRUE(simulationSurface(tpix2d(1, 5), mapOf(tpix2d(1, 5), tpix2d(1, 5), tpix2d(1, 5)),
                                  0.1, 0, 100)
                    .vertices.empty());
    EXPECT_TRUE(simulationSurface(tpix2d(5, 5), mapOf(tpix2d(5, 5), tpix2d(5, 0), tpix2d(5, 5)),
                                  0.1, 0, 100)
                    .indices.empty());
}

TEST(SimulationSurface, JudgedByTheThicknessLeftOnTheReachableSurface) {
    // Gouges first; then within the allowance (plus 0.01) of the model; then
    // more than 0.01 left above the reachable surface; then where that
    // surface stands above the model's allowance, out of the tools' reach.
    EXPECT_EQ(judgeSurface(-0.011, 5, 5, 0), SurfaceJudgement::gouge);
    EXPECT_EQ(judgeSurface(-0.009, 0, 0, 0), SurfaceJudgement::reached);
    EXPECT_EQ(judgeSurface(0.3, 0.3, 0, 0.3), SurfaceJudgement::reached);
    EXPECT_EQ(judgeSurface(0.5, 0.011, 0, 0.3), SurfaceJudgement::left);
    EXPECT_EQ(judgeSurface(0.5, 0.009, 0.49, 0.3), SurfaceJudgement::unreachable);
    EXPECT_EQ(judgeSurface(0.5, 0.009, 0.305, 0.3), SurfaceJudgement::reached);
    // The amber runs from light at 0.01 mm to dark at the largest, and holds there.
    const auto light = surfaceColour(SurfaceJudgement::left, 0.01, 0.41);
    const auto middle = surfaceColour(SurfaceJudgement::left, 0.21, 0.41);
    const auto dark = surfaceColour(SurfaceJudgement::left, 0.41, 0.41);
    EXPECT_FLOAT_EQ(light[1], 214 / 255.0f);
    EXPECT_FLOAT_EQ(middle[1], (214 + 120) / 2 / 255.0f);
    EXPECT_FLOAT_EQ(dark[1], 120 / 255.0f);
    EXPECT_EQ(surfaceColour(SurfaceJudgement::left, 9, 0.41), dark);
}

TEST(SimulationSurface, ClickedPointGivesItsNearestCell) {
    const tpix2d remaining = layer(3, 2, {1, 1, 2, 2, 3, 3});
    const DeviationMap map =
        mapOf(layer(3, 2, {0, 0.5f, 0, -0.5f, 1, 0.2f}), layer(3, 2, {0, 0, 0, 0, 1, 0}),
              layer(3, 2, {0, 0.5f, 0, 0, 0, 0.2f}));
    const auto c = surfaceCellAt(remaining, map, 0.5, 0.2, 0.74, 0.26);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ix, 1);
    EXPECT_EQ(c->iy, 1);
    EXPECT_FLOAT_EQ(c->height, 2);
    EXPECT_FLOAT_EQ(c->deviation, -0.5);
    EXPECT_EQ(c->judgement, SurfaceJudgement::gouge);
    EXPECT_EQ(surfaceCellAt(remaining, map, 0.5, 0.2, 1.1, 0)->judgement, SurfaceJudgement::left);
    // Off the map by more than half a cell: nothing.
    EXPECT_FALSE(surfaceCellAt(remaining, map, 0.5, 0.2, 1.3, 0));
    EXPECT_FALSE(surfaceCellAt(remaining, map, 0.5, 0.2, -0.3, 0));
}
