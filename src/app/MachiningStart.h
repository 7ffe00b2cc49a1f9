#pragma once

#include "control/Tster.h"

#include <string>
#include <vector>

// The start of machining from the main window: the checks in order, the safe
// height, the tool question and the 3D-printing preparation before the
// control panel's machine steps.
namespace korvane {

enum class ToolAnswer { yes, cancel, ignore };

// The dialogs of a start; the window shows them, tests answer them.
class StartView {
  public:
    virtual ~StartView() = default;
    // The tool-change question with Yes (measure), Cancel and Ignore (start
    // without measuring); Yes is offered only when `canMeasure`.
    virtual ToolAnswer askToolChange(const std::string& text, bool canMeasure) = 0;
    // The head-wait dialog; true when the head reached its temperature.
    virtual bool waitForHead() = 0;
    // The start-point dialog; true when it closed with OK (the start point set).
    virtual bool chooseStartPoint() = 0;
};

class MachiningStart {
  public:
    MachiningStart(Tster& panel, StartView& view) : panel_(panel), view_(view) {}

    // START: from the first point of the selected output. `outputs` is the
    // output list, `selected` its selection (-1 none), set when the list holds
    // exactly one file. True when the transmission was opened.
    bool sbStartClick(const std::vector<std::string>& outputs, int& selected,
                      const std::string& windowCaption);
    // START from a point chosen in the start-point dialog.
    bool mStartOdWybranegoClick(const std::vector<std::string>& outputs, int& selected,
                                const std::string& windowCaption);
    bool StartObrobki(const std::vector<std::string>& outputs, int& selected,
                      const std::string& windowCaption);
    // Continue: after a dropped link, the job started again from where the
    // machine stands; otherwise the panel's continue (in 3D-printing mode
    // after the head is back at its working temperature).
    void sbKontynuacjaClick(const std::vector<std::string>& outputs, int& selected,
                            const std::string& windowCaption);
    // Whether to go on with the tool `toolId`: asked once per tool.
    bool CheckToolChange(const std::string& toolId);

    // The tool of the last started operation.
    std::string lastTool;

  private:
    bool preparePrinting(const TOperacjaDane& operation);
    // The panel's start; with the base check on, the job's report begun.
    bool startOnMachine(const TOperacjaDane& operation, const std::string& name,
                        const std::string& windowCaption);

    Tster& panel_;
    StartView& view_;
};

// The main window's STOP: without a USB link the message, else the stop
// request for the panel's next tick.
void sbStopClick();

// The free height the job needs over the table, mm: the material or the model
// with its allowance, whichever is higher, plus the clearance and the substrate.
double jobSafeHeight(double materialHeight, double modelHeight, double allowance, double margin,
                     double substrate);

} // namespace korvane
