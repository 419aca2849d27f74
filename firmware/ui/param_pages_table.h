// The parameter pages as data: 88 page records (labels, choices and their layout per language)
// and the label group of each page.
#pragma once
#include <cstdint>

#include "core/texts.h"

constexpr uint32_t kParamPageCount = 88;
constexpr uint32_t kParamFields = 4;
// Field value of the current-field byte: the leave marker is selected.
constexpr uint8_t kParamLeaveMarker = 4;
// Label item of a field without a label of its own.
constexpr uint8_t kNoLabel = 255;
// Choice group of a field without a value: it cannot be selected.
constexpr uint8_t kNoGroup = 255;
// Choice groups that are no text group: the set point number, drawn as its digit; the
// measurement of an analog output, drawn by its name; the units of the calibration info page,
// which the page draws itself.
constexpr uint8_t kGroupNumber = 254;
constexpr uint8_t kGroupMeasurement = 253;
constexpr uint8_t kGroupCalUnits = 252;

// One page: per field its label and choices, and per language and field where they stand. A
// column is a pixel column of rows 11 (fields 0, 1) and 12 (fields 2, 3); a width is the span in
// pixels cleared before a value is drawn. The layout keeps every page inside its row in every
// language, row 12 ending before the leave marker at column 138.
struct ParamPageDesc {
    uint8_t pageId;
    uint8_t labelItem[kParamFields];
    uint8_t labelColumn[kLanguages][kParamFields];
    uint8_t choiceGroup[kParamFields];
    uint8_t valueColumn[kLanguages][kParamFields];
    uint8_t choiceCount[kParamFields];
    uint8_t valueWidth[kLanguages][kParamFields];
};
extern const ParamPageDesc g_ParamPageTable[kParamPageCount];

