#pragma once

#include <QIcon>

// The application icon in its two sizes, 32 x 32 and 16 x 16, drawn by the program.
QIcon appIcon();
