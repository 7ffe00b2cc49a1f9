#include "app/BuildSimulation.h"

#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"
#include "output/ReachableSurface.h"

#include <algorithm>
#include <stdexcept>

namespace korvane {

namespace {

tpix2d initialMaterial(const TMaterial& m, const tpix2d& model) {
    tpix2d material(model.columns(), model.rows());
    switch (m.zrodlo) {
    case materialBlock:
        material.fill(static_cast<float>(m.rozmZ));
        break;
    case materialCoating: {
        const auto from = model.cells();
        auto to = material.cells();
        for (std::size_t i = 0; i < from.size(); ++i)
            to[i] = from[i] + static_cast<float>(m.gruboscPowloki);
        break;
    }
    default:
        // The stock model's raster, as far as it reaches; beyond it nothing stands.
        for (int ix = 0; ix < std::min(material.columns(), materialHeights.columns()); ++ix)
            std::copy_n(materialHeights[ix].data(),
                        std::min(material.rows(), materialHeights.rows()), material[ix].data());
        break;
    }
    return material;
}

} // namespace

BuildSimulationInput gatherBuildSimulation() {
    if (!rasterReady || modelHeights.empty())
        throw std::runtime_error("The model raster is not ready");
    BuildSimulationInput in;
    in.cell = pixelSize;
    in.model.resize(rasterSizeX + 1, rasterSizeY + 1);
    for (int ix = 0; ix <= rasterSizeX && ix < modelHeights.columns(); ++ix)
        std::copy_n(modelHeights[ix].data(), std::min(rasterSizeY + 1, modelHeights.rows()),
                    in.model[ix].data());
    in.initial = initialMaterial(project->d.material, in.model);
    for (const auto& oper : operationLibrary->Lista) {
        const auto& checked = project->d.lProcesu;
        if (std::none_of(checked.begin(), checked.end(),
                         [&](const std::string& n) { return sameText(n, oper->nazwa); }))
            continue;
        tWy reader;
        reader.wczytajPlik(outputFilePath(oper->nazwa), -1);
        if (reader.ListaFigur.empty()) continue;
        const int tool = toolLibrary->dajIndxFrezuNaLiscie(oper->narzedzie);
        if (tool < 0)
            throw std::runtime_error("The tool library has no tool for the operation " +
                                     oper->nazwa);
        in.operations.push_back(*oper);
        in.tools.emplace_back(TFrez(*toolLibrary->Lista[static_cast<std::size_t>(tool)]),
                              simulationProfileStep(in.cell));
        in.outputs.push_back(std::move(reader.ListaFigur));
    }
    if (in.outputs.empty()) throw std::runtime_error("No output file of the build to simulate");
    return in;
}

double simulationProfileStep(double cell) {
    return std::clamp(cell / 20, 0.001, 0.01);
}

BuildSimulationResult simulateBuild(const BuildSimulationInput& input, int threads,
                                    SimulationControl* control) {
    std::vector<SimulatedPass> passes;
    std::vector<ReachingTool> reaching;
    BuildSimulationResult result;
    result.allowance = input.operations.empty() ? 0 : input.operations[0].zostawDoNastOper;
    for (std::size_t i = 0; i < input.outputs.size(); ++i) {
        passes.push_back({&input.outputs[i], input.tools[i]});
        reaching.push_back({input.tools[i], input.operations[i].zostawDoNastOper});
        result.allowance = std::min(result.allowance, input.operations[i].zostawDoNastOper);
    }
    result.remaining = input.initial;
    result.completed = simulateMaterial(result.remaining, input.cell, passes, threads, control);
    if (!result.completed) return result;
    result.map =
        compareWithModel(input.initial, result.remaining, input.model,
                         reachableSurface(input.model, input.cell, reaching, threads), input.cell);
    return result;
}

} // namespace korvane
