#pragma once
// Step scales: the processor stores every EQ and filter setting as a small
// step number; these tables and rules turn steps into the texts the panels
// show and the numbers the graph computes with, and typed values back into
// steps. The table texts are displayed exactly as written here.

#include <array>
#include <string>

namespace dsp {

extern const std::array<const char*, 362> FreqSteps;    // 19.7 .. 20600.0 Hz
extern const std::array<const char*, 101> QSteps;       // 0.40 .. 128.00
extern const std::array<const char*, 41> RatioSteps;    // 1.0 .. 100
extern const std::array<const char*, 8> ReleaseSteps;   // x attack time
extern const std::array<const char*, 16> AttackSteps;   // milliseconds

enum class StepTable { Freq, Q, Ratio, Release, Attack };

int StepCount(StepTable table);
// Text and numeric value of a step. A step outside the table gives the
// nearest entry, so a value the processor sent out of range never reads
// outside a table.
const char* StepText(StepTable table, int step);
double StepValue(StepTable table, int step);

// Gain step to decibels: step / 5 - 24 (step 120 is 0 dB).
double GainDb(int step);

// Typed or computed value to a step, by value role: 2 nearest frequency step
// (a tie goes down, above 20200 Hz gives 361), 3 gain step rounded half to
// even, 4 the first Q step at or above the value (101 above 128.00); any other
// kind returns the value unchanged. No clamping: the edit pipeline clamps.
double TextToStep(int kind, double value);

// Derived filter scales. High-pass: 0 is off, v >= 1 is FreqSteps[v - 1].
// Echo low-pass: v in 0..193 is FreqSteps[v + 168], 194 is off.
constexpr int kHighPassMax = 241;
constexpr int kEchoLowPassMax = 194;
std::string HighPassText(int value);     // "Off" or e.g. "303.0Hz"
std::string EchoLowPassText(int value);  // "Off" or e.g. "500.0Hz"

// Value roles: how a value widget clamps and shows its step.
namespace role {
constexpr int None = 0, BandType = 1, BandFreq = 2, BandGain = 3, BandQ = 4, HighPass = 6,
              EchoLowPass = 7, EffectLevel = 8, OutputLevel = 9, EchoRightDelay = 10,
              EffectDelay = 11, ReverbTime = 12, EffectHighPass = 13, LimiterThreshold = 14,
              Ratio = 15, Release = 16, Attack = 17, OutputDelay = 18, UserQ = 19;
}

// Items of a band type choice box.
inline constexpr std::array<const char*, 3> BandTypeItems{"PEQ", "LSEQ", "HSEQ"};

// Upper step limit of a role (the lower limit is always 0). Role 4 depends on
// the band type: 100 for a peaking band, 28 (Q 2.00) for a shelf. Returns -1
// for roles that have no range (0, 5 and unknown roles).
int RoleLimit(int role, bool shelf = false);
inline int ClampStep(int step, int limit) { return step < 0 ? 0 : (step > limit ? limit : step); }

// The text a widget of the role shows for a step (the step is taken as it is;
// the display itself never reads outside a table). Empty for roles without a
// display.
std::string RoleText(int role, int step);

}  // namespace dsp
