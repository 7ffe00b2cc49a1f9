#pragma once

#include "app/BudowaniePlikowWy.h"
#include "app/MainWindowView.h"
#include "app/ModelOpening.h"
#include "app/OperationPane.h"
#include "app/ToolPane.h"
#include "platform/SingleInstance.h"

#include <memory>
#include <string>
#include <vector>

// The logic of the main window: the start sequence that builds the whole
// program and the shutdown that takes it down.
namespace korvane {

class TfGlowny : private BuildView {
  public:
    // `singleInstance`: whether this start takes the lock that keeps a second copy
    // of the program from running (the window does; the batch program does not).
    TfGlowny(MainWindowView& view, bool singleInstance);

    // The start sequence; false when the program must end (the reason has been
    // shown).
    bool FormCreate();
    // The shutdown sequence; false when closing is refused.
    bool FormClose();

    // The window caption: title, version word and major.minor.release.build.
    static std::string caption();

    // Project commands.
    void mProjektNowyClick();
    void mProjektOtworzClick();
    void mProjektZapiszClick();
    void mProjektZapiszJakoClick();
    // Opens a project file (of the project kind; another is ignored).
    void openProjectFile(const std::string& file);
    // Reads a project file and shows it (at start and by the open command);
    // false when the file is not a readable project.
    bool loadProject(const std::string& file);

    // Model commands: the open dialog, the same in the examples folder.
    void mModelOtworzClick();
    void mModelOtworzPrzykladyClick();
    // A file dropped on the window: a project, a model or a G-code program
    // opens, by its kind.
    void openDroppedFile(const std::string& file);
    // Output > Open G-code program: the open dialog, then the program.
    void mOtworzProgramClick();
    // A G-code program of another CAM system read into the output file of its
    // name, added to the output list and shown selected; a refused program
    // says why and writes nothing.
    void openProgramFile(const std::string& file);

    // The build-output workflow: build, abort, an output list click (-1: no
    // selection), the selected output's parameters.
    void sbBudujPlikiWyClick();
    void sbProcesPrzerwijClick();
    void lbWyClick(int index);
    void pmParPlikuWyClick();
    // Saves the selected output's old-style preview image as "bmp" or "jpg"
    // beside the output files.
    void pmiZapiszJakoClick(const std::string& extension);
    // The output list from the output folder.
    void refillOutputList();
    // The output list's names and its selection (-1 none), for the start of
    // machining.
    const std::vector<std::string>& outputNames() const { return outputs_; }
    int& selectedOutput() { return selectedOutput_; }
    // Output generation is running (the chain's own flag).
    bool genProcWtoku() const { return budowanie_.genProcWtoku; }

    ToolPane& toolPane() { return toolPane_; }
    OperationPane& operationPane() { return operationPane_; }
    ModelOpening& modelOpening() { return modelOpening_; }
    // The material menu item: the material dialog, then the stock model when
    // its file changed. Refused, like the configuration, while the raster is
    // in use.
    void mMaterialClick();
    // The configuration command (on the calibration page when asked); a
    // changed resolution rebuilds the rasters afterwards. Refused while output
    // is built or a model loads, since both read the cell size.
    void mKonfigClick(bool calibrationPage);
    TBudowaniePlikowWy& budowanie() { return budowanie_; }

  private:
    bool takeInstanceLock();
    // A model loads, a raster is built or output is built: the raster's
    // layers and cell size must not change now.
    bool rasterInUse() const;
    void applyInterfaceTexts();
    FileDialogRequest projectDialog(const std::string& titleKey) const;
    // After the project path changed: status panel 2 and the output folder.
    void projectPathChanged();
    // Creates the project's output folder; when it cannot be created the
    // program ends, as at start.
    void outputFolderOrEnd();

    // BuildView: what the build chain shows in this window.
    bool editMaterial() override;
    void saveProjectAs() override;
    void setBuildCommandsEnabled(bool enabled) override;
    void showStatus(int panel, const std::string& text) override;
    void clearOutputs() override;
    void generationStarted(int entry) override;
    void progressStep() override;
    void generationEnded(int entry, const GenerationResult& result) override;
    void buildEnded() override;
    void beep() override;
    // Shows the output list and selects `selected` (-1: none) in it.
    void showOutputList(int selected);
    // A project's model path: as written, else beside the project file.
    static std::string besideProject(const std::string& file, const std::string& projectFile);

    MainWindowView& view_;
    bool singleInstance_;
    std::unique_ptr<SingleInstance> instance_;
    ToolPane toolPane_;
    OperationPane operationPane_;
    ModelOpening modelOpening_;
    TBudowaniePlikowWy budowanie_;
    std::vector<std::string> outputs_; // the output list's names
    int selectedOutput_ = -1;
    int progress_ = 0; // steps of the running generation
};

} // namespace korvane
