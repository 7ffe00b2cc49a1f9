#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Whether a job file splits into the records this program writes, with the
// record lengths of the machine identified last. A job written for another
// model or firmware splits wrongly and must not reach the machine.
namespace korvane {

struct JobRecordCheck {
    // None when every record is whole and one of the job's own; otherwise
    // what is wrong and where.
    std::optional<std::string> problem;
    long long records = 0; // the whole records before the first wrong one
};

JobRecordCheck checkJobRecords(const std::filesystem::path& jobFile);

} // namespace korvane
