// The C++ library's default terminate handler prints the type of the exception that
// ended the program, and that links in its whole name demangler (some 40 KiB). A tray
// program has no console to print to: end the process as terminate would.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
