#pragma once

class QWidget;

// The dialogs of the start of machining: the start point and the wait for the
// print head's temperature. Both modal; true when they ended with OK.
bool runStartPointDialog(QWidget* parent);
bool runHeadWaitDialog(QWidget* parent);
