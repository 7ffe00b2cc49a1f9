// Where a job goes on after it was cut short: the point where the tool stands,
// or the start of the segment it stopped on, up to the last record the machine
// may hold, never one it has not reached nor one before it.
#include "control/ResumePoint.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class ResumeAfterLostEcho : public ::testing::Test {
  protected:
    void SetUp() override {
        figures.push_back(figure({{10, 10}, {30, 10}, {30, 14}}));
        figures.push_back(figure({{40, 40}, {60, 40}}));
    }
    static std::unique_ptr<tFigura> figure(std::vector<std::pair<float, float>> xy) {
        auto f = std::make_unique<tFigura>();
        for (auto [x, y] : xy) f->poz.push_back({x, y, -1});
        return f;
    }
    // The point where the tool stands (x, y) when the echo of `lost` was lost.
    std::optional<JobPoint> resume(long long lost, double x, double y) const {
        return resumePointAfterStop(marks, lost, figures, x, y);
    }
    static std::pair<std::size_t, std::size_t> pair(const std::optional<JobPoint>& p) {
        return p ? std::pair{p->figure, p->point} : std::pair<std::size_t, std::size_t>{99, 99};
    }

    FigureList figures;
    // The plunge to each figure's first point and the moves along it.
    std::vector<JobPointMark> marks{
        {20, {0, 0}}, {23, {0, 1}}, {25, {0, 2}}, {40, {1, 0}}, {43, {1, 1}}};
};

TEST_F(ResumeAfterLostEcho, TheLostMoveTakenAndRunGoesOnFromItsPoint) {
    // The machine took and ran the move whose echo was lost: going on from
    // the point before would cut (30, 10) - (30, 14) twice.
    EXPECT_EQ(pair(resume(25, 30, 14)), (std::pair<std::size_t, std::size_t>{0, 2}));
    // Confirmed moves the machine dropped when it was stopped are cut later.
    EXPECT_EQ(pair(resume(25, 30, 10)), (std::pair<std::size_t, std::size_t>{0, 1}));
    EXPECT_EQ(pair(resume(43, 30, 10)), (std::pair<std::size_t, std::size_t>{0, 1}));
    // Within a hundredth of a millimetre.
    EXPECT_EQ(pair(resume(25, 30.009, 13.991)), (std::pair<std::size_t, std::size_t>{0, 2}));
    EXPECT_FALSE(resume(25, 30.02, 14));
}

TEST_F(ResumeAfterLostEcho, AtASpotPassedTwiceTheLaterPass) {
    // A second layer goes over the first figure's points again, 1 mm deeper:
    // standing at (30, 10) after its moves went out, the tool has cut that
    // layer up to there; going on from the first layer's point would cut the
    // rest of the first layer twice.
    auto deeper = std::make_unique<tFigura>();
    for (const TrPkt3D& p : figures[0]->poz) deeper->poz.push_back({p.x, p.y, p.z - 1});
    figures.push_back(std::move(deeper));
    marks.push_back({60, {2, 0}});
    marks.push_back({63, {2, 1}});
    marks.push_back({65, {2, 2}});
    EXPECT_EQ(pair(resume(64, 30, 10)), (std::pair<std::size_t, std::size_t>{2, 1}));
    // Before the second layer's move there, the first layer's point.
    EXPECT_EQ(pair(resume(50, 30, 10)), (std::pair<std::size_t, std::size_t>{0, 1}));
}

TEST_F(ResumeAfterLostEcho, StoppedOnASegmentCutsItAgainWhole) {
    // A drive error stops the tool half way from (10, 10) to (30, 10).
    EXPECT_EQ(pair(resume(25, 20, 10)), (std::pair<std::size_t, std::size_t>{0, 0}));
    EXPECT_EQ(pair(resume(25, 30, 12.5)), (std::pair<std::size_t, std::size_t>{0, 1}));
    // Off the segment by more than a hundredth: on none.
    EXPECT_FALSE(resume(25, 20, 10.02));
    // On the way to the second figure, its plunge sent or not: its first point.
    EXPECT_EQ(pair(resume(30, 35, 27)), (std::pair<std::size_t, std::size_t>{1, 0}));
    EXPECT_EQ(pair(resume(43, 35, 27)), (std::pair<std::size_t, std::size_t>{1, 0}));
    // On the second figure's segment, not sent yet: that cannot be.
    EXPECT_FALSE(resume(40, 50, 40));
    EXPECT_EQ(pair(resume(43, 50, 40)), (std::pair<std::size_t, std::size_t>{1, 0}));
    // On the way back to the work origin after the last point: that point.
    EXPECT_EQ(pair(resume(50, 30, 20)), (std::pair<std::size_t, std::size_t>{1, 1}));
    EXPECT_FALSE(resume(43, 0, 0)); // at the origin: the job's start
}

TEST_F(ResumeAfterLostEcho, BetweenFiguresOverTheNextEntry) {
    // Lifted at the end of the first figure.
    EXPECT_EQ(pair(resume(30, 30, 14)), (std::pair<std::size_t, std::size_t>{0, 2}));
    // Over the second figure's first point, its plunge not sent.
    EXPECT_EQ(pair(resume(30, 40, 40)), (std::pair<std::size_t, std::size_t>{1, 0}));
    // Over the first figure before anything was cut.
    EXPECT_EQ(pair(resume(12, 10, 10)), (std::pair<std::size_t, std::size_t>{0, 0}));
    // A point inside a figure is no entry: the tool cannot stand over it yet.
    EXPECT_FALSE(resume(22, 30, 10));
    // Nowhere on the job: it ran none of its points.
    EXPECT_FALSE(resume(22, 5, 5));
    EXPECT_FALSE(resumePointAfterStop({}, 10, figures, 10, 10));
}

} // namespace
} // namespace korvane::test
