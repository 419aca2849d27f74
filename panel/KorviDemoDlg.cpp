// The panel dialog.
#include "panel/KorviDemoDlg.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>

#include <cstring>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/link_transport.h"
#include "fw_main.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "outputs/relays.h"
#include "panel/KorviDemo.h"
#include "panel/Resource.h"
#include "panel/artwork.h"
#include "panel/inputs.h"
#include "panel/keys.h"
#include "panel/lcd_paint.h"
#include "panel/outputs.h"
#include "platform/plat.h"
#include "platform/plat_timer.h"
#include "sim/sim_inputs.h"

namespace {

constexpr int kPaintTimer = 1;
constexpr int kClockTimer = 2;
constexpr int kPaintPeriodMs = 50;
constexpr int kClockPeriodMs = 1000;
// The firmware thread's note that a new display was published.
constexpr int kDisplayWake = 1;
// The background of the blank display before the firmware's first: the colour of a 4-mA output.
constexpr float kBlankDisplayMa = 4.0f;
constexpr uint32_t kTickPeriodMs = 21;
constexpr uint32_t kLinkPeriodMs = 100;

constexpr int kPictureX = kPanelPictureX;
constexpr int kPictureY = kPanelPictureY;

// The controls' column beside the picture.
constexpr int kColumnX = 600;
constexpr int kColumnWidth = 530;
constexpr int kLabelX = kColumnX + 12;
constexpr int kChannelAX = kColumnX + 112;
constexpr int kChannelBX = kColumnX + 320;
constexpr int kEditWidth = 80;
constexpr int kRowHeight = 34;
constexpr int kClientWidth = kColumnX + kColumnWidth + 14;
constexpr int kClientHeight = 590;

// A field whose text is no number, or a number beyond what the input takes: marked until the user
// leaves it, which shows the value in use.
wxColour RefusedFieldColour() { return wxColour(255, 205, 205); }
constexpr char kRefusedFieldTip[] = "Not a number: the value in use stays";
constexpr char kLimitedFieldTip[] = "Out of range: the nearest value is used";

// Relay indicators: white where the contact is made, blue where it is open.
wxColour IndicatorColour(bool lit) { return lit ? wxColour(255, 255, 255) : wxColour(0, 0, 255); }

wxString Text(const std::string& text) { return wxString::FromUTF8(text.c_str()); }

}  // namespace

// Firmware thread: a new display was published. The painter takes it on its own thread.
static void WakePainter(void* dialog) {
    wxQueueEvent(static_cast<wxEvtHandler*>(dialog), new wxThreadEvent(wxEVT_THREAD, kDisplayWake));
}

// ---- CSxGroupBox ------------------------------------------------------------------------------

CSxGroupBox::CSxGroupBox(wxWindow* parent, int id, const wxString& caption, const wxPoint& position, const wxSize& size,
                         long style)
    : wxStaticBox(parent, id, caption, position, size, style) {
    SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).Weight(wxFONTWEIGHT_NORMAL)));
}

// ---- CIndicator -------------------------------------------------------------------------------

wxBEGIN_EVENT_TABLE(CIndicator, wxWindow) EVT_PAINT(CIndicator::OnPaint) wxEND_EVENT_TABLE()

    CIndicator::CIndicator(wxWindow* parent, int id, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, id, position, size, wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
}

void CIndicator::SetLit(bool lit) {
    if (lit == m_Lit) return;
    m_Lit = lit;
    Refresh();
}

void CIndicator::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxSize size = GetClientSize();
    dc.SetPen(wxPen(wxColour(96, 96, 96)));
    dc.SetBrush(wxBrush(IndicatorColour(m_Lit)));
    dc.DrawRectangle(0, 0, size.x, size.y);
}

// ---- CClockView -------------------------------------------------------------------------------

wxBEGIN_EVENT_TABLE(CClockView, wxWindow) EVT_PAINT(CClockView::OnPaint) wxEND_EVENT_TABLE()

    CClockView::CClockView(wxWindow* parent, int id, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, id, position, size, wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
}

void CClockView::SetText(const wxString& text) {
    if (text == m_Text) return;
    m_Text = text;
    Refresh();
}

void CClockView::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetParent()->GetForegroundColour());
    wxSize size = GetClientSize();
    wxSize extent = dc.GetTextExtent(m_Text);
    dc.DrawText(m_Text, (size.x - extent.x) / 2, (size.y - extent.y) / 2);
}

// ---- CPanelView -------------------------------------------------------------------------------

