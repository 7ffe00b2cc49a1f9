#pragma once

#include "output/DaneWyjsciowe.h"

#include <optional>

class QWidget;

// The dialogs of the start of machining: the start point and the wait for the
// print head's temperature. Both modal; true when they ended with OK. The
// start point dialog opens preset to a point of the output when one is given.
bool runStartPointDialog(QWidget* parent,
                         const std::optional<korvane::StartPoint>& preset = std::nullopt);
bool runHeadWaitDialog(QWidget* parent);
