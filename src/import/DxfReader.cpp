#include "import/DxfReader.h"

#include "import/TextLines.h"

#include <stdexcept>

namespace korvane {

TDxfReader::TDxfReader(const std::filesystem::path& strFileName) {
    try {
        file.emplace(strFileName);
    } catch (const std::runtime_error&) {
        fStatus = dxfStatusNoFile;
        return;
    }
    readPairs(file->view());
}

TDxfReader TDxfReader::fromText(std::string_view text) {
    TDxfReader reader;
    reader.readPairs(text);
    return reader;
}

void TDxfReader::readPairs(std::string_view text) {
    bool haveCode = false;
    TDXFCommand pair;
    forEachLine(text, [&](std::string_view line) {
        if (!haveCode) {
            pair.Code = trimControl(line);
        } else {
            pair.Value = trimControl(line);
            lstCmd.push_back(pair);
        }
        haveCode = !haveCode;
    });
    // A code line without its value line at the very end was cut off: it is
    // not a pair.
}

bool TDxfReader::GetCmd(TDXFCommand& cmd) {
    return GetCmd(intCurPos + 1, cmd);
}

bool TDxfReader::GetCmd(int intPos, TDXFCommand& cmd) {
    intCurPos = intPos;
    if (intCurPos < 0 || intCurPos >= count()) {
        fStatus = dxfStatusPastEnd;
        return false;
    }
    cmd = lstCmd[static_cast<size_t>(intCurPos)];
    return true;
}

} // namespace korvane
