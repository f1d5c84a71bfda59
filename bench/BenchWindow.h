#pragma once

// Setting the shown window up for a measurement the way a user would: its controls found by
// name, a picture put on the canvas through Import.
#include "app/Main.h"
#include "support/Controls.h"
#include "support/Modals.h"
#include "support/WindowTest.h"

#include <QImage>

// Puts `picture` (panel size, pure black and white) on the canvas of the shown window, as the
// tests do (support/WindowTest.h); false when the canvas does not hold it afterwards.
inline bool importOntoCanvas(Main& window, const QImage& picture) {
    Modals modals;
    return importOntoCanvas(&window, &modals, picture);
}
