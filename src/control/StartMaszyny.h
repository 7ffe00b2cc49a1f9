#pragma once

// The machine's part of the start of machining: speeds, rapid slot, the work
// origin at the safe height and the job memory prepared with C, Q, Q, C.
namespace korvane {

// `rapidSpeed` in mm/min, 0 for the machine's fastest (maxRapid). False, after "F", 2 when the
// second positioning failed, when the machine could not be brought to the work origin at
// safeHeight; nothing of the job is sent then.
bool prepareMachineForJob(double rapidSpeed, bool printing);

} // namespace korvane
