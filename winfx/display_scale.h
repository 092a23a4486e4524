// Pixel sizes chosen for a display of 96 DPI, at the display's own DPI. The program declares
// itself DPI aware, so Windows no longer stretches it: whatever it gives in pixels it scales.
#pragma once

int ScaleToDisplay(int pixelsAt96Dpi);
