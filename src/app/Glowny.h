#pragma once

#include "app/MainWindowView.h"
#include "app/OperationPane.h"
#include "app/ToolPane.h"
#include "platform/SingleInstance.h"

#include <memory>
#include <string>

// The logic of the main window: the start sequence that builds the whole
// program and the shutdown that takes it down.
namespace korvane {

class TfGlowny {
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
    // Reads a project file and shows it (at start and by the open command);
    // false when the file is not a readable project.
    bool loadProject(const std::string& file);

    ToolPane& toolPane() { return toolPane_; }
    OperationPane& operationPane() { return operationPane_; }

    bool genProcWtoku = false;           // output generation is running
    bool moznaGenKolejneProcesy = false; // the generation chain may go on
    int aktGenerowanyProces = -1;        // operation being generated
    int OstatnioGenerowanyProces = -1;   // operation generated last
    std::string ostDirModelu;            // folder of the last model (model dialog after "new")

  private:
    bool takeInstanceLock();
    void applyInterfaceTexts();
    FileDialogRequest projectDialog(const std::string& titleKey) const;
    // After the project path changed: status panel 2 and the output folder.
    void projectPathChanged();
    // Creates the project's output folder; when it cannot be created the
    // program ends, as at start.
    void outputFolderOrEnd();

    MainWindowView& view_;
    bool singleInstance_;
    std::unique_ptr<SingleInstance> instance_;
    ToolPane toolPane_;
    OperationPane operationPane_;
};

} // namespace korvane
