#pragma once
// The alternative panel layouts, which no page of the program places, side by
// side on one page, filled from a settings image and the current device the
// way a hosting page would fill them, with their texts from the stored
// language. Nothing is written while the page fills.

#include "flashdatamap.h"

class QWidget;

QWidget *BuildAlternativePanels(const FlashDataMap &image);
