#pragma once

#include <functional>
#include <string>
#include <vector>

// The path correction of a generation: every point of figureList corrected
// against modelTriangles by worker threads, with the remaining time reported
// while they run.
namespace korvane {

class TFrez;

// How many of `total` points each of `workers` workers gets: round(total /
// workers) each, in turn, as long as points remain; the last one the rest.
std::vector<long long> pointShares(long long total, int workers);

// The time a worker still needs at the pace so far: `elapsed` seconds for
// `done` of its `count` points (done > 0).
double remainingSeconds(double elapsed, long long count, long long done);

// A remaining time in seconds as a time of day, "h:mm:ss".
std::string remainingTimeText(double seconds);

class cKorygujMaster {
  public:
    // The operation's tool, its allowance (DodatkoweR), the highest level a
    // flank is examined below (MaxZ), and the number of workers (1 to 31).
    cKorygujMaster(const TFrez& frez, double DodatkoweR, double MaxZ, int workers);

    // Removes repeated points of every figure, then corrects every point of
    // figures not marked plaszczyzna. While the workers run, `remainingTime`
    // hears the largest remaining time of a worker every second, once the first
    // worker has corrected more than 100 points. Returns early, with the points
    // corrected so far, when the generation is asked to stop.
    void Execute(const std::function<void(const std::string&)>& remainingTime = {});

  private:
    const TFrez& Frez;
    double DodatkoweR, MaxZ;
    int workers_;
};

} // namespace korvane
