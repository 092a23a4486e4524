#include "winfx/display_scale.h"

#include "scoped_win.h"

int ScaleToDisplay(int pixelsAt96Dpi)
{
    const scoped::ScreenDc screen(::GetDC(nullptr));
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return ::MulDiv(pixelsAt96Dpi, dpi, 96);
}
