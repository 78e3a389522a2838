#pragma once
#include <QImage>

// One image that shows every picture of the table on the theme background,
// folder by folder, each with its name and size; small pictures are also shown
// enlarged three times so that their edges can be judged.
QImage BuildContactSheet();