wxBEGIN_EVENT_TABLE(CPanelView, wxWindow) EVT_PAINT(CPanelView::OnPaint) EVT_LEFT_DOWN(CPanelView::OnLeftDown)
    EVT_LEFT_DCLICK(CPanelView::OnLeftDown) EVT_LEFT_UP(CPanelView::OnLeftUp) EVT_SET_CURSOR(CPanelView::OnSetCursor)
        EVT_MOUSE_CAPTURE_LOST(CPanelView::OnCaptureLost) wxEND_EVENT_TABLE()

            CPanelView::CPanelView(wxWindow* parent, const wxPoint& position)
    : wxWindow(parent, IDC_PANEL_PICTURE, position, wxSize(kPanelPictureWidth, kPanelPictureHeight), wxBORDER_NONE),
      m_Pixels(static_cast<size_t>(kLcdImageWidth) * kLcdImageHeight * 3) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_Picture = Panel_DrawPanelPicture(parent->GetBackgroundColour());
    for (int i = 0; i < kKeyCount; ++i) {
        m_KeyUp[i] = Panel_DrawKeyImage(i, false);
        m_KeyDown[i] = Panel_DrawKeyImage(i, true);
    }
    m_KeyCursor = Panel_MakeKeyCursor();
    // Blank until the firmware thread's first display arrives.
    m_Shown = ShownDisplay{};
    m_Shown.background = Panel_LcdBackground(0, kBlankDisplayMa);
    Panel_PaintLcd(m_Shown.frame, m_Shown.background, m_Pixels.data());
    m_Lcd = wxBitmap(wxImage(kLcdImageWidth, kLcdImageHeight, m_Pixels.data(), true));
}

void CPanelView::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.DrawBitmap(m_Picture, 0, 0);
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyArea& key = g_KeyAreas[i];
        dc.DrawBitmap(i == m_PressedKey ? m_KeyDown[i] : m_KeyUp[i], key.buttonX - kPictureX, key.buttonY - kPictureY,
                      true);
    }
    dc.DrawBitmap(m_Lcd, kLcdImageX - kPictureX, kLcdImageY - kPictureY);
}

void CPanelView::ShowDisplay(const ShownDisplay& display) {
    if (m_Lcd.IsOk() && std::memcmp(&display, &m_Shown, sizeof display) == 0) return;
    m_Shown = display;
    Panel_PaintLcd(display.frame, display.background, m_Pixels.data());
    m_Lcd = wxBitmap(wxImage(kLcdImageWidth, kLcdImageHeight, m_Pixels.data(), true));
    RefreshRect(wxRect(kLcdImageX - kPictureX, kLcdImageY - kPictureY, kLcdImageWidth, kLcdImageHeight), false);
}

int CPanelView::KeyButtonAt(const wxPoint& point) const {
    int x = point.x + kPictureX;
    int y = point.y + kPictureY;
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyArea& key = g_KeyAreas[i];
        if (x >= key.buttonX && x < key.buttonX + key.buttonWidth && y >= key.buttonY &&
            y < key.buttonY + key.buttonHeight) {
            return i;
        }
    }
    return -1;
}

void CPanelView::RefreshKey(int index) {
    if (index < 0 || index >= kKeyCount) return;
    const KeyArea& key = g_KeyAreas[index];
    RefreshRect(wxRect(key.buttonX - kPictureX, key.buttonY - kPictureY, key.buttonWidth, key.buttonHeight), false);
}

void CPanelView::OnLeftDown(wxMouseEvent& event) {
    uint8_t code = Panel_HitTestKey(event.GetX() + kPictureX, event.GetY() + kPictureY);
    if (code != kKeyNone) {
        Panel_PressKey(code);
        if (!HasCapture()) CaptureMouse();
        for (int i = 0; i < kKeyCount; ++i) {
            if (g_KeyAreas[i].code == code) m_PressedKey = i;
        }
        RefreshKey(m_PressedKey);
    }
    event.Skip();
}

void CPanelView::ReleaseKey() {
    Panel_ReleaseButton();
    int was = m_PressedKey;
    m_PressedKey = -1;
    RefreshKey(was);
}

void CPanelView::OnLeftUp(wxMouseEvent& event) {
    if (HasCapture()) ReleaseMouse();
    ReleaseKey();
    event.Skip();
}

void CPanelView::OnCaptureLost(wxMouseCaptureLostEvent&) { ReleaseKey(); }

void CPanelView::OnSetCursor(wxSetCursorEvent& event) {
    if (KeyButtonAt(wxPoint(event.GetX(), event.GetY())) >= 0) {
        event.SetCursor(m_KeyCursor);
    } else {
        event.Skip();
    }
}

// ---- CAboutDlg --------------------------------------------------------------------------------

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD_ABOUTBOX, "About R718 2roru Simulator", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wxIcon icon = Panel_MakeIcon().GetIcon(32);
    row->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxALL | wxALIGN_CENTER_VERTICAL, 12);
    row->Add(new wxStaticText(this, wxID_STATIC, "R718 2roru Simulator Version 1.0"), 0,
             wxALL | wxALIGN_CENTER_VERTICAL, 12);
    sizer->Add(row);
    sizer->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALL | wxALIGN_RIGHT, 10);
    SetSizerAndFit(sizer);
    CentreOnParent();
}

// ---- CKorviDemoDlg ----------------------------------------------------------------------------

