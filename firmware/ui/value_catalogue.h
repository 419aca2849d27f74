// Value page catalogue: the record of each of the 52 value pages, the settings each page shows and
// stores, the checks its values pass on ENTER, and what follows ENTER.
#pragma once
#include <cstdint>

#include "core/texts.h"
#include "ui/value_page.h"

// The pixel columns of a page's two values per language and line (entry 2 x language + line), 0
// where the line has no value.
struct ValueColumns {
    uint8_t at[2 * kLanguages];
};
// One value page (record n describes page n). Labels are texts of the page's group, 255 none; a
// line's choice position is its width.
struct ValuePageDesc {
    uint8_t page;
    uint8_t label[4];        // 0a, 0b on row 11; 1a, 1b on row 12
    uint8_t labelColumn[4];  // pixel columns of the four labels
    ValueColumns valueColumn;
    uint8_t isSigned;     // 1: a value's first character may also be '-'
    uint8_t fraction[2];  // per line: drawn with decimals, '.' among its characters
    uint8_t unit[2];      // per line: unit text of group 6 after the value, 255 none
    uint8_t width[2];     // per line: characters of the value
};
extern const ValuePageDesc g_ValuePageTable[];

// Page numbers: the record of each page the code addresses by number, named after what it edits.
constexpr uint32_t kValuePageRelay = 0;            // relay delay and set point hysteresis
constexpr uint32_t kValuePageAlarmRelay = 1;       // alarm relay state and delay
constexpr uint32_t kValuePageStc = 3;              // pH isopotential point and STC
constexpr uint32_t kValuePageCleaning = 4;         // cleaning interval and time
constexpr uint32_t kValuePageCalPressure = 5;      // calibration pressure and process-pressure source
constexpr uint32_t kValuePageSalinity = 6;         // salinity and relative humidity
constexpr uint32_t kValuePageFixedTemp = 7;        // the fixed temperature
constexpr uint32_t kValuePagePassword = 8;         // the access code that opens the password pages
constexpr uint32_t kValuePageNewPassword = 9;      // a new access code
constexpr uint32_t kValuePageRepeatPassword = 10;  // the new access code once more
constexpr uint32_t kValuePageOutputTest = 11;      // analog output test currents
constexpr uint32_t kValuePageAccessCode = 12;      // the access code that unlocks a section
constexpr uint32_t kValuePageSetPointRange = 13;   // set point upper and lower values
constexpr uint32_t kValuePageOutputRange = 14;     // analog output range
constexpr uint32_t kValuePageOutputLow = 15;       // analog output range, second form
constexpr uint32_t kValuePageSetPointValue = 16;   // a set point's single value
constexpr uint32_t kValuePageRefTemp = 18;         // STC reference temperature
constexpr uint32_t kValuePageNames = 19;           // the two line names
constexpr uint32_t kValuePageService = 20;         // the service technician's code
constexpr uint32_t kValuePagePulseLength = 22;     // PID pulse length
constexpr uint32_t kValuePagePulseFreq = 23;       // PID pulse frequency
constexpr uint32_t kValuePagePid = 24;             // PID set point and dead band
constexpr uint32_t kValuePagePropLimits = 25;      // PID proportional limits
constexpr uint32_t kValuePagePropLimits2 = 26;     // PID proportional limits, second form
constexpr uint32_t kValuePageSetPointOff = 27;     // a set point switched off
constexpr uint32_t kValuePageClock = 28;           // date and time
constexpr uint32_t kValuePageMaint = 29;           // time to maintenance and adaptive calibration timer
constexpr uint32_t kValuePageMaint2 = 30;          // the same, second form
constexpr uint32_t kValuePageCipSetup = 31;        // CIP cycle limit and temperature
constexpr uint32_t kValuePageSipSetup = 32;        // SIP cycle limit and temperature
constexpr uint32_t kValuePageAutoclaveSetup = 33;  // autoclave cycle limit
constexpr uint32_t kValuePageAct = 34;             // adaptive calibration timer
constexpr uint32_t kValuePageCo2 = 35;             // CO2 salinity and bicarbonate
constexpr uint32_t kValuePageTotalPressure = 36;   // total pressure
constexpr uint32_t kValuePageToff = 37;            // the optical sensor's Toff
constexpr uint32_t kValuePagePolarization = 38;    // polarization voltages
constexpr uint32_t kValuePageSampling = 39;        // sampling interval
constexpr uint32_t kValuePageCalTemperature = 40;  // the manual temperature a calibration uses
constexpr uint32_t kValuePageO2Conditions = 41;    // oxygen calibration pressure and humidity
constexpr uint32_t kValuePageRelayAbsolute = 42;   // relay delay and absolute hysteresis
constexpr uint32_t kValuePageProcPressure = 43;    // process pressure
constexpr uint32_t kValuePageAnalogInput = 44;     // analog input range
constexpr uint32_t kValuePageUnitName = 45;        // the user unit's name
constexpr uint32_t kValuePageConcPoints = 46;      // concentration table: point counts
constexpr uint32_t kValuePageConcentrations = 47;  // concentration table: concentrations
constexpr uint32_t kValuePageConcRow = 48;         // concentration table: temperature and conductivity of a row
constexpr uint32_t kValuePageConductivities = 49;  // concentration table: conductivities
constexpr uint32_t kValuePageDamping = 50;         // output 1 damping
constexpr uint32_t kValuePageO2Pressure = 51;      // oxygen calibration pressure

