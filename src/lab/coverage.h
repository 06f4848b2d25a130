#pragma once
// How far a student can trust the 95 % intervals: realistic synthetic titrations (synthetic.h's
// bench, activities on) analysed as a student would, with the typed setup, no activities and a
// concentration typed a few per cent off, and the share of runs whose interval holds the truth.
// The benchmark prints it; the tests hold it to its targets.

#include "lab/readings.h"
#include "lab/setup.h"
#include "lab/synthetic.h"

#include <cstdint>

namespace lab {

/// A titration as a student meets it: the true one, the setup as typed, the readings taken.
struct Trial
{
    Setup truth, typed;
    Readings readings;
};

/// Trial `seed` of `type` (a one-proton analyte, strong or weak) with readings spaced by `plan`:
/// 25 mL of analyte at 0.02 to 0.15 mol/L, a weak acid's pKa 3.5 to 6, a weak base's conjugate
/// acid's 8.5 to 10, titrant 0.1 mol/L; the concentration typed up to 3 % off, the pKa typed
/// right; the readings from synthetic.h's bench with its default errors, planned around the end
/// point the typed setup expects.
chem::Result<Trial> randomTrial(chem::TitrationType type, VolumePlan plan, std::uint32_t seed);

/// Of `runs` trials: how many had each method's answer and how many of those intervals held the
/// truth (an end point: the true equivalence volume; the fitted concentration: the true one
/// within 1.96 standard errors), and the derivative's and Gran's median 95 % half-widths, mL.
struct Coverage
{
    int runs = 0;
    int derivativeFound = 0, derivativeHeld = 0;
    int granFound = 0, granHeld = 0; ///< each of Gran's lines counts, before and after
    int fitFound = 0, fitHeld = 0;
    double derivativeMedianHalfWidth = 0.0, granMedianHalfWidth = 0.0;
};

/// The coverage of trials `firstSeed` to `firstSeed + runs − 1` of `type` with `plan`.
Coverage measureCoverage(chem::TitrationType type, VolumePlan plan, int runs,
                         std::uint32_t firstSeed = 1);

} // namespace lab