wxBEGIN_EVENT_TABLE(CKorviDemoDlg, wxDialog) EVT_INIT_DIALOG(CKorviDemoDlg::OnInitDialog) EVT_TIMER(
    kPaintTimer, CKorviDemoDlg::OnTimer) EVT_TIMER(kClockTimer,
                                                   CKorviDemoDlg::OnTimer) EVT_CLOSE(CKorviDemoDlg::OnClose)
    EVT_CHAR_HOOK(CKorviDemoDlg::OnCharHook) EVT_SPIN_UP(IDC_SPIN_A_PRIMARY, CKorviDemoDlg::OnDeltaposSpinAPrimary)
        EVT_SPIN_DOWN(IDC_SPIN_A_PRIMARY,
                      CKorviDemoDlg::OnDeltaposSpinAPrimary) EVT_SPIN_UP(IDC_SPIN_B_PRIMARY,
                                                                         CKorviDemoDlg::OnDeltaposSpinBPrimary)
            EVT_SPIN_DOWN(IDC_SPIN_B_PRIMARY,
                          CKorviDemoDlg::OnDeltaposSpinBPrimary) EVT_SPIN_UP(IDC_SPIN_B_TEMPERATURE,
                                                                             CKorviDemoDlg::OnDeltaposSpinBTemperature)
                EVT_SPIN_DOWN(IDC_SPIN_B_TEMPERATURE, CKorviDemoDlg::OnDeltaposSpinBTemperature) EVT_SPIN_UP(
                    IDC_SPIN_A_TEMPERATURE,
                    CKorviDemoDlg::OnDeltaposSpinATemperature) EVT_SPIN_DOWN(IDC_SPIN_A_TEMPERATURE,
                                                                             CKorviDemoDlg::OnDeltaposSpinATemperature)
                    EVT_SPIN_UP(IDC_SPIN_A_RG, CKorviDemoDlg::OnDeltaposSpinARg) EVT_SPIN_DOWN(
                        IDC_SPIN_A_RG, CKorviDemoDlg::OnDeltaposSpinARg) EVT_SPIN_UP(IDC_SPIN_B_RG,
                                                                                     CKorviDemoDlg::OnDeltaposSpinBRg)
                        EVT_SPIN_DOWN(IDC_SPIN_B_RG,
                                      CKorviDemoDlg::OnDeltaposSpinBRg) EVT_SPIN_UP(IDC_SPIN_A_RR,
                                                                                    CKorviDemoDlg::OnDeltaposSpinARr)
                            EVT_SPIN_DOWN(IDC_SPIN_A_RR, CKorviDemoDlg::OnDeltaposSpinARr)
                                EVT_SPIN_UP(IDC_SPIN_B_RR, CKorviDemoDlg::OnDeltaposSpinBRr)
                                    EVT_SPIN_DOWN(IDC_SPIN_B_RR, CKorviDemoDlg::OnDeltaposSpinBRr)
                                        EVT_RADIOBUTTON(IDC_DIN1_LOW, CKorviDemoDlg::OnBnClickedDin1Low)
                                            EVT_RADIOBUTTON(IDC_DIN1_HIGH, CKorviDemoDlg::OnBnClickedDin1High)
                                                EVT_RADIOBUTTON(IDC_DIN2_LOW, CKorviDemoDlg::OnBnClickedDin2Low)
                                                    EVT_RADIOBUTTON(IDC_DIN2_HIGH, CKorviDemoDlg::OnBnClickedDin2High)
                                                        EVT_BUTTON(IDC_ESC, CKorviDemoDlg::OnBnClickedEsc)
                                                            EVT_BUTTON(IDC_ABOUT, CKorviDemoDlg::OnAbout) EVT_COMBOBOX(
                                                                IDC_SENSOR_A, CKorviDemoDlg::OnCbnSelchangeSensorA)
                                                                EVT_COMBOBOX(IDC_SENSOR_B,
                                                                             CKorviDemoDlg::OnCbnSelchangeSensorB)
                                                                    EVT_TEXT(IDC_SENSOR_A,
                                                                             CKorviDemoDlg::OnCbnEditupdateSensorA)
                                                                        EVT_TEXT(IDC_SENSOR_B,
                                                                                 CKorviDemoDlg::OnCbnEditupdateSensorB)
                                                                            wxEND_EVENT_TABLE()

                                                                                CKorviDemoDlg::CKorviDemoDlg()
    : m_PaintTimer(this, kPaintTimer), m_ClockTimer(this, kClockTimer) {
    m_Icons = Panel_MakeIcon();
    // The firmware starts before the window exists, as on the instrument the board runs before
    // anyone looks at it.
    Bind(wxEVT_THREAD, &CKorviDemoDlg::OnDisplayWake, this, kDisplayWake);
    m_Firmware.wake = WakePainter;
    m_Firmware.wakeContext = static_cast<wxEvtHandler*>(this);
    Panel_StartFirmwareThread(&m_Firmware);
    Create(nullptr, IDD_KORVIDEMO_DIALOG, "R718 2roru Simulator", wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX);
    CreateControls();
}

