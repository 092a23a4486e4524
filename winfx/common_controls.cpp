#include "winfx/common_controls.h"

#include "winfx/system_error.h"
#include "winfx/win_app.h"

const CommonControlsApi* CommonControls()
{
    const CommonControlsApi* api = LateApi<CommonControlsApi>();
    if (api)
        api->InitCommonControls();
    return api;
}

const CommonControlsApi* CommonControlsForWindow()
{
    const CommonControlsApi* api = CommonControls();
    if (!api) {
        const DWORD error = ::GetLastError();
        CWinApp::GetApp()->ShowMessageBox("This window cannot open: the Windows common controls (" +
                                              std::string(CommonControlsApi::kFileName) +
                                              ") could not be loaded.\r\n\r\n" + SystemErrorText(error),
                                          MB_ICONEXCLAMATION);
    }
    return api;
}
