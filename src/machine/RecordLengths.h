#pragma once

#include <cstdint>

// The record-length table of the job file: the total length of a record by its
// letter, compared without case.
namespace korvane {

// The length of the record beginning with `letter`; a letter outside "@".."Z"
// (after clearing bit 5) is a MachineRangeError.
int recordLength(std::uint8_t letter);

// The classic table, then the changes of the controller generation: with
// newSpeedEncoding A 15, S 16, V 6; with firmware 6 or later T 6.
void setRecordLengths(bool newSpeedEncoding, int firmwareMajor);

} // namespace korvane
