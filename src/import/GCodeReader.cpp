#include "import/GCodeReader.h"

#include "foundation/TextCompare.h"
#include "import/FileBytes.h"
#include "import/GCodeBlock.h"
#include "import/GCodeInterpreter.h"
#include "import/LineReader.h"

namespace korvane {

namespace {

// LineReader trims the lines; the numbers count every line of the file.
GCodeProgram readLines(LineReader& lines, long long maxPoints) {
    GCodePath path({0, 0, 0});
    GCodeInterpreter interpreter(path, maxPoints);
    GCodeBlock block;
    std::string_view line;
    int number = 0;
    bool opened = false;  // a first "%" line opens the program, a second ends it
    bool started = false; // a line with words was read
    while (!interpreter.ended() && lines.next(line)) {
        ++number;
        // A byte-order mark some editors put before the first line.
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        lexGCodeLine(line, number, block);
        if (block.percent) {
            if (opened || started) break;
            opened = true;
            continue;
        }
        if (block.empty()) continue;
        started = true;
        interpreter.run(block);
    }
    GCodeProgram program;
    program.stats = path.stats();
    program.stats.lines = number;
    path.finish(program.figures, program.feeds);
    return program;
}

} // namespace

GCodeProgram readGCode(std::string_view text, long long maxPoints) {
    LineReader lines(text);
    return readLines(lines, maxPoints);
}

GCodeProgram readGCodeFile(const std::filesystem::path& file) {
    InputFile input(file);
    LineReader lines(input, {});
    return readLines(lines, maxProgramPoints);
}

bool isGCodeFile(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    for (const char* known : {".nc", ".ngc", ".gcode", ".tap", ".cnc"})
        if (sameText(extension, known)) return true;
    return false;
}

} // namespace korvane