void CKorviDemoDlg::OnDisplayWake(wxThreadEvent&) {
    if (m_Destroyed) return;
    // At most one refresh per paint period; what comes sooner waits for the paint timer.
    uint64_t since = Plat_NowMs() - m_LastRefreshMs;
    if (since >= kPaintPeriodMs) {
        RefreshFromFirmware();
    } else {
        ScheduleRefresh(kPaintPeriodMs - static_cast<int>(since));
    }
}

void CKorviDemoDlg::ScheduleRefresh(int ms) {
    if (!m_Destroyed && !m_PaintTimer.IsRunning()) m_PaintTimer.StartOnce(ms > 0 ? ms : 1);
}

void CKorviDemoDlg::RefreshFromFirmware() {
    m_LastRefreshMs = Plat_NowMs();
    TakeDisplay();
    bool outputs = m_Firmware.outputsReady.exchange(0, std::memory_order_acq_rel) != 0;
    if (outputs && m_SetupPending) Panel_LoadChannelSetup();
    FollowChannelAKind();
    if (outputs) Panel_ShowAnalogOutputs();
    if (outputs || m_PulseShown) {
        m_PulseShown = ShowRelays();
        if (m_PulseShown) ScheduleRefresh(kPaintPeriodMs);
    }
}

void CKorviDemoDlg::TakeDisplay() {
    if (m_Firmware.frameReady.exchange(0, std::memory_order_acq_rel) == 0) return;
    ShownDisplay display;
    Panel_TakeDisplay(&m_Firmware, &display);
    m_Panel->ShowDisplay(display);
}

CKorviDemoDlg::~CKorviDemoDlg() {
    OnDestroy();
    Panel_StopFirmwareThread(&m_Firmware);
}

void CKorviDemoDlg::OnDestroy() {
    if (m_Destroyed) return;
    m_Destroyed = true;
    m_PaintTimer.Stop();
    m_ClockTimer.Stop();
    // No tick or pump may run while the firmware winds down.
    Plat_PeriodicStop();
    m_Firmware.stop.store(1, std::memory_order_relaxed);
}

