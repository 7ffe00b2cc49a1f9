#include "import/GCodePath.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

double length(const GPoint& a, const GPoint& b) {
    return std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) +
                     (b[2] - a[2]) * (b[2] - a[2]));
}

TrPkt3D point(const GPoint& p) {
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

// Moves shorter than this are no moves.
constexpr double noMove = 1e-9;

} // namespace

bool GCodePath::aboveTheCuts(double z) const {
    return stats_.transfer && z >= *stats_.transfer - 1e-6 && *stats_.transfer > cutTop_ + 1e-6;
}

void GCodePath::travel(const GPoint& to) {
    if (figure_) endFigure();
    travelTop_ = std::max({travelTop_, position_[2], to[2]});
    position_ = to;
}

void GCodePath::rapid(const GPoint& to) {
    ++stats_.rapids;
    stats_.rapidLength += length(position_, to);
    stats_.transfer = std::max(stats_.transfer.value_or(to[2]), to[2]);
    travel(to);
}

void GCodePath::lift() {
    GPoint to = position_;
    to[2] = std::max(position_[2], stats_.transfer.value_or(position_[2]));
    ++stats_.rapids;
    stats_.rapidLength += length(position_, to);
    travel(to);
}

void GCodePath::cut(const GPoint& to, double feed, bool straight) {
    const double moved = length(position_, to);
    const bool sideways = std::hypot(to[0] - position_[0], to[1] - position_[1]) >= noMove;
    stats_.pathLength += moved;
    if (feed != lastFeed_) stats_.feeds.insert(feed);
    lastFeed_ = feed;
    if (!figure_) {
        if (straight && lifted_ && aboveTheCuts(position_[2]) && aboveTheCuts(to[2]) &&
            moved >= noMove) {
            travel(to);
            return;
        }
        lifted_ = false;
        // The travel before this figure is the transfer height of the last one.
        if (!figures_.empty()) figures_.back()->przestawczyZ = travelTop_;
        figure_ = std::make_unique<tFigura>();
        figureFeeds_ = FigureFeeds{};
        figureFeeds_.approachZ = position_[2];
        figureFeeds_.spindle = spindle_;
        const bool straightDown = !sideways && to[2] <= position_[2];
        if (straightDown) {
            figureFeeds_.plungeFeed = feed;
            plungeOnly_ = true;
            plungeTop_ = position_;
        } else {
            figure_->poz.push_back(point(position_));
            figureFeeds_.feeds.push_back(0);
            plungeOnly_ = false;
        }
        figure_->poz.push_back(point(to));
        points_ += static_cast<long long>(figure_->poz.size());
        figureFeeds_.feeds.push_back(0);
        if (!straightDown) figureFeeds_.feeds.back() = static_cast<float>(feed);
        if (sideways) cutTop_ = std::max(cutTop_, to[2]);
        position_ = to;
        return;
    }
    // A move to where the tool stands stays a point of the figure, as written.
    const GPoint from = position_;
    position_ = to;
    figure_->poz.push_back(point(to));
    ++points_;
    figureFeeds_.feeds.push_back(static_cast<float>(feed));
    if (moved >= noMove) plungeOnly_ = false;
    // Lifted out of the material: what follows at that height is travel.
    if (straight && to[2] > from[2] && aboveTheCuts(to[2])) {
        endFigure();
        lifted_ = true;
    } else if (sideways) {
        cutTop_ = std::max(cutTop_, to[2]);
    }
}

void GCodePath::endFigure() {
    // A figure that is nothing but its plunge (a drilled hole) keeps the
    // plunge as its one cut.
    if (plungeOnly_ && length(plungeTop_, position_) >= noMove) {
        figure_->poz.insert(figure_->poz.begin(), point(plungeTop_));
        ++points_;
        figureFeeds_.feeds.insert(figureFeeds_.feeds.begin(), 0);
        figureFeeds_.feeds[1] = static_cast<float>(figureFeeds_.plungeFeed);
        figureFeeds_.plungeFeed = 0;
    }
    plungeOnly_ = false;
    const TrPkt3D& last = figure_->poz.back();
    figure_->zamknieta = samePoint(figure_->poz.front(), last);
    travelTop_ = last.z;
    figure_->przestawczyZ = travelTop_;
    figures_.push_back(std::move(figure_));
    feeds_.figures.push_back(std::move(figureFeeds_));
    figureFeeds_ = FigureFeeds{};
}

void GCodePath::finish(FigureList& figures, ProgramFeeds& feeds) {
    if (figure_) endFigure();
    // The last figure lifts at least to the program's transfer height.
    if (!figures_.empty())
        figures_.back()->przestawczyZ = std::max(travelTop_, stats_.transfer.value_or(travelTop_));
    figures = std::move(figures_);
    feeds = std::move(feeds_);
}

} // namespace korvane
