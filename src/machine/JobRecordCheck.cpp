#include "machine/JobRecordCheck.h"

#include "machine/Encoding.h"
#include "machine/RecordLengths.h"

#include <fstream>
#include <iterator>

namespace korvane {

namespace {

bool startsWith(const std::string& record, std::string_view text) {
    return record.compare(0, text.size(), text) == 0;
}

// A record the job writer makes, as far as its letter and its fixed bytes tell.
bool jobRecord(const std::string& r) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(r[i]); };
    switch (r[0]) {
    case 'a': // move
    case 'l': // speed limit
    case 'p': // pause
        return true;
    case 'v': // speed of slots 0 to 4
    case 'f': // slot
        return r.size() >= 2 && byte(1) <= 4;
    case 'r': // spindle on or off
        return r.size() == 3 && ((byte(1) == 1 && byte(2) == 1) || (byte(1) == 0 && byte(2) == 2));
    case 't': // spindle speed
        return r.size() >= 2 && byte(1) == 1;
    case 's': // smoothing switch, or one of the 16-byte switches
        if (r.size() == 2) return byte(1) <= 1;
        return r.size() == 16 &&
               (startsWith(r, "sfw") || startsWith(r, "sBS") || startsWith(r, "s3t"));
    case 'S': // end of program
        return r.size() == 16 && r == PadCommand16("SE");
    default:
        return false;
    }
}

} // namespace

JobRecordCheck checkJobRecords(const std::filesystem::path& jobFile) {
    std::ifstream in(jobFile, std::ios::binary);
    if (!in) return {"cannot open " + jobFile.string()};
    const std::string job((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    long long index = 0;
    auto wrong = [&](std::string problem) { return JobRecordCheck{std::move(problem), index}; };
    for (std::size_t at = 0; at < job.size(); ++index) {
        const auto letter = static_cast<std::uint8_t>(job[at]);
        std::size_t length = 0;
        try {
            length = static_cast<std::size_t>(recordLength(letter));
        } catch (const MachineRangeError&) {
        }
        const std::string where =
            "record " + std::to_string(index) + " at byte " + std::to_string(at);
        if (length == 0 || at + length > job.size())
            return wrong(where + " does not fit the record lengths of this machine");
        if (!jobRecord(job.substr(at, length)))
            return wrong(where + " is not a job record for this machine");
        at += length;
    }
    return {std::nullopt, index};
}

} // namespace korvane
