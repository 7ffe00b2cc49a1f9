#pragma once

#include "libraries/Operacje.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The list of output files of the output folder, and the parameters shown for
// one output file (path length, machining time, volume).
namespace korvane {

struct TWyDaneSkr {
    std::string nazwa; // output file name without extension = operation name
    int idTyp = opUnknown;
    double warstwaSzer = 0;
    double warstwaGrubosc = 0;
};

class TListaWy {
  public:
    // Loads and sorts.
    TListaWy();
    // One entry per "*.out" file of the output folder; the operation of the same
    // name (ignoring case) gives the type and the widths.
    void LadujListe();
    // Like the operation library: type, larger width, larger depth, name.
    void Sortuj();
    void UsunWszystkieElListy() { Lista.clear(); }

    std::vector<std::unique_ptr<TWyDaneSkr>> Lista;
};

// The texts of the output file parameters.
struct OutputParameters {
    std::string length;
    std::string time;   // empty when no operation has the output's name
    std::string volume; // empty without printer3D or operation
    std::string body;   // the message body
};

// From the tool path length `L` (mm), the figure count, the sharp-corner count
// and the operation of the output's name (nullptr when none).
OutputParameters outputParameters(double L, int figures, int corners, const TOperacjaDane* oper);

// The estimated machining time in minutes of `L` mm of path in `figures`
// figures with `corners` sharp corners, by the operation's type and speed;
// none without an operation or with a speed of 0.
std::optional<double> machiningMinutes(double L, int figures, double corners,
                                       const TOperacjaDane* oper);

// Whole minutes (ties to even): "T min" under an hour, else "H h M min".
std::string minutesText(double minutes);

} // namespace korvane
