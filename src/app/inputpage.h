#pragma once
// The input page: the titration-type choice, the indicator panel and the burette-and-flask
// schematic with the four input boxes. A confirmed box, a type or an indicator chosen goes to the
// document as an edit; the page shows the schematic of the document's outcome.

#include "indicators/catalogue.h"
#include "indicators/schematic.h"
#include "session/document.h"

#include <QPersistentModelIndex>
#include <QWidget>

#include <array>
#include <optional>

class QButtonGroup;
class QComboBox;
class QCompleter;
class QLabel;
class QStandardItemModel;

namespace app {

class ColourStrip;
class InputBox;
class Shape;

class InputPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(InputPage)

public:
    InputPage(QWidget* parent, session::Document& document);

    /// The selected titration type, none before the first choice.
    std::optional<chem::TitrationType> selectedType() const;
    /// The chooser's position: 0 for "<No indicator>", k for catalogue slot k.
    int indicatorPosition() const;

    /// The schematic refresh: hands the type, the boxes and the indicator to the document and
    /// shows the schematic it computes. Returns that schematic.
    indicators::SchematicState ActualizarColor_pH();
    /// The four boxes as typed.
    indicators::BoxTexts boxTexts() const;
    /// The Ka/Kb box as typed.
    QString constantText() const;
    /// The verdict label's caption, as the last refresh that showed it left it.
    QString verdictCaption() const;

    /// The document's schematic.
    const indicators::SchematicState& schematic() const { return document_.outcome().schematic; }

    /// Where the keyboard starts on this page: the chosen type, or the first.
    QWidget* firstControl() const;

    /// Fills the indicator chooser and selects "<No indicator>".
    void RellenarComboIND();

    /// Types the given inputs as a user would: the type chosen, the boxes filled, the indicator
    /// picked, and the schematic refreshed. Used when the command line names a titration.
    void preset(std::optional<chem::TitrationType> type, const indicators::BoxTexts& boxes,
                int indicatorPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    /// A schematic refresh has run and its result is shown.
    void refreshed();
    /// The chosen indicator's name for the chart page, "" for none.
    void indicatorCaptionChanged(const QString& caption);

private:
    void buildTypePanel();
    void buildIndicatorFrame();
    void buildSchematic();
    /// The four boxes with their frames, captions and units, on the schematic `f`.
    void buildBoxes(QWidget* f);
    void buildSubstanceList();
    void Option1_Click(int index);
    void ComboIND_Click();
    void offerSubstances(const QString& typed);
    QLabel* label5(int index) const { return label5_[static_cast<std::size_t>(index)]; }
    InputBox* boxFor(report::Input input) const;

    session::Document& document_;
    const indicators::IndicatorCatalogue& catalogue_;
    /// The verdict's caption as last shown; the label's own until a verdict is shown.
    QString verdictCaption_ = QStringLiteral("Appropiate");

    QButtonGroup* option1_ = nullptr;
    /// The type a toggle has just chosen, until its click (if any) has been seen; else -1.
    int toggledType_ = -1;
    QWidget* frameIND_ = nullptr;
    QWidget* frameESQUEMA_ = nullptr;
    QComboBox* comboIND_ = nullptr;
    ColourStrip* picture2_ = nullptr;
    std::array<Shape*, 9> shape4_{};
    std::array<QLabel*, 15> label5_{};
    std::array<QLabel*, 13> label3_{};
    InputBox* txCBur_ = nullptr;
    InputBox* txVErl_ = nullptr;
    InputBox* txCErl_ = nullptr;
    InputBox* txKaKb_ = nullptr;
    /// The library's substances of the chosen kind that match what is typed in TxKaKb.
    QStandardItemModel* substances_ = nullptr;
    QCompleter* substanceList_ = nullptr;
    /// The entry whose name starts with the typed text, where the list opens; the first arrow
    /// key highlights it.
    QPersistentModelIndex offered_;
    QLabel* lblpHBur_ = nullptr;
    QLabel* lblpHErl_ = nullptr;
    Shape* shErlem_ = nullptr;
};

} // namespace app