// Page ids: the record number of each page in the table, named after what the page edits. The
// pages the code never addresses by id (the empty ones, the relay test's second row, a plain yes
// or no) have no name.
constexpr uint32_t kParamPageSetPoint = 0;                 // set point: measurement and type
constexpr uint32_t kParamPageSetPointRelay = 1;            // set point: out of range and relay
constexpr uint32_t kParamPageSetPointRelayOnly = 2;        // set point relay
constexpr uint32_t kParamPageRelayHold = 3;                // relay hold and contact
constexpr uint32_t kParamPageDisplayLines = 4;             // display lines
constexpr uint32_t kParamPageErrorDisplay = 5;             // error display
constexpr uint32_t kParamPageResolution = 6;               // resolution of the lines
constexpr uint32_t kParamPageAveragingAb = 7;              // averaging a, b
constexpr uint32_t kParamPageAveragingCd = 8;              // averaging c, d
constexpr uint32_t kParamPageCompAb = 9;                   // compensation a, b
constexpr uint32_t kParamPageCompCd = 10;                  // compensation c, d
constexpr uint32_t kParamPageTempSource = 11;              // temperature source
constexpr uint32_t kParamPageDriftControl = 12;            // drift control A, B
constexpr uint32_t kParamPagePhBuffers = 13;               // pH drift control and buffer set
constexpr uint32_t kParamPageReset = 14;                   // reset
constexpr uint32_t kParamPageLanguage = 15;                // language
constexpr uint32_t kParamPageRelayTest = 16;               // relay test
constexpr uint32_t kParamPageCleanRelay = 18;              // relay of the cleaning
constexpr uint32_t kParamPageRelayContact = 19;            // relay contact
constexpr uint32_t kParamPageAlarmClean = 20;              // alarm/clean setup
constexpr uint32_t kParamPageAlarmCauses = 21;             // alarm causes
constexpr uint32_t kParamPageHoldInputs = 22;              // hold outputs by digital input
constexpr uint32_t kParamPageResetSystem = 23;             // reset system
constexpr uint32_t kParamPageResetMeterCal = 24;           // reset meter calibration
constexpr uint32_t kParamPageResetAnalogCal = 25;          // reset analog calibration
constexpr uint32_t kParamPageCalUnlock = 26;               // unlock calibration
constexpr uint32_t kParamPageOutputMeasurement = 27;       // analog output measurement and range
constexpr uint32_t kParamPageOutputAlarm = 28;             // analog output alarm
constexpr uint32_t kParamPageOrpCalType = 29;              // ORP calibration type
constexpr uint32_t kParamPageOutputHold = 30;              // analog output hold mode
constexpr uint32_t kParamPagePhCalType = 31;               // pH calibration type
constexpr uint32_t kParamPageTempCalType = 32;             // temperature calibration type
constexpr uint32_t kParamPageCondCalType = 33;             // conductivity calibration type
constexpr uint32_t kParamPageO2CalType = 34;               // oxygen calibration type
constexpr uint32_t kParamPageO3CalType = 35;               // ozone calibration type
constexpr uint32_t kParamPageSensorTypes = 36;             // sensor types A, B
constexpr uint32_t kParamPageOutputOfSetPoint = 37;        // analog output of a set point
constexpr uint32_t kParamPageSetPointOfOutput = 38;        // set point of a line
constexpr uint32_t kParamPageLocksCalKey = 39;             // locks: CAL key, quick setup
constexpr uint32_t kParamPageLocksConfig = 40;             // locks: configuration, system
constexpr uint32_t kParamPageLocksPidService = 41;         // locks: PID setup, service
constexpr uint32_t kParamPageBacklight = 42;               // backlight
constexpr uint32_t kParamPagePidDisplay = 43;              // PID display
constexpr uint32_t kParamPagePidMode = 44;                 // PID output relays
constexpr uint32_t kParamPagePidMode2 = 45;                // PID output relays, second form
constexpr uint32_t kParamPageStopRelay = 46;               // stop relay
constexpr uint32_t kParamPageStopOutputMeas = 47;          // stop analog output on measurement
constexpr uint32_t kParamPageStopOutputPid = 48;           // stop analog output on PID
constexpr uint32_t kParamPageStopRelayAsked = 50;          // stop relay (asked by another page)
constexpr uint32_t kParamPageCalComp = 51;                 // calibration compensation
constexpr uint32_t kParamPageStopPidRelay = 52;            // stop relay of the PID
constexpr uint32_t kParamPagePidHoldRelays = 53;           // PID hold, relays
constexpr uint32_t kParamPagePidHoldOutput = 54;           // PID hold, analog output
constexpr uint32_t kParamPageLifetimeAlarm = 55;           // lifetime indicator alarm
constexpr uint32_t kParamPageMaintAlarm = 56;              // time to maintenance alarm
constexpr uint32_t kParamPageAdaptCalAlarm = 57;           // adaptive calibration timer alarm
constexpr uint32_t kParamPageCipAlarm = 58;                // CIP alarm
constexpr uint32_t kParamPageSipAlarm = 59;                // SIP alarm
constexpr uint32_t kParamPageAutoclaveAlarm = 60;          // autoclave alarm
constexpr uint32_t kParamPageChannelSelect = 61;           // channel select
constexpr uint32_t kParamPageSensorMonitoring = 62;        // sensor monitoring
constexpr uint32_t kParamPageResetMaint = 63;              // reset time to maintenance
constexpr uint32_t kParamPageResetCipSip = 64;             // reset CIP and SIP
constexpr uint32_t kParamPageResetAutoclaveLifetime = 65;  // reset autoclave and lifetime
constexpr uint32_t kParamPagePidOutput = 66;               // PID analog output
constexpr uint32_t kParamPageO2OptCalType = 68;            // optical oxygen calibration type
constexpr uint32_t kParamPageCalOutOfLimit = 69;           // calibration out of limit
constexpr uint32_t kParamPageResetLifetime = 70;           // reset lifetime indicator
constexpr uint32_t kParamPageCo2CalType = 71;              // CO2 calibration type
constexpr uint32_t kParamPageCalType = 72;                 // calibration type
constexpr uint32_t kParamPageCo2Buffers = 73;              // CO2 drift control and buffer set
constexpr uint32_t kParamPageProcCalPressure = 74;         // process calibration pressure
constexpr uint32_t kParamPageCalInfoUnits = 75;            // calibration info units
constexpr uint32_t kParamPageResetSensorCal = 76;          // reset sensor calibration
constexpr uint32_t kParamPageLedMode = 77;                 // LED mode
constexpr uint32_t kParamPageLedControl = 78;              // digital input 1 LED control
constexpr uint32_t kParamPageProcCalPressureDrift = 79;    // process calibration pressure and drift control
constexpr uint32_t kParamPageProcCalMode = 80;             // process calibration mode
constexpr uint32_t kParamPageProcessStress = 82;           // process stress
constexpr uint32_t kParamPageManualHold = 83;              // manual hold
constexpr uint32_t kParamPageResetMaintAutoclave = 84;     // reset time to maintenance and autoclave
constexpr uint32_t kParamPageO2ProcCalMode = 85;           // optical process calibration mode
constexpr uint32_t kParamPageO2ProcCalPressure = 86;       // process calibration pressure (oxygen)
constexpr uint32_t kParamPageFenlidCal = 87;               // first calibration after a Fenlid change

// The text group of a page's labels (22 to 26 by the page number).
uint32_t ParamPage_LabelGroup(uint32_t page);
// The display row of a field: 11 for fields 0 and 1, 12 for fields 2 and 3.
uint32_t ParamPage_FieldRow(uint32_t field);