void CKorviDemoDlg::CreateControls() {
    SetClientSize(kClientWidth, kClientHeight);
    m_Panel = new CPanelView(this, wxPoint(kPictureX, kPictureY));

    // Beside the keys: the escape key the instrument does not have, and the About command.
    new wxButton(this, IDC_ESC, "ESC", wxPoint(10, kKeyHitFromY), wxSize(62, 60));
    new wxButton(this, IDC_ABOUT, "&About R718 2roru Demo...", wxPoint(kColumnX, 548), wxSize(kColumnWidth, 32));

    // Input source: the sensors and what they measure.
    new CSxGroupBox(this, IDC_GROUP_INPUT_SOURCE, "Input Source", wxPoint(kColumnX, 8), wxSize(kColumnWidth, 262));
    new wxStaticText(this, wxID_STATIC, "Channel A(Analog)", wxPoint(kChannelAX, 34));
    new wxStaticText(this, wxID_STATIC, "Channel B(VDX)", wxPoint(kChannelBX, 34));
    new wxStaticText(this, wxID_STATIC, "Sensor ", wxPoint(kLabelX, 62));
    wxArrayString typesA;
    for (const char* text : g_ChannelATypeTexts) typesA.Add(text);
    m_SensorA = new wxComboBox(this, IDC_SENSOR_A, "", wxPoint(kChannelAX, 56), wxSize(156, -1), typesA,
                               wxCB_DROPDOWN | wxCB_READONLY);
    m_SensorA->Disable();
    wxArrayString modelsB;
    for (uint32_t i = 0; i < kSensorListTexts; ++i) modelsB.Add(g_SensorImageFiles[i].listText);
    m_SensorB =
        new wxComboBox(this, IDC_SENSOR_B, "", wxPoint(kChannelBX, 56), wxSize(156, -1), modelsB, wxCB_DROPDOWN);

    struct Row {
        const char* label;
        int editA, spinA, editB, spinB;
        const char* unitA;
        const char* unitB;
        uint32_t fieldA;
        uint32_t fieldB;
    };
    const Row rows[4] = {
        {"Primary Meas", IDC_A_PRIMARY, IDC_SPIN_A_PRIMARY, IDC_B_PRIMARY, IDC_SPIN_B_PRIMARY, " ", " ", kFieldAPrimary,
         kFieldBPrimary},
        {"Temperature", IDC_A_TEMPERATURE, IDC_SPIN_A_TEMPERATURE, IDC_B_TEMPERATURE, IDC_SPIN_B_TEMPERATURE, "ohm",
         "oC", kFieldATemperature, kFieldBTemperature},
        {"Rg", IDC_A_RG, IDC_SPIN_A_RG, IDC_B_RG, IDC_SPIN_B_RG, "Mohm", "Mohm", kFieldARg, kFieldBRg},
        {"Rr/pNa Rg", IDC_A_RR, IDC_SPIN_A_RR, IDC_B_RR, IDC_SPIN_B_RR, "Kohm", "Kohm", kFieldARr, kFieldBRr},
    };
    wxTextCtrl* edits[4][2];
    wxSpinButton* spins[4][2];
    wxStaticText* units[4][2];
    for (int r = 0; r < 4; ++r) {
        int y = 104 + r * 40;
        new wxStaticText(this, wxID_STATIC, rows[r].label, wxPoint(kLabelX, y + 6));
        const int x[2] = {kChannelAX, kChannelBX};
        const int editIds[2] = {rows[r].editA, rows[r].editB};
        const int spinIds[2] = {rows[r].spinA, rows[r].spinB};
        const char* unitTexts[2] = {rows[r].unitA, rows[r].unitB};
        const uint32_t fields[2] = {rows[r].fieldA, rows[r].fieldB};
        for (int c = 0; c < 2; ++c) {
            edits[r][c] = new wxTextCtrl(this, editIds[c], Panel_FieldDefaultText(fields[c]), wxPoint(x[c], y),
                                         wxSize(kEditWidth, kRowHeight));
            m_Fields[fields[c]] = edits[r][c];
            spins[r][c] = new wxSpinButton(this, spinIds[c], wxPoint(x[c] + kEditWidth + 2, y), wxSize(-1, kRowHeight),
                                           wxSP_VERTICAL | wxSP_WRAP);
            // Only the direction of a step counts; the spin's own position just wraps round.
            spins[r][c]->SetRange(-1000000, 1000000);
            spins[r][c]->SetValue(0);
            int unitId = wxID_STATIC;
            if (r == 0) unitId = c == 0 ? IDC_UNIT_A_PRIMARY : IDC_UNIT_B_PRIMARY;
            if (r == 3 && c == 1) unitId = IDC_UNIT_B_RR;
            int spinRight = spins[r][c]->GetPosition().x + spins[r][c]->GetSize().x;
            units[r][c] = new wxStaticText(this, unitId, unitTexts[c], wxPoint(spinRight + 4, y + 6), wxSize(44, -1));
        }
    }
    m_SpinARg = spins[2][0];
    m_SpinBRg = spins[2][1];
    m_SpinARr = spins[3][0];
    m_SpinBRr = spins[3][1];
    m_UnitAPrimary = units[0][0];
    m_UnitBPrimary = units[0][1];
    m_UnitBRr = units[3][1];

    // Digital inputs and relays.
    const int halfWidth = (kColumnWidth - 10) / 2;
    const int rightX = kColumnX + halfWidth + 10;
    new CSxGroupBox(this, IDC_GROUP_DIGITAL_INPUTS, "Digital Inputs", wxPoint(kColumnX, 278), wxSize(halfWidth, 104));
    new wxStaticText(this, wxID_STATIC, "DIn1", wxPoint(kLabelX, 308));
    new wxRadioButton(this, IDC_DIN1_LOW, "Low", wxPoint(kColumnX + 80, 306), wxDefaultSize, wxRB_GROUP);
    new wxRadioButton(this, IDC_DIN1_HIGH, "High", wxPoint(kColumnX + 160, 306));
    new wxStaticText(this, wxID_STATIC, "DIn2", wxPoint(kLabelX, 344));
    new wxRadioButton(this, IDC_DIN2_LOW, "Low", wxPoint(kColumnX + 80, 342), wxDefaultSize, wxRB_GROUP);
    new wxRadioButton(this, IDC_DIN2_HIGH, "High", wxPoint(kColumnX + 160, 342));

    new CSxGroupBox(this, IDC_GROUP_RELAY, "Relay", wxPoint(rightX, 278), wxSize(halfWidth, 104));
    new wxStaticText(this, wxID_STATIC, "NO", wxPoint(rightX + 124, 296));
    new wxStaticText(this, wxID_STATIC, "NC", wxPoint(rightX + 184, 296));
    const int relayNo[2] = {IDC_RELAY1_NO, IDC_RELAY2_NO};
    const int relayNc[2] = {IDC_RELAY1_NC, IDC_RELAY2_NC};
    for (int r = 0; r < 2; ++r) {
        int y = 318 + r * 30;
        new wxStaticText(this, wxID_STATIC, r == 0 ? "Relay1" : "Relay2", wxPoint(rightX + 14, y));
        m_RelayNo[r] = new CIndicator(this, relayNo[r], wxPoint(rightX + 120, y), wxSize(24, 18));
        m_RelayNc[r] = new CIndicator(this, relayNc[r], wxPoint(rightX + 180, y), wxSize(24, 18));
    }

    // Analog output and input.
    new CSxGroupBox(this, IDC_GROUP_ANALOG_OUTPUT, "Analog Output", wxPoint(kColumnX, 390), wxSize(halfWidth, 96));
    const int aoutIds[2] = {IDC_AOUT1, IDC_AOUT2};
    for (int i = 0; i < 2; ++i) {
        int y = 414 + i * 34;
        new wxStaticText(this, wxID_STATIC, i == 0 ? "Analog Out 1" : "Analog Out 2", wxPoint(kLabelX, y + 6));
        m_AnalogOut[i] = new wxTextCtrl(this, aoutIds[i], "12.00", wxPoint(kColumnX + 104, y), wxSize(70, 30),
                                        wxTE_READONLY | wxTE_RIGHT);
        m_AnalogOut[i]->SetBackgroundColour(*wxWHITE);
        new wxStaticText(this, wxID_STATIC, "mA", wxPoint(kColumnX + 178, y + 6));
    }
    new CSxGroupBox(this, IDC_GROUP_ANALOG_INPUT, "Analog Input", wxPoint(rightX, 390), wxSize(halfWidth, 96));
    new wxStaticText(this, wxID_STATIC, "Analog Ain", wxPoint(rightX + 14, 420));
    m_Fields[kFieldAnalogIn] = new wxTextCtrl(this, IDC_AIN, Panel_FieldDefaultText(kFieldAnalogIn),
                                              wxPoint(rightX + 94, 414), wxSize(70, 30), wxTE_RIGHT);
    new wxStaticText(this, wxID_STATIC, "mA", wxPoint(rightX + 168, 420));

    // The clock, large.
    m_Clock = new CClockView(this, IDC_CLOCK, wxPoint(kColumnX, 492), wxSize(kColumnWidth, 50));
    m_Clock->SetFont(wxFont(wxFontInfo(wxSize(0, 42)).FaceName("arial").Weight(wxFONTWEIGHT_THIN)));

    // The inputs are taken when their text changes, not read back from the toolkit.
    for (wxTextCtrl* field : m_Fields) {
        field->Bind(wxEVT_TEXT, &CKorviDemoDlg::OnInputText, this);
        field->Bind(wxEVT_KILL_FOCUS, &CKorviDemoDlg::OnInputLeft, this);
    }
}

