#include "report/constanttext.h"

#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/substances.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// The words of `text` between blanks and semicolons.
std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == ';' || c == '\t' || c == '\r' || c == '\n') {
            if (!word.empty())
                out.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        out.push_back(word);
    return out;
}

} // namespace

bool readsAsNumber(std::string_view text)
{
    const std::string_view t = trimmed(text);
    return t.empty() || !isLetter(t.front());
}

ConstantText readConstantText(std::string_view text, bool base)
{
    ConstantText r;
    if (readsAsNumber(text))
        return r; // a number, or nothing: the box's own reading
    const std::string t(trimmed(text));
    const std::vector<std::string> w = words(t);
    const std::string prefix = lowerCase(w.front());
    const bool logarithm = prefix == "pka" || prefix == "pkb";
    const bool ofBase = prefix == "pkb" || prefix == "kb";
    if (!logarithm && prefix != "ka" && prefix != "kb") {
        r.form = ConstantText::Form::Name;
        r.name = oneLine(t); // a pasted line break must not split a refusal's one line
        return r;
    }
    r.form = ConstantText::Form::Constants;
    const std::size_t count = w.size() - 1;
    if (count == 0 || count > std::size_t(chem::kMaxProtons)) {
        r.refusal = w.front() + " needs 1 to " + std::to_string(chem::kMaxProtons) +
                    " values, not " + std::to_string(count);
        return r;
    }
    if (ofBase && !base) {
        r.refusal = w.front() + " belongs to a base; give an acid's pKa or Ka";
        return r;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        const std::optional<double> x = ReadWholeNumber(w[i]);
        if (!x || (!logarithm && !(*x > 0))) {
            r.refusal = "'" + w[i] + "' is not " + (logarithm ? "a number" : "a number above 0");
            return r;
        }
        double pKa = logarithm ? *x : -std::log10(*x);
        if (ofBase)
            pKa = 14 - pKa; // of the conjugate acid, Kw = 1E-14
        if (!(pKa >= chem::kMinPKa && pKa <= chem::kMaxPKa)) {
            r.refusal = "'" + w[i] + "' gives pKa " + NumberText(pKa) + ", outside " +
                        NumberText(chem::kMinPKa) + " to " + NumberText(chem::kMaxPKa);
            return r;
        }
        r.pKa.push_back(pKa);
        // One value typed as the box's own constant stays exactly as typed.
        if (logarithm)
            r.constant = oneProtonConstant(pKa, base);
        else
            r.constant = ofBase == base ? *x : chem::Kw / *x;
    }
    std::sort(r.pKa.begin(), r.pKa.end());
    if (count != 1)
        r.constant = 0.0;
    return r;
}

double oneProtonConstant(double pKa, bool base)
{
    return base ? std::pow(10.0, pKa - 14.0) : std::pow(10.0, -pKa);
}

ResolvedConstant resolveConstantText(std::string_view text, bool base)
{
    const ConstantText read = readConstantText(text, base);
    ResolvedConstant r;
    r.refusal = read.refusal;
    if (read.form == ConstantText::Form::Number || !r.refusal.empty())
        return r;
    if (read.form == ConstantText::Form::Constants) {
        r.analyte = AnalyteConstants{read.pKa, {}, {}};
        r.constant = read.constant;
        return r;
    }
    const Substance* s = findSubstance(read.name);
    if (!s) {
        r.refusal = "'" + read.name + "' is not in the substance library";
        const std::vector<std::string> near = nearestNames(read.name, base, 3);
        for (std::size_t i = 0; i < near.size(); ++i)
            r.refusal += (i == 0 ? " (nearest: " : ", ") + near[i];
        if (!near.empty())
            r.refusal += ')';
        return r;
    }
    if (s->base != base) {
        r.refusal = s->name + (s->base ? " is a base, titrated with an acid"
                                       : " is an acid, titrated with a base");
        return r;
    }
    r.analyte = AnalyteConstants{s->pKa, s->name, s->formula, s->charge};
    if (s->pKa.size() == 1)
        r.constant = oneProtonConstant(s->pKa.front(), base);
    return r;
}

} // namespace report
