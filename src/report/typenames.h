#pragma once
// What the program calls each titration type, one record per type, so that a new kind of
// analyte adds a record rather than a fourth parallel array.

#include "chem/titration.h"

#include <array>

namespace report {

struct TypeNames
{
    const char* analyte;     ///< "weak acid"
    const char* titrant;     ///< "strong base"
    const char* title;       ///< "Titration of weak acid with strong base"
    const char* commandName; ///< "weak-acid", as the command line takes it
};

/// The names of `type`.
const TypeNames& typeNames(chem::TitrationType type);

/// Every type, in the order of the type buttons.
inline constexpr std::array<chem::TitrationType, 4> kTitrationTypes = {
    chem::TitrationType::StrongAcidStrongBase, chem::TitrationType::WeakAcidStrongBase,
    chem::TitrationType::StrongBaseStrongAcid, chem::TitrationType::WeakBaseStrongAcid};

} // namespace report
