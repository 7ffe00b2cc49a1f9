#include "generation/KorygujMasterWatek.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/KorygujSlaveWatek.h"
#include "generation/PointCorrection.h"
#include "generation/TriangleGrid.h"
#include "geometry/Figury.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace korvane {

namespace {

constexpr int maxWorkers = 31;
constexpr auto reportInterval = std::chrono::seconds(1);
constexpr int pointsBeforeReport = 100;

} // namespace

std::vector<long long> pointShares(long long total, int workers) {
    workers = std::clamp(workers, 1, maxWorkers);
    const long long per = roundHalfEven(static_cast<long double>(total) / workers);
    std::vector<long long> shares;
    long long left = total;
    for (int i = 0; i < workers - 1; ++i) {
        shares.push_back(std::min(per, left));
        left -= shares.back();
    }
    shares.push_back(left);
    return shares;
}

double remainingSeconds(double elapsed, long long count, long long done) {
    return elapsed * double(count) / double(done) - elapsed;
}

std::string remainingTimeText(double seconds) {
    const long long total = std::max<long long>(0, roundHalfEven(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

cKorygujMaster::cKorygujMaster(const TFrez& frez, double DodatkoweR, double MaxZ, int workers)
    : Frez(frez), DodatkoweR(DodatkoweR), MaxZ(MaxZ), workers_(std::clamp(workers, 1, maxWorkers)) {
}

void cKorygujMaster::Execute(const std::function<void(const std::string&)>& remainingTime) {
    std::vector<CorrectionPoint> points;
    for (const auto& f : figureList) {
        f->UsunDuplikacjePunktow();
        for (TrPkt3D& p : f->poz) points.push_back({&p, f->plaszczyzna});
    }
    const PointCorrector corrector(Frez, DodatkoweR, MaxZ, pixelSize, modelTriangles);
    const TriangleGrid flankGrid(modelTriangles, corrector.reach(), TriangleGrid::Order::byTop);
    const TriangleGrid ballGrid(corrector.ball() ? std::span<const TTrojkat>(modelTriangles)
                                                 : std::span<const TTrojkat>(),
                                corrector.ballReach());

    std::vector<std::unique_ptr<cKorygujSlaveWatek>> slaves;
    std::size_t from = 0;
    for (const long long share : pointShares(static_cast<long long>(points.size()), workers_)) {
        slaves.push_back(std::make_unique<cKorygujSlaveWatek>(
            std::span<const CorrectionPoint>(points).subspan(from, size_t(share))));
        from += size_t(share);
    }

    std::mutex mutex;
    std::condition_variable finished;
    int running = static_cast<int>(slaves.size());
    const auto start = std::chrono::steady_clock::now();
    {
        std::vector<std::jthread> threads;
        for (auto& slave : slaves)
            threads.emplace_back([&, s = slave.get()] {
                s->Execute(corrector, {ballGrid, flankGrid});
                const std::lock_guard lock(mutex);
                --running;
                finished.notify_one();
            });
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, reportInterval, [&] { return running == 0; })) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            double Pozostalo = 0;
            for (const auto& s : slaves)
                if (s->wykonano() > 0)
                    Pozostalo =
                        std::max(Pozostalo, remainingSeconds(elapsed, s->ilosc(), s->wykonano()));
            if (slaves[0]->wykonano() > pointsBeforeReport && remainingTime) {
                lock.unlock();
                remainingTime(remainingTimeText(Pozostalo));
                lock.lock();
            }
        }
    }
}

} // namespace korvane
