// The panel's simulated inputs and outputs without the window: per-kind tables, channel B's
// sensor models, value texts with K and M suffixes, spin steps, the stored channel set-up and
// the clock copy between the computer and the firmware.
#pragma once
#include <cstdint>
#include <string>

// What a sensor kind (channel A) or sensor code (channel B) measures as its primary value.
struct KindRow {
    uint8_t primaryQuantity;
    const char* unitLabel;
};
// Kinds and codes 0 to 12 have a row.
constexpr uint32_t kKindRows = 13;
// Anything outside the table reads as "no selection": a resistance in ohm.
KindRow Panel_KindRow(uint32_t kindOrCode);

// Channel B's sensor models by list index: list text, memory-image file, sensor code and the
// model number the sensor carries. The last two are not in the list but load from the store.
struct SensorImageEntry {
    const char* listText;
    const char* fileName;
    uint8_t code;
    uint32_t modelNumber;
};
constexpr uint32_t kSensorModels = 14;
constexpr uint32_t kSensorListTexts = 12;
constexpr uint8_t kNoSensorIndex = 255;
constexpr uint8_t kNoSensorCode = 255;
extern const SensorImageEntry g_SensorImageFiles[kSensorModels];

// Channel A's type list.
constexpr uint32_t kChannelATypes = 8;
extern const char* const g_ChannelATypeTexts[kChannelATypes];

// The decimal number at the start of the text, times 1000 for a last character K and 1000000
// for M; 0.0 when the text holds no number. Independent of the host's locale.
float Panel_ParseValueText(const char* text);
// The same, for a text that must hold a number: false, and value untouched, when the text does
// not start with one (letters, a lone sign or point) or its value is no finite float ("nan",
// "inf", 1e39).
bool Panel_TryParseValueText(const char* text, float* value);
// Two decimals, with K above 1000 and M above 1000000 (by magnitude).
std::string Panel_FormatValueText(float value);

// Ohms per unit of a row that the panel shows, and the store keeps, in kilohm or megaohm: the
// "Rg" rows in megaohm, the "Rr/pNa Rg" rows in kilohm (channel B's in megaohm while its sensor's
// fourth row is a second glass electrode); 0 for every other row, which takes its value as typed.
float Panel_RowOhmsPerUnit(uint32_t channel, uint32_t q);
// A row's text as the value the store takes. In a kilohm or megaohm row a last character K or M
// scales the number to ohms, which are then counted in the row's own unit ("2.2M" and "2200K" are
// 2.2 in a megaohm row); a number without a suffix is already in the row's unit. False, and value
// untouched, for a text that holds no number or no finite one.
bool Panel_ParseRowText(uint32_t channel, uint32_t q, const char* text, float* value);

// The rows as the dialog first shows them: primary rows on a resistance, channel B's fourth row
// on the reference electrode, every field's text in use its default.
void Panel_ResetInputs();

// The quantity a channel's primary row feeds, and its unit label.
uint8_t Panel_GetPrimaryQuantity(uint32_t channel);
void Panel_SetPrimaryQuantity(uint32_t channel, uint8_t q);

// One spin step of quantity q of a channel: the step is 0.01, 10 or 10000 by the magnitude of
// the value as the row shows it (quantity 1 in mV, a kilohm or megaohm row in its own unit); a
// positive delta lowers the value, any other raises it. Returns the row's new text: two decimals,
// with a K or M suffix only in rows that are not kept in kilohm or megaohm.
std::string Panel_StepInputText(uint32_t channel, uint32_t q, int32_t delta);
// An edit's text into the store: empty is 0.0, a number its value in the row's unit. A text that
// is no number is refused: the store keeps the value in use. True when taken.
bool Panel_StoreInputText(uint32_t channel, uint32_t q, const char* text);
// The analog input edit: empty is 4.0 mA; stored on channel A (the store limits it to 0..23). A
// text that is no number is refused as above. True when taken.
bool Panel_ReadAnalogInput(const char* text);

// The panel's input fields: the four rows of each channel and the analog input.
constexpr uint32_t kFieldAPrimary = 0;
constexpr uint32_t kFieldBPrimary = 1;
constexpr uint32_t kFieldATemperature = 2;
constexpr uint32_t kFieldBTemperature = 3;
constexpr uint32_t kFieldARg = 4;
constexpr uint32_t kFieldBRg = 5;
constexpr uint32_t kFieldARr = 6;
constexpr uint32_t kFieldBRr = 7;
constexpr uint32_t kFieldAnalogIn = 8;
constexpr uint32_t kInputFields = 9;
// The text a field shows when the panel opens.
const char* Panel_FieldDefaultText(uint32_t field);
// The channel and store quantity a field feeds (a primary row: its channel's primary quantity).
uint32_t Panel_FieldChannel(uint32_t field);
uint32_t Panel_FieldQuantity(uint32_t field);
// A field's text changed (typed, or written by the panel): a text the field takes goes into the
// store and becomes the field's text in use. A text that is no number is refused: the store keeps
// the value in use and the field its text in use, which the panel shows again once the user
// leaves the field. True when taken.
bool Panel_EnterFieldText(uint32_t field, const char* text);
// What became of a field's text (Panel_TakeFieldText).
constexpr uint32_t kFieldTaken = 0;
constexpr uint32_t kFieldLimited = 1;  // a number beyond the store's limits: the limit is used
constexpr uint32_t kFieldRefused = 2;  // no number: the value in use stays
// As Panel_EnterFieldText, and a number that the store limits is taken as the limit: the field's
// text in use is then the value used, as its row shows values, which the panel shows once the
// user leaves the field (marked meanwhile, as a refused text is).
uint32_t Panel_TakeFieldText(uint32_t field, const char* text);
// The text the field's value in use came from.
const std::string& Panel_FieldTextInUse(uint32_t field);
// One spin step of a field's row (Panel_StepInputText); the new text is taken as if typed, and
// returned for the field to show (a step beyond the store's limits: the value used).
std::string Panel_StepField(uint32_t field, int32_t delta);
// Every field's text in use into the store again: after a primary row changed its quantity or
// channel B's fourth row its unit.
void Panel_RetakeFieldTexts();

