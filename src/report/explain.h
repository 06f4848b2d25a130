#pragma once
// Why the pH after a volume of titrant is what it is, as a textbook teaches it region by
// region: where on the curve the volume lies, the approximation taught there with the numbers
// put in, its pH beside the model's exact one and, where the two differ by more than
// kMissLimit, which of the approximation's assumptions fails, in a sentence.
//
// The regions: before any titrant ("initial"); a buffer, of which proton when there are several;
// within a small tolerance of an equivalence point; the titrant in excess after the last point
// ("excess", for every type); and for a strong analyte the analyte in excess before its point
// ("strong"). Amounts in the formulas are in mmol and volumes in mL, so a ratio of the two is in
// mol/L. The approximations leave activities out, so a model with activities is refused. The
// command line, the readout and the worksheets all say what this says.

#include "chem/result.h"
#include "report/model.h"

#include <optional>
#include <string>
#include <vector>

namespace report {

enum class Region { Initial, Buffer, Equivalence, Excess, Strong };

/// Why an approximation misses: the analyte too dilute for water's own ions to be left out; too
/// strong an acid (or base) for the formula of a weak one; a neighbouring proton's form the
/// formula leaves out; water's own ions (or the ions a conjugate makes from water) not small;
/// within an equivalence point's tolerance but off its volume, where the pH changes steeply.
enum class MissReason { TooDilute, TooStrong, ProtonsOverlap, WaterIons, OffThePoint };

/// How far the approximation may miss the exact pH before the explanation says why.
inline constexpr double kMissLimit = 0.05;

/// One volume explained.
struct Explanation
{
    double volume = 0; ///< mL of titrant
    Region region = Region::Initial;
    /// In a buffer the proton (1 to n) the titrant takes or gives there; at an equivalence
    /// point its number (1 to n); 0 elsewhere.
    int step = 0;
    int protons = 1;           ///< the analyte's
    std::string regionText;    ///< "buffer region of proton 2"
    std::string approximation; ///< "Henderson–Hasselbalch equation"
    /// The formula with the numbers put in, ending with the approximate pH:
    /// "pH = pKa + log(n(A⁻)/n(HA)) = 4.74 + log(1.25/1.25) = 4.74".
    std::string formula;
    double approximatePH = 0;
    double exactPH = 0; ///< the model's own
    /// Set when the approximation misses by more than kMissLimit, with `why` in a sentence.
    std::optional<MissReason> reason;
    std::string why;

    double difference() const { return approximatePH - exactPH; }
};

/// The explanation of the pH after `volume` mL of titrant; fails for a volume that is not a
/// number from 0 to the curve's end (curveEnd), a model with activities, or a pH the model
/// cannot compute there.
chem::Result<Explanation> explain(const TitrationModel& model, double volume);

/// "initial", "buffer", "equivalence", "excess" or "strong".
const char* regionName(Region region);

/// "too-dilute", "too-strong", "protons-overlap", "water-ions" or "off-the-point".
const char* reasonName(MissReason reason);

/// The explanation as lines of text: the volume and region; the approximation and its formula;
/// the approximate and exact pH with their difference; why it misses, when it does.
std::vector<std::string> explanationLines(const Explanation& e);

/// The explanation as one JSON object on a line, ending with a line feed: {"volume", "region",
/// "proton" (in a buffer of several) or "point" (at one of several equivalence points),
/// "approximation", "formula", "approximatePH", "exactPH", "difference", "reason", "why"}; the
/// last two null unless it misses.
std::string explanationJson(const Explanation& e);

} // namespace report
