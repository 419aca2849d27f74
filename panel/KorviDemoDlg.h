// The panel dialog: the instrument front with its display and keys, the simulated inputs and
// outputs beside it, the firmware thread and the timers that drive the firmware.
#pragma once
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/thread.h>
#include <wx/timer.h>

#include <cstdint>
#include <string>
#include <vector>

#include "panel/firmware_thread.h"
#include "panel/inputs.h"

// A framed group of controls with its caption in the panel's small caption font. The toolkit
// draws the frame in the desktop theme's shadow and highlight colours.
class CSxGroupBox : public wxStaticBox {
public:
    CSxGroupBox(wxWindow* parent, int id, const wxString& caption, const wxPoint& position, const wxSize& size,
                long style = 0);
};

// One relay contact indicator: white or blue.
class CIndicator : public wxWindow {
public:
    CIndicator(wxWindow* parent, int id, const wxPoint& position, const wxSize& size);
    void SetLit(bool lit);

private:
    void OnPaint(wxPaintEvent& event);
    bool m_Lit = false;
    wxDECLARE_EVENT_TABLE();
};

// The clock line: its text centred in the window. A new text repaints the window alone, without
// the layout pass a label's new text starts.
class CClockView : public wxWindow {
public:
    CClockView(wxWindow* parent, int id, const wxPoint& position, const wxSize& size);
    void SetText(const wxString& text);

private:
    void OnPaint(wxPaintEvent& event);
    wxString m_Text;
    wxDECLARE_EVENT_TABLE();
};

// The instrument front: the panel picture, the five keys and the display, all painted here.
class CPanelView : public wxWindow {
public:
    CPanelView(wxWindow* parent, const wxPoint& position);
    // Shows a display the firmware thread published; repaints only when it differs.
    void ShowDisplay(const ShownDisplay& display);

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    // The hand cursor over the key buttons.
    void OnSetCursor(wxSetCursorEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void ReleaseKey();
    // The key button (index into the key areas) under a point of this window, or -1.
    int KeyButtonAt(const wxPoint& point) const;
    void RefreshKey(int index);

    wxBitmap m_Picture;
    wxBitmap m_KeyUp[5];
    wxBitmap m_KeyDown[5];
    wxCursor m_KeyCursor;
    std::vector<uint8_t> m_Pixels;
    // The display shown, and its picture.
    ShownDisplay m_Shown;
    wxBitmap m_Lcd;
    int m_PressedKey = -1;
    wxDECLARE_EVENT_TABLE();
};

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};

class CKorviDemoDlg : public wxDialog {
public:
    CKorviDemoDlg();
    ~CKorviDemoDlg() override;

