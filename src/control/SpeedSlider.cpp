#include "control/SpeedSlider.h"

#include "foundation/Rounding.h"

namespace korvane {

namespace {

int snapTo(int v, int step) {
    return (v + step / 2) / step * step;
}

} // namespace

int SliderSpeed(int position) {
    if (position >= 0 && position <= 99) return position;
    if (position >= 100 && position <= 189) return 10 * position - 900;
    if (position >= 190 && position <= 500) return 100 * position - 18000;
    return 0;
}

int SliderPosition(int speed) {
    if (speed >= 0 && speed < 100) return speed;
    if (speed >= 100 && speed <= 999) return static_cast<int>(roundHalfEven((speed + 900) / 10.0L));
    if (speed >= 1000 && speed <= 99999)
        return static_cast<int>(roundHalfEven((speed + 18000) / 100.0L));
    return 0;
}

SnappedSpeed snapSpeed(int v) {
    if (v >= 1000 && v <= 5999) return {snapTo(v, 100), 10, 1};
    if (v >= 6000 && v <= 9999) return {snapTo(v, 500), 10, 5};
    if (v >= 10000 && v <= 50000) return {snapTo(v, 1000), 20, 10};
    if (v >= 100 && v <= 999) return {snapTo(v, 10), 10, 1};
    return {v, 10, 1};
}

} // namespace korvane
