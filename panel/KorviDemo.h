// The application: decides where the settings store and the sensor-board library live, runs the
// panel dialog, and removes what it unpacked when the dialog ends.
#pragma once
#include <wx/app.h>

class CKorviDemoApp : public wxApp {
public:
    // Runs before the toolkit starts: the settings it reads at its start are made here.
    CKorviDemoApp();
    bool OnInit() override;
    int OnRun() override;

private:
    // The whole life of the application; always false: the program ends after it.
    bool InitInstance();
    int m_ExitCode = 0;
};

// 1 once the program was asked to end from outside (a terminating signal); the dialog closes.
bool Panel_ExitRequested();