    // Stops the timers and asks the firmware to stop; the destructor waits for it.
    void OnDestroy();

private:
    void CreateControls();
    void OnInitDialog(wxInitDialogEvent& event);
    void OnSysCommand(int command);
    void OnTimer(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnBnClickedEsc(wxCommandEvent& event);
    void OnBnClickedDin1Low(wxCommandEvent& event);
    void OnBnClickedDin1High(wxCommandEvent& event);
    void OnBnClickedDin2Low(wxCommandEvent& event);
    void OnBnClickedDin2High(wxCommandEvent& event);
    void OnCbnSelchangeSensorA(wxCommandEvent& event);
    void OnCbnSelchangeSensorB(wxCommandEvent& event);
    void OnCbnEditupdateSensorA(wxCommandEvent& event);
    void OnCbnEditupdateSensorB(wxCommandEvent& event);
    void OnDeltaposSpinAPrimary(wxSpinEvent& event);
    void OnDeltaposSpinBPrimary(wxSpinEvent& event);
    void OnDeltaposSpinATemperature(wxSpinEvent& event);
    void OnDeltaposSpinBTemperature(wxSpinEvent& event);
    void OnDeltaposSpinARg(wxSpinEvent& event);
    void OnDeltaposSpinBRg(wxSpinEvent& event);
    void OnDeltaposSpinARr(wxSpinEvent& event);
    void OnDeltaposSpinBRr(wxSpinEvent& event);
    void OnDisplayWake(wxThreadEvent& event);
    // A field's text changed; the user left a field.
    void OnInputText(wxCommandEvent& event);
    void OnInputLeft(wxFocusEvent& event);

    // What the firmware thread published: the display, and the outputs when they changed. Runs
    // when the firmware wakes the panel, at most once per paint period; the paint timer runs
    // only while something waits for its turn.
    void RefreshFromFirmware();
    // Starts the paint timer once, unless it already runs.
    void ScheduleRefresh(int ms);
    // Takes a display the firmware thread published, if there is one, and shows it.
    void TakeDisplay();
    void ClickDigitalInput(wxCommandEvent& event);
    void ShowChannelARows(const SensorARows& rows);
    void ShowChannelBRows(const SensorBRows& rows);

    // The input field a window is, or kInputFields.
    uint32_t FieldOfWindow(const wxObject* window) const;
    // The field's text into the store; a text it refuses or limits marks the field.
    void EnterField(uint32_t field);
    // A field the panel writes: shown and taken.
    void SetFieldText(uint32_t field, const char* text);
    // A marked field shows its text in use again (the user left it or pressed Return).
    void ShowFieldInUse(uint32_t field);
    // Marks a field by what became of its text (kFieldTaken: unmarked).
    void MarkField(uint32_t field, uint32_t entry);
    // One spin step of a field's row: its new text into the field.
    void StepRow(wxSpinEvent& event, uint32_t field);
    // Channel A's list, unit and rows after the configured kind, when it changed.
    void FollowChannelAKind();
    void Panel_ShowAnalogOutputs();
    void Panel_LoadChannelSetup();
    // True while a relay is shown closed for a pulse that has already ended.
    bool ShowRelays();
    void EnableChannelARows(uint32_t kind);
    void EnableChannelBRows(bool enable);

    FirmwareThread m_Firmware;
    wxIconBundle m_Icons;
    wxTimer m_PaintTimer;
    wxTimer m_ClockTimer;
    bool m_Destroyed = false;
    // Set while the firmware has not yet loaded the channel set-up the panel shows.
    bool m_SetupPending = false;
    uint64_t m_LastRefreshMs = 0;
    // Set while a relay pulse is shown; the next refresh shows the contact as it is.
    bool m_PulseShown = false;
    // Set while the panel itself changes a list, whose text events are then not the user's.
    bool m_SettingLists = false;
    int m_Din1 = -1;
    int m_Din2 = -1;
    int m_RelayShown[2] = {-1, -1};
    uint32_t m_RelayClosingsSeen[2] = {0, 0};
    // Channel A's configured kind as the panel shows it (-1: to be shown again).
    int m_KindAShown = -1;
    // What the output fields show, so that a control is written only on a change.
    std::string m_AnalogOutShown[2];

    CPanelView* m_Panel = nullptr;
    wxComboBox* m_SensorA = nullptr;
    wxComboBox* m_SensorB = nullptr;
    // The input fields, by their index in the panel core (kFieldAPrimary ... kFieldAnalogIn).
    wxTextCtrl* m_Fields[kInputFields] = {};
    uint32_t m_FieldMark[kInputFields] = {};  // kFieldTaken, kFieldLimited or kFieldRefused
    wxSpinButton* m_SpinARg = nullptr;
    wxSpinButton* m_SpinBRg = nullptr;
    wxSpinButton* m_SpinARr = nullptr;
    wxSpinButton* m_SpinBRr = nullptr;
    wxStaticText* m_UnitAPrimary = nullptr;
    wxStaticText* m_UnitBPrimary = nullptr;
    wxStaticText* m_UnitBRr = nullptr;
    wxTextCtrl* m_AnalogOut[2] = {nullptr, nullptr};
    CIndicator* m_RelayNo[2] = {nullptr, nullptr};
    CIndicator* m_RelayNc[2] = {nullptr, nullptr};
    CClockView* m_Clock = nullptr;

    wxDECLARE_EVENT_TABLE();
};
