// The application object and the program's start.
#include "panel/KorviDemo.h"

#include <wx/image.h>
#include <wx/msgdlg.h>

#include <atomic>
#include <clocale>
#include <cstdlib>

#include "core/eeprom.h"
#include "fw_modules.h"
#include "panel/KorviDemoDlg.h"
#include "panel/inputs.h"
#include "panel/placement.h"
#include "platform/plat.h"
#include "platform/plat_resources.h"
#include "sim/sim_inputs.h"

wxIMPLEMENT_APP(CKorviDemoApp);

static std::atomic<int> s_ExitSignals{0};

bool Panel_ExitRequested() { return s_ExitSignals.load() != 0; }

// The first terminating signal closes the panel the ordinary way (firmware stopped and joined,
// unpacked library removed); a second one removes the unpacked library at once and ends.
static void OnTerminatingSignal(int signal) {
    if (s_ExitSignals.fetch_add(1) == 0) return;
    Panel_RemoveExtracted();
    Plat_RaiseUncaught(signal);
}

CKorviDemoApp::CKorviDemoApp() {
    // The panel draws with the toolkit's plain 2-D calls and never asks for OpenGL; left to itself
    // the toolkit still loads an OpenGL stack at start (a software renderer on most desktops and
    // on virtual displays, some 50 MB resident).
    Plat_SetEnvironmentDefault("GDK_GL", "disable");
}

bool CKorviDemoApp::OnInit() {
    // The program reads no command line. Numbers on the display and in the edits use a point
    // whatever language the desktop speaks.
    std::setlocale(LC_NUMERIC, "C");
    wxInitAllImageHandlers();
    // No window asks for idle or update-UI events: the toolkit need not walk every control with
    // them after each event.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
    return true;
}

int CKorviDemoApp::OnRun() {
    InitInstance();
    return m_ExitCode;
}

bool CKorviDemoApp::InitInstance() {
    // Whatever way the program ends from here, the unpacked library goes with it.
    std::atexit(Panel_RemoveExtracted);
    Plat_CatchTerminatingSignals(OnTerminatingSignal);
    // Every module starts from the state its reset gives, the state each test starts from, rather
    // than from what its globals happen to be initialised with.
    Fw_ResetModules();
    Panel_ResetSimInputs();
    Panel_ResetInputs();

    std::string folder = Panel_GetProgramFolder();
    std::string storeFolder = folder == "/" ? folder : folder + "/";
    SetEEPROMBinFilePath(storeFolder.c_str());

    uint32_t size = 0;
    const uint8_t* image = Plat_FindResource(kResourceTypeData, kResourceLibraryImage, &size);
    if (Panel_PlaceLibrary(folder, image, size) == LibraryPlace::kFailed) {
        wxMessageBox(kLibraryLoadFailed, "R718 2roru Simulator", wxOK | wxICON_ERROR);
        m_ExitCode = 1;
        return false;
    }

    {
        CKorviDemoDlg dialog;
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    Panel_RemoveExtracted();
    return false;
}
