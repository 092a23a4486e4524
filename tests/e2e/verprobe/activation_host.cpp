// Shows the control active in place in a container window for a screenshot.
// Usage: activation_host <ready file> <done file>
// Writes the control window's screen rectangle ("left top right bottom") to the
// ready file once it has painted, then keeps the window up, pumping messages,
// until the done file appears (at most a minute). Exit code 0 when all went well.
#include "test_container.h"
#include "vp_test_support.h"

#include <cstdio>

namespace {

bool FileExists(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int Fail(const char* what, HRESULT hr = S_OK)
{
    std::fprintf(stderr, "activation_host: %s (0x%08lx)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

int Run(const char* readyFile, const char* doneFile)
{
    VerprobeDll dll;
    // Away from where other tests' windows appear, and above them, so that the
    // screenshot shows this control.
    CTestContainer container({860, 480, 1260, 780}, {40, 30, 360, 270});
    ::SetWindowPos(container.Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    scoped::ComPtr<IVerprobe> verprobe = dll.CreateObject();
    scoped::ComPtr<IOleObject> object;
    if (!verprobe || FAILED(verprobe->QueryInterface(IID_IOleObject, object.put_void())))
        return Fail("no control");
    object->SetClientSite(&container);
    RECT position = container.ControlRect();
    HRESULT hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &container, 0, container.Window(), &position);
    if (FAILED(hr))
        return Fail("DoVerb", hr);
    scoped::ComPtr<IOleWindow> window;
    HWND control = nullptr;
    if (FAILED(object->QueryInterface(IID_IOleWindow, window.put_void())) || FAILED(window->GetWindow(&control)))
        return Fail("no control window");
    ::UpdateWindow(container.Window());
    PumpMessages();

    RECT screen;
    ::GetWindowRect(control, &screen);
    if (FILE* ready = std::fopen(readyFile, "w")) {
        std::fprintf(ready, "%ld %ld %ld %ld\n", screen.left, screen.top, screen.right, screen.bottom);
        std::fclose(ready);
    } else {
        return Fail("cannot write the ready file");
    }

    for (int waited = 0; !FileExists(doneFile) && waited < 60000; waited += 100) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
    }
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    return FileExists(doneFile) ? 0 : Fail("the screenshot was never taken");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Fail("usage: activation_host <ready file> <done file>");
    if (FAILED(::CoInitialize(nullptr)))
        return Fail("CoInitialize");
    int result = 1;
    try {
        result = Run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        result = Fail(e.what());
    }
    ::CoUninitialize();
    return result;
}
