// Calibrations of channel B's digital sensors walked by keys through the rig, for the properties
// over them: a generated case (model, calibration type, what the sensor stands in, the temperature,
// the references entered, the save chosen), the start with that sensor plugged, the walk from CAL to
// the measurement screen, and the pages and lines read back.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "property_support.h"

namespace calb {

enum class Family : uint8_t { Ph, Co2, Cond, O2, Optical };

// A model of the panel's list with the sensor's own response: pH family the electrode's zero in mV
// and its slope fraction, conductivity the cell constant, oxygen the current in air and at zero
// (nA), optical its reading in air (%air).
struct Model {
    const char* name;
    const char* file;
    uint8_t code;
    Family family;
    float own[2];
};
extern const Model kModels[];
extern const uint32_t kModelCount;

enum class Type : uint8_t { OnePoint, TwoPoint, Process, Zero };
enum class Save : uint8_t { Adjust, Calibrate, Abort };

struct CalCase {
    uint8_t model = 0;
    Type type = Type::OnePoint;
    Save save = Save::Adjust;
    // pH family and CO2: the buffer set (8 "None": the buffers are typed); conductivity: the
    // compensation of the line and of the calibration.
    uint8_t choice = 0;
    // Oxygen, and CO2 on its held process point: UP steps of the point's unit.
    uint8_t unit = 0;
    // Oxygen: the reference is typed rather than offered.
    bool typed = false;
    float t = 25.0f;
    // What the sensor stands in at each point: the buffer's column (recognised) or pH (typed),
    // a conductivity in uS/cm, a fraction of the oxygen of air (a zero point: nA above the
    // sensor's zero).
    float x[2] = {0.0f, 0.0f};
    // The sensor as it is now: pH family zero shift (mV) and slope factor, conductivity cell
    // factor, oxygen current factor.
    float sensor[2] = {0.0f, 1.0f};
    // Process: the lab's value as a factor of (or, for pH, a step from) the reading captured, 1
    // (pH 0) taking the captured reading as it is offered; oxygen typed: the reference as a factor
    // of the one offered.
    float lab = 1.0f;
    // After the calibration: the temperature and the sensor's input as a factor of point 1's.
    float later[2] = {25.0f, 1.0f};
};
void showValue(const CalCase& c, std::ostream& os);

// A point's reference: the value the calibration is to close on, the step of its last digit, and
// its unit's text.
struct Reference {
    double value = 0.0;
    double step = 0.0;
    std::string unit;
};
// What the walk saw: the result screen's row 11, each point's row 11 as it was taken, the
// references offered or entered, and whether the result screen came.
struct Walked {
    bool resultShown = false;
    std::string result;
    std::vector<std::string> points;
    std::vector<Reference> references;
};

// A fresh program on channel B with the case's sensor plugged and measuring at point 1's input,
// the buffer set or line compensation set by keys.
void StartWithSensor(const CalCase& c);
// The sensor at the temperature and input of point i (0, 1), or at the case's later input (2),
// and its reading settled.
void SetPointInputs(const CalCase& c, uint32_t i);
void SetInputs(const CalCase& c, uint32_t i);
// CAL to the measurement screen again: the points, the result, the save chosen.
Walked Calibrate(const CalCase& c);

// A reference in the unit a line can show it in: four digits at most (19054 ppb as 19.054 ppm).
Reference OnALine(const Reference& reference);
// Line 1 (big digits) set to channel B in a reference's unit, read after the reading settled; the
// shown text.
std::string ReadingIn(const Reference& reference);
// The number in a text from its first digit or sign, and the step of its last digit.
bool NumberIn(const std::string& text, double* value, double* step);
// The two big lines' texts, the analog outputs' currents as the panel shows them, the calibration
// data rows.
struct Seen {
    std::string line[2];
    std::string out[2];
    std::vector<std::string> calData;
    bool operator==(const Seen& o) const {
        return line[0] == o.line[0] && line[1] == o.line[1] && out[0] == o.out[0] && out[1] == o.out[1] &&
               calData == o.calData;
    }
};
void PrintTo(const Seen& s, std::ostream* os);
Seen Look();
// INFO, "Calibration Data": rows 11 and 12 of channel B's view.
std::vector<std::string> CalDataRows();
// INFO, "VDX Diagnostics", "ChB Cal History": "name date | values" of each set from "Fact" on.
std::vector<std::string> HistoryRows();
// A labelled value of a page row ("S=", "Z=", "M=", "A=", "P100=", "P0="), in the unit the
// label's own text gives it (nA, %, pH, the cell constant), and its step.
bool LabelledValue(const std::string& row, const std::string& label, double* value, double* step);

// The sensor taken off and plugged again; the program started again with it.
void Replug(const CalCase& c);
void Restart(const CalCase& c);

// A case of "Save Adjust" over every model of a family chosen evenly (the optical sensor's too when
// asked), every type and unit.
rc::Gen<CalCase> GenCalCase(bool withOptical);

}  // namespace calb
