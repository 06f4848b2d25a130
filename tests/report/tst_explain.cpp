// Why each pH is what it is: the textbook's approximation in every region against published worked
// examples, and, where an approximation misses, the reason given.
#include "report/constanttext.h"
#include "report/explain.h"

#include <QTest>

#include <cmath>

using namespace report;
using enum chem::TitrationType;

Q_DECLARE_METATYPE(chem::TitrationType)
Q_DECLARE_METATYPE(Region)
Q_DECLARE_METATYPE(std::optional<MissReason>)

/// The titration of `Va` mL of analyte with its constant as the constant box takes it: a number
/// (Ka or Kb) or "pKa …".
static std::optional<TitrationModel> model(chem::TitrationType type, double Ca, double Ct,
                                           double Va, const QString& constant = "")
{
    chem::TitrationInputs in{Ct, Ca, Va, chem::kNotGiven};
    std::optional<AnalyteConstants> constants;
    if (!constant.isEmpty() && constant.front().isLetter())
        constants = resolveConstantText(constant.toStdString(), type == WeakBaseStrongAcid).analyte;
    else if (!constant.isEmpty())
        in.dissociationConstant = constant.toDouble();
    return TitrationModel::make(type, in, constants);
}

class TestExplain : public QObject
{
    Q_OBJECT

private slots:
    void regions_data();
    void regions();
    void refusals();
};

void TestExplain::regions_data()
{
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<double>("analyte"); // mol/L, 25 mL of it unless a row says
    QTest::addColumn<double>("titrant"); // mol/L
    QTest::addColumn<QString>("constant");
    QTest::addColumn<double>("volume"); // mL
    QTest::addColumn<Region>("region");
    QTest::addColumn<int>("step");
    QTest::addColumn<double>("approximate"); // to the digits given
    QTest::addColumn<int>("digits");
    QTest::addColumn<std::optional<MissReason>>("reason"); // none: the exact pH within 0.05
    using enum Region;
    using enum MissReason;
    const std::optional<MissReason> holds;
    // clang-format off
    // OpenStax, Chemistry 2e, section 14.7 "Acid-Base Titrations", the worked examples of 25.00 mL
    // of 0.100 M HCl and of 0.100 M CH3CO2H (Ka 1.8E-5) titrated with 0.100 M NaOH
    // (https://openstax.org/books/chemistry-2e/pages/14-7-acid-base-titrations); the rows at 35.0
    // and 50.0 mL from the same titrations' Table 14.4 in OpenStax, Chemistry: Atoms First
    // (http://cnx.org/content/col12012/1.7, p. 782).
    QTest::newRow("HCl, 0 mL") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 0.0 << Initial << 0 << 1.000 << 3 << holds;
    QTest::newRow("HCl, 12.50 mL") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 12.5 << Strong << 0 << 1.477 << 3 << holds;
    QTest::newRow("HCl, 25.00 mL") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 25.0 << Equivalence << 1 << 7.00 << 2 << holds;
    QTest::newRow("HCl, 37.50 mL") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 37.5 << Excess << 0 << 12.30 << 2 << holds;
    QTest::newRow("HCl, 50.0 mL") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 50.0 << Excess << 0 << 12.52 << 2 << holds;
    QTest::newRow("CH3CO2H, 0 mL") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 0.0 << Initial << 0 << 2.87 << 2 << holds;
    QTest::newRow("CH3CO2H, 12.50 mL") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 12.5 << Buffer << 1 << 4.74 << 2 << holds;
    QTest::newRow("CH3CO2H, 25.00 mL") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 25.0 << Equivalence << 1 << 8.72 << 2 << holds;
    QTest::newRow("CH3CO2H, 35.0 mL") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 35.0 << Excess << 0 << 12.22 << 2 << holds;
    QTest::newRow("CH3CO2H, 37.50 mL") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 37.5 << Excess << 0 << 12.30 << 2 << holds;
    // Within 0.5 % of a point it is the point, where the pH changes steeply.
    QTest::newRow("CH3CO2H, 25.1 mL: off the point") << WeakAcidStrongBase << 0.1 << 0.1 << "1.8E-5" << 25.1 << Equivalence << 1 << 8.72 << 2 << std::optional(OffThePoint);
    QTest::newRow("HCl, 24.99 mL: off the point") << StrongAcidStrongBase << 0.1 << 0.1 << "" << 24.99 << Equivalence << 1 << 7.00 << 2 << std::optional(OffThePoint);
    QTest::newRow("H3PO4, 25.1 mL: off point 1") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 25.1 << Equivalence << 1 << 4.67 << 2 << std::optional(OffThePoint);
    // The mirror for bases, worked by hand: NH3 (Kb 1.8E-5) and NaOH with 0.100 M HCl.
    QTest::newRow("NH3, 0 mL") << WeakBaseStrongAcid << 0.1 << 0.1 << "1.8E-5" << 0.0 << Initial << 0 << 11.13 << 2 << holds;
    QTest::newRow("NH3, 12.5 mL") << WeakBaseStrongAcid << 0.1 << 0.1 << "1.8E-5" << 12.5 << Buffer << 1 << 9.26 << 2 << holds;
    QTest::newRow("NH3, 25 mL") << WeakBaseStrongAcid << 0.1 << 0.1 << "1.8E-5" << 25.0 << Equivalence << 1 << 5.28 << 2 << holds;
    QTest::newRow("NH3, 37.5 mL") << WeakBaseStrongAcid << 0.1 << 0.1 << "1.8E-5" << 37.5 << Excess << 0 << 1.70 << 2 << holds;
    QTest::newRow("NaOH, 12.5 mL") << StrongBaseStrongAcid << 0.1 << 0.1 << "" << 12.5 << Strong << 0 << 12.52 << 2 << holds;
    // Several protons, worked by hand: the amphiprotic points ½(pKa1 + pKa2), each proton's
    // buffer, the last point as the conjugate alone.
    QTest::newRow("H3PO4, point 1") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 25.0 << Equivalence << 1 << 4.67 << 2 << holds;
    QTest::newRow("H3PO4, proton 2") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 37.5 << Buffer << 2 << 7.20 << 2 << holds;
    QTest::newRow("Na2CO3, point 1") << WeakBaseStrongAcid << 0.1 << 0.1 << "pKa 6.35 10.33" << 25.0 << Equivalence << 1 << 8.34 << 2 << holds;
    QTest::newRow("Na2CO3, proton 2") << WeakBaseStrongAcid << 0.1 << 0.1 << "pKa 6.35 10.33" << 37.5 << Buffer << 2 << 6.35 << 2 << holds;
    QTest::newRow("Na2CO3, point 2") << WeakBaseStrongAcid << 0.1 << 0.1 << "pKa 6.35 10.33" << 50.0 << Equivalence << 2 << 3.91 << 2 << holds;
    // Where the approximation misses, and why.
    QTest::newRow("1E-8 M HCl: too dilute") << StrongAcidStrongBase << 1e-8 << 1e-8 << "" << 0.0 << Initial << 0 << 8.00 << 2 << std::optional(TooDilute);
    QTest::newRow("1E-6 M HCl near its point") << StrongAcidStrongBase << 1e-6 << 1e-6 << "" << 24.0 << Strong << 0 << 7.69 << 2 << std::optional(TooDilute);
    QTest::newRow("Ka 1E-2 at 0.001 M: too strong") << WeakAcidStrongBase << 0.001 << 0.001 << "1E-2" << 0.0 << Initial << 0 << 2.50 << 2 << std::optional(TooStrong);
    QTest::newRow("Ka 1E-2, its buffer") << WeakAcidStrongBase << 0.001 << 0.001 << "1E-2" << 12.5 << Buffer << 1 << 2.00 << 2 << std::optional(TooStrong);
    QTest::newRow("citric acid, 24 mL: overlap") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 3.13 4.76 6.40" << 24.0 << Buffer << 1 << 4.51 << 2 << std::optional(ProtonsOverlap);
    QTest::newRow("citric acid, 27 mL: overlap") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 3.13 4.76 6.40" << 27.0 << Buffer << 2 << 3.70 << 2 << std::optional(ProtonsOverlap);
    QTest::newRow("Ka 1E-3 at 0.001 M, its point") << WeakAcidStrongBase << 0.001 << 0.001 << "1E-3" << 25.0 << Equivalence << 1 << 6.85 << 2 << std::optional(WaterIons);
    QTest::newRow("H3PO4, proton 3") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 62.5 << Buffer << 3 << 12.375 << 3 << std::optional(WaterIons);
    QTest::newRow("H3PO4, point 2") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 50.0 << Equivalence << 2 << 9.79 << 2 << std::optional(WaterIons);
    QTest::newRow("H3PO4, point 3: too strong a base") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 75.0 << Equivalence << 3 << 12.39 << 2 << std::optional(TooStrong);
    QTest::newRow("H3PO4, past point 3") << WeakAcidStrongBase << 0.1 << 0.1 << "pKa 2.148 7.198 12.375" << 80.0 << Excess << 0 << 11.68 << 2 << std::optional(WaterIons);
    // clang-format on
}