void CKorviDemoDlg::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    SetIcons(m_Icons);
    // The paint timer runs only while a refresh waits for its turn (ScheduleRefresh).
    m_ClockTimer.Start(kClockPeriodMs);
    Link_BindLibrary();
    // The firmware's tick first, then the byte pump, on one thread with absolute deadlines.
    const PlatPeriodic timers[2] = {{kTickPeriodMs, Panel_TickTimerProc}, {kLinkPeriodMs, Panel_LinkTimerProc}};
    Plat_PeriodicStart(timers, 2);
    for (uint32_t field = 0; field < kInputFields; ++field) EnterField(field);
    Panel_LoadChannelSetup();
    m_Clock->SetText(Text(Panel_ClockSecond()));
    RefreshFromFirmware();
}

void CKorviDemoDlg::OnSysCommand(int command) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.ShowModal();
    }
}

void CKorviDemoDlg::OnAbout(wxCommandEvent&) { OnSysCommand(IDM_ABOUTBOX); }

void CKorviDemoDlg::OnClose(wxCloseEvent& event) {
    OnDestroy();
    if (IsModal()) {
        EndModal(wxID_CANCEL);
    } else {
        event.Skip();
    }
}

void CKorviDemoDlg::OnCharHook(wxKeyEvent& event) {
    // Every key passes here before the control with the focus sees it: Return in an edit must
    // not end the panel. In a field whose text was refused it shows the value in use again.
    if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) {
        uint32_t field = FieldOfWindow(FindFocus());
        if (field < kInputFields) ShowFieldInUse(field);
        return;
    }
    event.Skip();
}

void CKorviDemoDlg::OnTimer(wxTimerEvent& event) {
    if (event.GetId() == kPaintTimer) {
        RefreshFromFirmware();
    } else if (event.GetId() == kClockTimer) {
        if (Panel_ExitRequested()) {
            Close();
            return;
        }
        if (m_SetupPending) Panel_LoadChannelSetup();
        m_Clock->SetText(Text(Panel_ClockSecond()));
    }
}

bool CKorviDemoDlg::ShowRelays() {
    uint8_t bits = g_RelayBits.load(std::memory_order_relaxed);
    bool pulseShown = false;
    for (int r = 0; r < 2; ++r) {
        uint32_t closings = g_RelayClosings[r].load(std::memory_order_relaxed);
        int closed = Panel_RelayShownClosed(bits, r, closings, &m_RelayClosingsSeen[r]) ? 1 : 0;
        if (closed && ((bits >> r) & 1u) == 0) pulseShown = true;
        if (closed == m_RelayShown[r]) continue;
        m_RelayShown[r] = closed;
        uint8_t shown = static_cast<uint8_t>(closed << r);
        m_RelayNo[r]->SetLit(Panel_RelayIndicatorLit(shown, r, false));
        m_RelayNc[r]->SetLit(Panel_RelayIndicatorLit(shown, r, true));
    }
    return pulseShown;
}

