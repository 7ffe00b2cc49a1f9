#pragma once

// The control panel's speed slider: its scale between slider positions and
// speeds in mm/min, and the snapping of a chosen speed to the steps the
// operator can pick on it.
namespace korvane {

// 0..99 -> v = p; 100..189 -> 10 p - 900; 190..500 -> 100 p - 18000; else 0.
int SliderSpeed(int position);
// The inverse, rounding halves to even; speeds outside 0..99 999 give 0.
int SliderPosition(int speed);

// A speed snapped to its band's step (halves up), with the slider's page and
// line sizes for that band.
struct SnappedSpeed {
    int speed = 0;
    int page = 10;
    int line = 1;
};
SnappedSpeed snapSpeed(int speed);

} // namespace korvane
