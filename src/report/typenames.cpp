#include "report/typenames.h"

namespace report {

const TypeNames& typeNames(chem::TitrationType type)
{
    using chem::TitrationType;
    static const TypeNames strongAcid{"strong acid", "strong base",
                                      "Titration of strong acid with strong base", "strong-acid"};
    static const TypeNames weakAcid{"weak acid", "strong base",
                                    "Titration of weak acid with strong base", "weak-acid"};
    static const TypeNames strongBase{"strong base", "strong acid",
                                      "Titration of strong base with strong acid", "strong-base"};
    static const TypeNames weakBase{"weak base", "strong acid",
                                    "Titration of weak base with strong acid", "weak-base"};
    switch (type) {
    case TitrationType::StrongAcidStrongBase:
        return strongAcid;
    case TitrationType::WeakAcidStrongBase:
        return weakAcid;
    case TitrationType::StrongBaseStrongAcid:
        return strongBase;
    case TitrationType::WeakBaseStrongAcid:
        return weakBase;
    }
    return strongAcid;
}

} // namespace report