void CKorviDemoDlg::EnableChannelARows(uint32_t kind) {
    bool glass = Panel_ChannelAUsesGlass(kind) != 0;
    bool reference = Panel_ChannelAUsesReference(kind) != 0;
    m_Fields[kFieldARg]->Enable(glass);
    m_SpinARg->Enable(glass);
    m_Fields[kFieldARr]->Enable(reference);
    m_SpinARr->Enable(reference);
}

void CKorviDemoDlg::EnableChannelBRows(bool enable) {
    m_Fields[kFieldBRg]->Enable(enable);
    m_SpinBRg->Enable(enable);
    m_Fields[kFieldBRr]->Enable(enable);
    m_SpinBRr->Enable(enable);
}

void CKorviDemoDlg::FollowChannelAKind() {
    uint32_t kind = Fw_GetChannelType(0);
    if (static_cast<int>(kind) == m_KindAShown) return;
    m_KindAShown = static_cast<int>(kind);
    KindRow row = Panel_KindRow(kind);
    m_SettingLists = true;
    m_SensorA->SetSelection(kind < kChannelATypes ? static_cast<int>(kind) : wxNOT_FOUND);
    m_SettingLists = false;
    m_UnitAPrimary->SetLabel(row.unitLabel);
    Panel_SetPrimaryQuantity(0, row.primaryQuantity);
    EnableChannelARows(kind);
    // The primary row's text now feeds the kind's quantity.
    Panel_RetakeFieldTexts();
}

void CKorviDemoDlg::Panel_ShowAnalogOutputs() {
    for (uint32_t i = 0; i < 2; ++i) {
        std::string text = Panel_AnalogOutputText(i);
        if (text == m_AnalogOutShown[i]) continue;
        m_AnalogOutShown[i] = text;
        m_AnalogOut[i]->ChangeValue(Text(text));
    }
}

uint32_t CKorviDemoDlg::FieldOfWindow(const wxObject* window) const {
    for (uint32_t field = 0; field < kInputFields; ++field) {
        if (window != nullptr && m_Fields[field] == window) return field;
    }
    return kInputFields;
}

void CKorviDemoDlg::EnterField(uint32_t field) {
    MarkField(field, Panel_TakeFieldText(field, m_Fields[field]->GetValue().utf8_str()));
}

void CKorviDemoDlg::SetFieldText(uint32_t field, const char* text) {
    m_Fields[field]->ChangeValue(Text(text));
    MarkField(field, Panel_TakeFieldText(field, text));
}

void CKorviDemoDlg::ShowFieldInUse(uint32_t field) {
    if (m_FieldMark[field] == kFieldTaken) return;
    m_Fields[field]->ChangeValue(Text(Panel_FieldTextInUse(field)));
    MarkField(field, kFieldTaken);
}

void CKorviDemoDlg::MarkField(uint32_t field, uint32_t entry) {
    if (m_FieldMark[field] == entry) return;
    m_FieldMark[field] = entry;
    wxTextCtrl* edit = m_Fields[field];
    edit->SetBackgroundColour(entry != kFieldTaken ? RefusedFieldColour() : wxNullColour);
    if (entry == kFieldTaken) {
        edit->UnsetToolTip();
    } else {
        edit->SetToolTip(entry == kFieldLimited ? kLimitedFieldTip : kRefusedFieldTip);
    }
    edit->Refresh();
}

void CKorviDemoDlg::OnInputText(wxCommandEvent& event) {
    uint32_t field = FieldOfWindow(event.GetEventObject());
    if (field < kInputFields) EnterField(field);
}

void CKorviDemoDlg::OnInputLeft(wxFocusEvent& event) {
    uint32_t field = FieldOfWindow(event.GetEventObject());
    if (field < kInputFields) ShowFieldInUse(field);
    event.Skip();
}

void CKorviDemoDlg::Panel_LoadChannelSetup() {
    // The firmware thread loads the channel kinds and sets the store up; until it has, the panel
    // keeps its defaults and the paint timer asks again.
    ChannelSetup setup;
    m_SetupPending = !Panel_TryLoadChannelSetup(&setup);
    if (m_SetupPending) return;
    m_UnitAPrimary->SetLabel(setup.unitA);
    m_UnitBPrimary->SetLabel(setup.unitB);
    if (setup.fourthUnitB != nullptr) m_UnitBRr->SetLabel(setup.fourthUnitB);
    if (setup.fourthTextB != nullptr) SetFieldText(kFieldBRr, setup.fourthTextB);
    m_SettingLists = true;
    m_SensorB->SetSelection(setup.sensorIndex < kSensorListTexts ? setup.sensorIndex : wxNOT_FOUND);
    m_SettingLists = false;
    EnableChannelARows(setup.kindA);
    EnableChannelBRows(Panel_ChannelBHasElectrodes(setup.kindB) != 0);
    // Channel B's primary row feeds its model's quantity from now on.
    Panel_RetakeFieldTexts();
}