// Where the labels of a page come from.
TextRef ValuePage_LabelText(uint32_t page, uint32_t label);
uint8_t ValuePage_ValueColumn(uint32_t page, uint32_t line, uint32_t language);

// What a line's choice position chooses.
constexpr uint8_t kChoiceNone = 0;
constexpr uint8_t kChoicePressureUnit = 1;  // group 53, 0 to 4
constexpr uint8_t kChoiceSource = 2;        // group 86, "Edit" or "Ain"
constexpr uint8_t kChoiceDecade = 3;        // 1, milli, micro
constexpr uint8_t kChoicePassword = 4;      // group 61, the password page's choice
uint8_t ValuePage_ChoiceKind(uint32_t page, uint32_t line);
// The number of options of a choice kind.
uint32_t ValuePage_ChoiceCount(uint8_t kind);

// Reads the page's setting (its edit copy where the module keeps one) into the value pair and the
// choice bytes.
void ValuePage_Load(uint32_t page, float* values);
// Writes the pair back (only for screen 8, the value page).
void ValuePage_Store(uint32_t screen, uint32_t page, const float* values);
// The checks of ENTER on the values as entered: r is 0 or 2 as the key handler found, the result
// is r, 3 to 6 for a value error shown as a message, or -1 when a value was rewritten into range
// and the page stays.
int32_t ValuePage_CheckEntry(uint32_t page, int32_t r, float* values);
// What follows ENTER with r 0 (leave position) or 2 (values taken): an action or item id for the
// menu engine, or -1 when the screen stays (another page was opened in its place).
int32_t ValuePage_ResultOf(uint32_t page, int32_t r, const float* values);

// The temperature, pressure and humidity an oxygen calibration of the channel starts with.
void ValuePage_ApplyO2Conditions(uint32_t channel);
// The set point or output a page edits (the parameter pages' selector), and a step of it.
uint8_t ValuePage_EditItem(uint32_t page);
void ValuePage_SetEditItem(uint32_t page, uint8_t item);
// The set point type of set point i in the working set.
uint8_t ValuePage_SetPointType(uint32_t i);
// The alarm-cause disable mask of the working set (bit 0 frees the alarm relay's state).
uint32_t ValuePage_AlarmMask();
// The relay (0 or 1) of the working set's alarm relay that page 1 edits.
uint8_t ValuePage_AlarmRelay();
// The channel's choice of page 18 (0 "Yes", 1 "No"): the solution compensation applied or not.
void ValuePage_StoreRefTempChoice(uint8_t choice);
// The concentration table pages: whether a line holds an entry, and the entry's number.
uint32_t ValuePage_ConcLineShown(uint32_t page, uint32_t line);
uint32_t ValuePage_ConcEntryNumber(uint32_t page, uint32_t line);
// The catalogue's state as at power-on.
void ValuePage_ResetCatalogue();

// The number of the measurement a range page edits, with its unit prefix: the set point's line
// (pages 13, 15, 16, 42), the output's line (page 14), the PID's line (24 to 26).
void ValuePage_RangeUnit(uint32_t page, uint8_t* code, uint8_t* prefix);