void TestExplain::regions()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(double, analyte);
    QFETCH(double, titrant);
    QFETCH(QString, constant);
    QFETCH(double, volume);
    QFETCH(Region, region);
    QFETCH(int, step);
    QFETCH(double, approximate);
    QFETCH(int, digits);
    QFETCH(std::optional<MissReason>, reason);
    const std::optional<TitrationModel> m = model(type, analyte, titrant, 25, constant);
    QVERIFY(m);
    const chem::Result<Explanation> e = explain(*m, volume);
    QVERIFY2(e, e.failure.c_str());
    QCOMPARE(e.value->region, region);
    QCOMPARE(e.value->step, step);
    const QString said = QString::fromStdString(e.value->formula + "\n" + e.value->why);
    QVERIFY2(std::fabs(e.value->approximatePH - approximate) <= 0.5 * std::pow(10.0, -digits),
             qPrintable(said));
    // The formula ends with the pH it gives; the exact pH is the model's.
    QVERIFY(std::fabs(said.section('\n', 0, 0).section("= ", -1).toDouble() - approximate) <=
            0.0051);
    QCOMPARE(e.value->exactPH, m->pH(volume).value);
    QCOMPARE(e.value->reason, reason);
    QCOMPARE(std::fabs(e.value->difference()) > kMissLimit, reason.has_value());
    QCOMPARE(e.value->why.empty(), !reason);
}

void TestExplain::refusals()
{
    const std::optional<TitrationModel> acid = model(WeakAcidStrongBase, 0.1, 0.1, 25, "1.8E-5");
    QCOMPARE(explain(*acid, -0.5).failure, std::string("the volume -.5 mL is below 0"));
    QCOMPARE(explain(*acid, 50.5).failure,
             std::string("the volume 50.5 mL is beyond the curve, which ends at 50 mL"));
    const auto davies = TitrationModel::make(WeakAcidStrongBase, {0.1, 0.1, 25, 1.8E-5}, {},
                                             chem::ActivityModel::Davies);
    QCOMPARE(explain(*davies, 10).failure,
             std::string("the textbook's approximations leave activities out"));
}

QTEST_APPLESS_MAIN(TestExplain)
#include "tst_explain.moc"