// The first entry with that model number, else 255.
uint8_t Panel_FindSensorIndex(uint32_t modelNumber);
// The panel's record of the last model chosen in channel B's list, a file beside the settings
// store: two entries carry one model number, and only the record tells them apart after a
// restart. Written whole, so that a kill leaves the old record or the new one.
constexpr char kSensorChoiceFile[] = "Panel Sensor Choice";
// The entry to load for a stored model number: the recorded entry while it carries that model,
// else (no record, a garbled one, or another model stored since) the first entry with it.
uint8_t Panel_RestoreSensorIndex(uint32_t modelNumber);
// Hands the entry's image file and code (or " " and 255 for no entry) to the library.
void Panel_SelectDigitalSensor(uint32_t channel, uint32_t index);
// Takes over a model choice: for an entry its code's unit and primary quantity (no entry: "no
// selection"), then the image file to the library. Returns the unit label.
const char* Panel_ApplySensorChoice(uint32_t channel, uint32_t index);
// Channel B uses a glass and reference electrode (codes 1, 2, 10 and kinds 1, 2, 10).
uint32_t Panel_ChannelBHasElectrodes(uint32_t kindOrCode);
// Channel A's "Rg" row is used by kinds 1 and 10, its "Rr/pNa Rg" row by kind 1.
uint32_t Panel_ChannelAUsesGlass(uint32_t kind);
uint32_t Panel_ChannelAUsesReference(uint32_t kind);

// What channel A's rows show after its type list changed.
struct SensorARows {
    const char* primaryUnit;
    bool glassRow;      // "Rg" edit and spin take input
    bool referenceRow;  // "Rr/pNa Rg" edit and spin take input
};
// A choice in channel A's type list (negative: none). The list only shows the configured kind,
// which is changed in the instrument's menus: a choice follows the configured kind, not itself.
SensorARows Panel_ChooseSensorA(int32_t selection, uint32_t configuredKind);
// Channel A's list emptied: a resistance primary and no electrode rows.
SensorARows Panel_ClearSensorA();

// What channel B's rows show after a model choice.
struct SensorBRows {
    const char* primaryUnit;
    bool electrodeRows;      // "Rg" and "Rr/pNa Rg" edits and spins take input
    const char* fourthUnit;  // the "Rr/pNa Rg" row's unit label and text; nullptr: as they are
    const char* fourthText;
    // false: the model chosen will not come back at the next start, since its record could not be
    // written (something other than a file in its place) and the next start would load another
    // entry of the same model; the panel says so.
    bool kept = true;
};
// A choice in channel B's model list (negative or 14 and above: no model): the model's unit and
// primary quantity, its image to the library, and for a sensor with electrodes the fourth row
// set up as a reference electrode in kilohm or, for a pNa sensor, a second glass in megaohm. A
// model chosen is recorded for the next start.
SensorBRows Panel_ChooseSensorB(int32_t selection);
// Channel B's list emptied: no sensor, a resistance primary, no electrode rows.
SensorBRows Panel_ClearSensorB();

// The radio buttons of the two digital inputs: the input and level each one sets.
struct DigitalInputChoice {
    int controlId;
    uint8_t input;  // 0 DIn1, 1 DIn2
    uint8_t level;  // 0 low, 1 high
};
constexpr uint32_t kDigitalInputChoices = 4;
extern const DigitalInputChoice g_DigitalInputChoices[kDigitalInputChoices];
// A click on one of those buttons: sets the input the firmware reads and returns the choice
// (nullptr for any other control, which changes nothing).
const DigitalInputChoice* Panel_ClickDigitalInput(int controlId);

// The sensor model number stored for a channel, read from the settings store itself: the panel
// loads its set-up while the firmware may still be starting. A store without settings yet, or a
// kind the firmware would replace, gives the default 4187.
uint32_t Panel_ReadStoredSensorModel(uint32_t channel);

// Channel set-up at start, for the dialog to show.
struct ChannelSetup {
    uint8_t kindA;
    uint8_t kindB;
    uint8_t sensorIndex;  // 255 when the stored model is in no entry
    const char* unitA;
    const char* unitB;
    // Channel B's fourth row as its stored model uses it (nullptr: the row's defaults).
    const char* fourthUnitB;
    const char* fourthTextB;
};
// Takes over the channel kinds the firmware has loaded and channel B's stored model, and loads
// that model's image into the library. A temporary file a killed write of the panel's record of
// the chosen entry left is removed.
ChannelSetup Panel_LoadChannelSetup();
// The same once the firmware thread has set the store up and loaded the kinds (it alone loads
// them, and the store's file name is its until then); false, and nothing done, before.
bool Panel_TryLoadChannelSetup(ChannelSetup* setup);

// The firmware's clock becomes the program's clock (an offset to the computer's clock, which
// itself is never set).
void Panel_SyncSystemClock();
// The program's clock into the firmware clock; returns its text "YYYY/MM/DD,hh:mm:ss".
std::string Panel_ShowClock();
// The clock's once-a-second step: a clock the firmware set goes to the program's clock first,
// then the program's clock is shown and copied into the firmware.
std::string Panel_ClockSecond();