void CKorviDemoDlg::OnBnClickedEsc(wxCommandEvent&) { Key_Put(kKeyEscape); }

void CKorviDemoDlg::ClickDigitalInput(wxCommandEvent& event) {
    const DigitalInputChoice* choice = Panel_ClickDigitalInput(event.GetId());
    if (choice == nullptr) return;
    (choice->input == 0 ? m_Din1 : m_Din2) = choice->level;
}

void CKorviDemoDlg::OnBnClickedDin1Low(wxCommandEvent& event) { ClickDigitalInput(event); }
void CKorviDemoDlg::OnBnClickedDin1High(wxCommandEvent& event) { ClickDigitalInput(event); }
void CKorviDemoDlg::OnBnClickedDin2Low(wxCommandEvent& event) { ClickDigitalInput(event); }
void CKorviDemoDlg::OnBnClickedDin2High(wxCommandEvent& event) { ClickDigitalInput(event); }

void CKorviDemoDlg::ShowChannelARows(const SensorARows& rows) {
    m_UnitAPrimary->SetLabel(rows.primaryUnit);
    m_Fields[kFieldARg]->Enable(rows.glassRow);
    m_SpinARg->Enable(rows.glassRow);
    m_Fields[kFieldARr]->Enable(rows.referenceRow);
    m_SpinARr->Enable(rows.referenceRow);
    Panel_RetakeFieldTexts();
    // The list only shows the configured kind: the next refresh shows it again.
    m_KindAShown = -1;
    ScheduleRefresh(kPaintPeriodMs);
}

void CKorviDemoDlg::ShowChannelBRows(const SensorBRows& rows) {
    m_UnitBPrimary->SetLabel(rows.primaryUnit);
    EnableChannelBRows(rows.electrodeRows);
    if (rows.fourthUnit != nullptr) m_UnitBRr->SetLabel(rows.fourthUnit);
    if (rows.fourthText != nullptr) SetFieldText(kFieldBRr, rows.fourthText);
    Panel_RetakeFieldTexts();
}

void CKorviDemoDlg::OnCbnSelchangeSensorA(wxCommandEvent&) {
    ShowChannelARows(Panel_ChooseSensorA(m_SensorA->GetSelection(), Fw_GetChannelType(0)));
}

void CKorviDemoDlg::OnCbnEditupdateSensorA(wxCommandEvent&) {
    if (m_SettingLists || !m_SensorA->GetValue().empty()) return;
    ShowChannelARows(Panel_ClearSensorA());
}

void CKorviDemoDlg::OnCbnSelchangeSensorB(wxCommandEvent&) {
    int selection = m_SensorB->GetSelection();
    SensorBRows rows = Panel_ChooseSensorB(selection);
    ShowChannelBRows(rows);
    if (!rows.kept) {
        wxMessageBox(wxString::Format("The choice of %s is not kept for the next start: \"%s\" beside the settings "
                                      "store cannot be written.",
                                      g_SensorImageFiles[selection].listText, kSensorChoiceFile),
                     "R718 2roru Simulator", wxOK | wxICON_WARNING, this);
    }
}

void CKorviDemoDlg::OnCbnEditupdateSensorB(wxCommandEvent&) {
    if (m_SettingLists || !m_SensorB->GetValue().empty()) return;
    ShowChannelBRows(Panel_ClearSensorB());
}

void CKorviDemoDlg::StepRow(wxSpinEvent& event, uint32_t field) {
    // The spin's up arrow raises the value, the down arrow lowers it.
    int32_t delta = event.GetEventType() == wxEVT_SPIN_DOWN ? 1 : -1;
    m_Fields[field]->ChangeValue(Text(Panel_StepField(field, delta)));
    MarkField(field, kFieldTaken);
}

void CKorviDemoDlg::OnDeltaposSpinAPrimary(wxSpinEvent& e) { StepRow(e, kFieldAPrimary); }
void CKorviDemoDlg::OnDeltaposSpinBPrimary(wxSpinEvent& e) { StepRow(e, kFieldBPrimary); }
void CKorviDemoDlg::OnDeltaposSpinATemperature(wxSpinEvent& e) { StepRow(e, kFieldATemperature); }
void CKorviDemoDlg::OnDeltaposSpinBTemperature(wxSpinEvent& e) { StepRow(e, kFieldBTemperature); }
void CKorviDemoDlg::OnDeltaposSpinARg(wxSpinEvent& e) { StepRow(e, kFieldARg); }
void CKorviDemoDlg::OnDeltaposSpinBRg(wxSpinEvent& e) { StepRow(e, kFieldBRg); }
void CKorviDemoDlg::OnDeltaposSpinARr(wxSpinEvent& e) { StepRow(e, kFieldARr); }
void CKorviDemoDlg::OnDeltaposSpinBRr(wxSpinEvent& e) { StepRow(e, kFieldBRr); }
