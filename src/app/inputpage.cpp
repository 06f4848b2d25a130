#include "app/inputpage.h"

#include "app/colourstrip.h"
#include "app/flasklines.h"
#include "app/inputbox.h"
#include "app/shape.h"
#include "app/svgpicture.h"
#include "app/uihelpers.h"
#include "indicators/indicatorpanel.h"
#include "report/captions.h"
#include "report/constanttext.h"
#include "report/numbertext.h"
#include "report/substances.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

const QColor kPanel(242, 243, 244);
const QColor kPanelBorder(192, 192, 192);
const QColor kBoxBorder(180, 194, 254);
const QColor kGrey(128, 128, 128);
const QColor kDarkGrey(96, 96, 96);

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

const char* const kTypeCaptions[] = {
    "Titrate strong acid with strong base",
    "Titrate weak acid with strong base",
    "Titrate strong base with strong acid",
    "Titrate weak base with strong acid",
};

// Strip geometry inside the indicator frame.
constexpr int kStripLeft = 8;
constexpr int kStripTop = 120;
constexpr int kStripWidth = 402;
constexpr int kStripHeight = 24;

// The verdict label's own width; a longer caption widens it.
constexpr int kVerdictWidth = 166;

// The completion items keep the substance's name here: a choice types the name, not the item.
constexpr int kNameRole = Qt::UserRole + 1;

// Letters start a name; numbers and "pKa 2.1", "Kb 1E-5" are constants, not names.
bool typingAName(const QString& text)
{
    static const QRegularExpression constants(QStringLiteral("^p?k[ab]\\s"),
                                              QRegularExpression::CaseInsensitiveOption);
    // A name only where the box would read one: a text it reads as a number offers none.
    return !text.isEmpty() && !text.front().isSpace() &&
           !report::readsAsNumber(text.toStdString()) && !constants.match(text).hasMatch();
}

// "phosphoric acid — H3PO4 — pKa 2.15, 7.2, 12.38"
QString completionText(const report::Substance& substance)
{
    QStringList pKa;
    for (double value : substance.pKa)
        pKa << QString::fromStdString(report::NumberText(report::Round(value, 2)));
    return QString::fromStdString(substance.name) + QStringLiteral(" \u2014 ") +
           QString::fromStdString(substance.formula) + QStringLiteral(" \u2014 pKa ") +
           pKa.join(QStringLiteral(", "));
}

// The library's acids (or bases) whose name, a synonym or formula holds the typed text: those
// that start with it first, each group in the library's order.
std::vector<const report::Substance*> matchingSubstances(const QString& typed, bool base)
{
    std::vector<const report::Substance*> starting, containing;
    for (const report::Substance& substance : report::substanceLibrary()) {
        if (substance.base != base)
            continue;
        bool starts = false, contains = false;
        const auto compare = [&](const std::string& key) {
            const QString text = QString::fromStdString(key);
            starts = starts || text.startsWith(typed, Qt::CaseInsensitive);
            contains = contains || text.contains(typed, Qt::CaseInsensitive);
        };
        compare(substance.name);
        for (const std::string& synonym : substance.synonyms)
            compare(synonym);
        compare(substance.formula);
        if (starts)
            starting.push_back(&substance);
        else if (contains)
            containing.push_back(&substance);
    }
    starting.insert(starting.end(), containing.begin(), containing.end());
    return starting;
}

} // namespace

InputPage::InputPage(QWidget* parent, session::Document& document)
    : QWidget(parent), document_(document), catalogue_(document.catalogue())
{
    setObjectName(QStringLiteral("FrameDAT"));
    resize(754, 462);
    setBackground(this, palette().color(QPalette::Base));
    setFont(arial(15));

    buildTypePanel();
    buildIndicatorFrame();
    buildSchematic();
    label5(10)->raise(); // over the schematic's margin when a long caption reaches it
}

void InputPage::buildTypePanel()
{
    shape4_[1] = new Shape(this, indexed("Shape4", 1), {2, 2, 425, 225}, kPanel, kPanelBorder);
    label3_[12] = makeLabel(this, indexed("Label3", 12), QStringLiteral("Choose a titration type:"),
                            {37, 32, 257, 18}, arial(15));

    option1_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(kTypeCaptions[i]), this);
        option->setObjectName(indexed("Option1", i));
        option->setGeometry(55, 68 + 29 * i, 287, 21);
        option->setFont(arial(15));
        setBackground(option, kPanel);
        option1_->addButton(option, i);
    }
    // A choice runs once: a click that chose a type has already run it through the toggle
    // (which arrow keys and screen readers make without a click); a click on the type already
    // chosen runs it as a click.
    connect(option1_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (!checked)
            return;
        toggledType_ = index;
        QTimer::singleShot(0, this, [this] { toggledType_ = -1; });
        Option1_Click(index);
    });
    connect(option1_, &QButtonGroup::idClicked, this, [this](int index) {
        if (index != toggledType_)
            Option1_Click(index);
        toggledType_ = -1;
    });
}

void InputPage::buildIndicatorFrame()
{
    shape4_[0] = new Shape(this, indexed("Shape4", 0), {2, 226, 425, 228}, kPanel, kPanelBorder);
    frameIND_ = new QWidget(this);
    frameIND_->setObjectName(QStringLiteral("FrameIND"));
    frameIND_->setGeometry(6, 237, 418, 214);
    setBackground(frameIND_, kPanel);
    frameIND_->hide();

    QWidget* f = frameIND_;
    label3_[0] = makeLabel(f, indexed("Label3", 0), QStringLiteral("Choose an indicator"),
                           {6, 8, 229, 20}, arial(15));
    comboIND_ = new QComboBox(f);
    comboIND_->setObjectName(QStringLiteral("ComboIND"));
    // A chooser's name is its choice; what it chooses is its description.
    comboIND_->setAccessibleDescription(QStringLiteral("Indicator"));
    comboIND_->setGeometry(6, 32, 229, 24);
    comboIND_->setFont(arial(15));
    comboIND_->setMaxVisibleItems(16);
    connect(comboIND_, &QComboBox::currentIndexChanged, this, &InputPage::ComboIND_Click);

    // On the page, not the frame: a caption naming equivalence points may run past the frame.
    label5_[10] = makeLabel(this, indexed("Label5", 10), verdictCaption_,
                            {frameIND_->pos() + QPoint(246, 35), QSize(kVerdictWidth, 20)},
                            arial(15), QColor(0, 128, 0));
    label5_[10]->hide();
    label5_[13] = makeLabel(f, indexed("Label5", 13), QStringLiteral("(F) Fluorescent indicator"),
                            {246, 58, 170, 18}, arial(13), kDarkGrey);
    label5_[13]->hide();

    label5_[0] = makeLabel(f, indexed("Label5", 0), QString(), {8, 72, 200, 20}, arial(15));
    label5_[1] = makeLabel(f, indexed("Label5", 1), QString(), {210, 72, 200, 20}, arial(15));
    label5_[1]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label5_[2] = makeLabel(f, indexed("Label5", 2), QString(), {0, 97, 0, 0}, arial(13));
    label5_[3] = makeLabel(f, indexed("Label5", 3), QString(), {0, 97, 0, 0}, arial(13));

    // The markers stand under the strip and show as small ticks above and below it.
    for (int i : {7, 8}) {
        shape4_[static_cast<std::size_t>(i)] =
            new Shape(f, indexed("Shape4", i), {0, kStripTop - 6, 3, kStripHeight + 12}, kGrey);
        shape4_[static_cast<std::size_t>(i)]->hide();
    }
    picture2_ = new ColourStrip(f, QStringLiteral("Picture2"),
                                {kStripLeft, kStripTop, kStripWidth, kStripHeight});
    picture2_->setAccessibleName(QStringLiteral("pH colour strip"));

    // Scale under the strip.
    const int scaleTop = kStripTop + kStripHeight + 6;
    label5_[5] = makeLabel(f, indexed("Label5", 5), QStringLiteral("0"),
                           {kStripLeft - 4, scaleTop, 20, 18}, arial(13));
    label5_[6] = makeLabel(f, indexed("Label5", 6), QStringLiteral("7"),
                           {kStripLeft + kStripWidth / 2 - 10, scaleTop, 20, 18}, arial(13));
    label5_[6]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label5_[7] = makeLabel(f, indexed("Label5", 7), QStringLiteral("14"),
                           {kStripLeft + kStripWidth - 16, scaleTop, 24, 18}, arial(13));
    label5_[7]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label5_[4] = makeLabel(f, indexed("Label5", 4), QStringLiteral("pH"),
                           {kStripLeft + kStripWidth / 2 - 15, scaleTop + 17, 30, 18}, arial(13));
    label5_[4]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label5_[14] =
        makeLabel(f, indexed("Label5", 14), QStringLiteral("The shown colour is approximate"),
                  {8, 192, 300, 16}, arial(12), kDarkGrey);
}

void InputPage::buildSchematic()
{
    shape4_[2] = new Shape(this, indexed("Shape4", 2), {426, 2, 323, 452}, Qt::white, kPanelBorder);
    frameESQUEMA_ = new QWidget(this);
    frameESQUEMA_->setObjectName(QStringLiteral("FrameESQUEMA"));
    frameESQUEMA_->setGeometry(436, 7, 311, 439);
    setBackground(frameESQUEMA_, Qt::white);
    QWidget* f = frameESQUEMA_;

    // The burette over the empty flask; the liquid and the glass lines are drawn over it.
    new SvgPicture(f, QStringLiteral("Image1"), QStringLiteral(":/art/burette-flask.svg"),
                   {17, 21, 64, 300});
    shErlem_ = new Shape(f, QStringLiteral("ShErlem"), {19, 287, 61, 33}, Qt::white, QColor(), 7);
    new FlaskLines(f);

    label5_[9] = makeLabel(f, indexed("Label5", 9), QString(), {98, 9, 213, 18}, arial(15));
    label5_[8] = makeLabel(f, indexed("Label5", 8), QString(), {98, 218, 178, 18}, arial(15));

    buildBoxes(f);
    buildSubstanceList();

    lblpHBur_ = makeLabel(f, QStringLiteral("LblpHBur"), QStringLiteral("pH=??"), {99, 66, 160, 20},
                          arial(15));
    lblpHErl_ = makeLabel(f, QStringLiteral("LblpHErl"), QStringLiteral("pH=??"), {0, 324, 98, 20},
                          arial(15));
    lblpHErl_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    label3_[9] = makeLabel(
        f, indexed("Label3", 9),
        QStringLiteral("In orden to enter a scientific notation value we have enter "
                       "first its mantissa followed letter E and the ten exponent. Example:"),
        {10, 354, 274, 49}, arial(13), kGrey);
    label3_[9]->setWordWrap(true);
    label3_[10] = makeLabel(f, indexed("Label3", 10),
                            QStringLiteral("To enter 2.7\u00b710     we write   2.7E-3"),
                            {11, 408, 287, 20}, arial(13), kGrey);
    label3_[11] = makeLabel(f, indexed("Label3", 11), QStringLiteral("-3"), {99, 404, 19, 20},
                            arial(11), kGrey);

    // Until a type is chosen only the drawing shows.
    for (QWidget* w : std::initializer_list<QWidget*>{
             label5_[8], label5_[9], label3_[2], label3_[3], label3_[4],  label3_[5],
             label3_[6], label3_[7], label3_[8], label3_[9], label3_[10], label3_[11],
             txCBur_,    txCErl_,    txVErl_,    txKaKb_,    shape4_[3],  shape4_[4],
             shape4_[5], shape4_[6], lblpHBur_,  lblpHErl_})
        w->hide();
}

void InputPage::buildBoxes(QWidget* f)
{
    struct Row
    {
        InputBox** box;
        report::Input input;
        int top;
        int shape;
        int caption;
        QPoint captionAt;
        const char* captionText;
        int unit;
        QPoint unitAt;
        const char* unitText;
    };
    const Row rows[] = {
        {&txCBur_, report::Input::TxCBur, 37, 3, 2, {99, 37}, "Molarity", 6, {264, 37}, "mol/L"},
        {&txVErl_, report::Input::TxVErl, 248, 4, 3, {98, 249}, "Volume", 8, {266, 247}, "mL"},
        {&txCErl_, report::Input::TxCErl, 277, 5, 4, {98, 278}, "Molarity", 7, {266, 279}, "mol/L"},
        {&txKaKb_, report::Input::TxKaKb, 307, 6, 5, {141, 309}, "Ka", -1, {}, nullptr},
    };
    for (const Row& row : rows) {
        shape4_[static_cast<std::size_t>(row.shape)] = new Shape(
            f, indexed("Shape4", row.shape), {173, row.top - 2, 83, 26}, Qt::white, kBoxBorder);
        *row.box = new InputBox(f, QString::fromLatin1(report::describe(row.input).boxName),
                                {175, row.top, 79, 22});
        connect(*row.box, &InputBox::confirmed, this, [this] { ActualizarColor_pH(); });
        label3_[static_cast<std::size_t>(row.caption)] =
            makeLabel(f, indexed("Label3", row.caption), QString::fromLatin1(row.captionText),
                      {row.captionAt, QSize()}, arial(15));
        if (row.unit >= 0)
            label3_[static_cast<std::size_t>(row.unit)] =
                makeLabel(f, indexed("Label3", row.unit), QString::fromLatin1(row.unitText),
                          {row.unitAt, QSize()}, arial(15));
    }
    setTabOrder(txCBur_, txVErl_);
    setTabOrder(txVErl_, txCErl_);
    setTabOrder(txCErl_, txKaKb_);
    // What a screen reader calls each box: its quantity and unit.
    txCBur_->setAccessibleName(QStringLiteral("Titrant molarity, mol/L"));
    txVErl_->setAccessibleName(QStringLiteral("Analyte volume, mL"));
    txCErl_->setAccessibleName(QStringLiteral("Analyte molarity, mol/L"));
    txKaKb_->setAccessibleName(QStringLiteral("Acidity constant Ka"));
    frameESQUEMA_->setAccessibleName(QStringLiteral("Burette and flask"));
}

void InputPage::buildSubstanceList()
{
    // Names from the library offered while a name is typed in the constant box. The list is
    // filled here, not filtered by the completer, so synonyms and formulas match too.
    substances_ = new QStandardItemModel(this);
    substanceList_ = new QCompleter(substances_, this);
    substanceList_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    substanceList_->setCompletionRole(kNameRole);
    substanceList_->setCaseSensitivity(Qt::CaseInsensitive);
    substanceList_->setWidget(txKaKb_);
    substanceList_->popup()->setFont(arial(15));
    substanceList_->popup()->setAccessibleName(QStringLiteral("Substances in the library"));
    // Ahead of the completer's own filter (the last installed runs first): Esc and a click
    // elsewhere keep their meaning in the window.
    substanceList_->popup()->installEventFilter(this);
    connect(txKaKb_, &QLineEdit::textEdited, this, &InputPage::offerSubstances);
    connect(substanceList_, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& name) {
                txKaKb_->setText(name);
                txKaKb_->home(false); // a name longer than the box shows its start
                ActualizarColor_pH();
            });
}

std::optional<chem::TitrationType> InputPage::selectedType() const
{
    return chem::titrationTypeFromIndex(option1_->checkedId());
}

int InputPage::indicatorPosition() const
{
    return comboIND_->currentIndex();
}

QString InputPage::constantText() const
{
    return txKaKb_->text();
}

QString InputPage::verdictCaption() const
{
    return verdictCaption_;
}

void InputPage::Option1_Click(int index)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             label5_[8], label5_[9], label3_[2], label3_[3],  label3_[4],  label3_[6],
             label3_[7], label3_[8], label3_[9], label3_[10], label3_[11], txCBur_,
             txCErl_,    txVErl_,    shape4_[3], shape4_[4],  shape4_[5],  lblpHBur_,
             lblpHErl_,  frameIND_,  label3_[5], shape4_[6],  txKaKb_})
        w->show();

    struct Captions
    {
        const char* analyte;
        const char* titrant;
        const char* constant; // nullptr: the constant row is hidden
    };
    static const Captions kCaptions[] = {
        {"Strong acid (analyte)", "Strong base (titrant)", nullptr},
        {"Weak acid (analyte)", "Strong base (titrant)", "Ka"},
        {"Strong base (analyte)", "Strong acid (titrant)", nullptr},
        {"Weak base (analyte)", "Strong acid (titrant)", "Kb"},
    };
    const Captions& c = kCaptions[index];
    label5_[8]->setText(QString::fromLatin1(c.analyte));
    label5_[9]->setText(QString::fromLatin1(c.titrant));
    if (c.constant) {
        txKaKb_->setAccessibleName(index == 1 ? QStringLiteral("Acidity constant Ka")
                                              : QStringLiteral("Basicity constant Kb"));
        label3_[5]->setText(QString::fromLatin1(c.constant));
        label3_[5]->adjustSize();
    } else {
        label3_[5]->hide();
        shape4_[6]->hide();
        txKaKb_->hide();
    }
    ActualizarColor_pH();
}

void InputPage::RellenarComboIND()
{
    {
        const QSignalBlocker blocker(comboIND_);
        comboIND_->clear();
        comboIND_->addItem(QStringLiteral("<No indicator>"));
        for (int k = 1; k <= catalogue_.indicatorCount; ++k)
            comboIND_->addItem(
                QString::fromStdString(catalogue_.table[static_cast<std::size_t>(k)].name));
        comboIND_->setCurrentIndex(0);
    }
    // Selecting the first entry is a selection like any other.
    ComboIND_Click();
}

QWidget* InputPage::firstControl() const
{
    return option1_->checkedButton() ? option1_->checkedButton() : option1_->button(0);
}

void InputPage::preset(std::optional<chem::TitrationType> type, const indicators::BoxTexts& boxes,
                       int indicatorPosition)
{
    if (type)
        option1_->button(static_cast<int>(*type))->click();
    for (const report::InputDescription& d : report::kInputs) {
        InputBox* box = boxFor(d.box);
        box->setText(QString::fromStdString(boxes.*d.text));
        box->home(false);
    }
    comboIND_->setCurrentIndex(indicatorPosition); // refreshes, as a choice does
    ActualizarColor_pH();
}

void InputPage::ComboIND_Click()
{
    label5_[13]->hide();
    const int k = indicatorPosition();
    const indicators::IndicatorPanel panel = indicators::indicatorPanelFor(catalogue_, k);

    picture2_->setAccessibleDescription(
        QString::fromStdString(indicators::stripDescription(k, catalogue_)));
    label5_[0]->setText(QString::fromStdString(panel.acidCaption));
    label5_[1]->setText(QString::fromStdString(panel.basicCaption));
    label5_[2]->setText(QString::fromStdString(panel.lowText));
    label5_[3]->setText(QString::fromStdString(panel.highText));
    emit indicatorCaptionChanged(QString::fromStdString(panel.chartCaption));
    if (!panel.indicatorChosen) {
        shape4_[7]->hide();
        shape4_[8]->hide();
        picture2_->clear();
        ActualizarColor_pH();
        return;
    }

    label5_[13]->setVisible(panel.fluorescentNote);
    shape4_[7]->show();
    shape4_[8]->show();
    const QRect strip = picture2_->geometry();
    auto centreOver = [&](QLabel* label, double pH) {
        label->adjustSize();
        const double x = indicators::stripX(strip.left(), strip.width(), pH);
        label->move(static_cast<int>(std::lround(x - label->width() / 2.0)), label->y());
    };
    centreOver(label5_[2], panel.pHLow);
    centreOver(label5_[3], panel.pHHigh);
    // One device pixel left of the pH, so the 3-pixel mark is centred on it.
    auto placeMarker = [&](Shape* marker, double pH) {
        const double x = indicators::stripX(strip.left(), strip.width(), pH) - 1;
        marker->move(static_cast<int>(std::lround(x)), marker->y());
    };
    placeMarker(shape4_[7], panel.pHLow);
    placeMarker(shape4_[8], panel.pHHigh);
    picture2_->paintIndicator(catalogue_, k);
    ActualizarColor_pH();
}

void InputPage::offerSubstances(const QString& typed)
{
    substances_->clear();
    const std::optional<chem::TitrationType> type = selectedType();
    const bool weakAcid = type == chem::TitrationType::WeakAcidStrongBase;
    const bool weakBase = type == chem::TitrationType::WeakBaseStrongAcid;
    QAbstractItemView* popup = substanceList_->popup();
    int widest = 0;
    if ((weakAcid || weakBase) && typingAName(typed))
        for (const report::Substance* substance : matchingSubstances(typed, weakBase)) {
            auto* item = new QStandardItem(completionText(*substance));
            item->setData(QString::fromStdString(substance->name), kNameRole);
            item->setEditable(false);
            substances_->appendRow(item);
            widest = std::max(widest, popup->fontMetrics().horizontalAdvance(item->text()));
        }
    if (substances_->rowCount() == 0) {
        popup->hide();
        return;
    }
    // Wide enough for the longest entry, under the box and ending where it ends: the box sits at
    // the window's right, so the list opens to the left, over the window.
    const int width =
        std::max(txKaKb_->width(), widest + popup->verticalScrollBar()->sizeHint().width() +
                                       2 * popup->frameWidth() + 12);
    // The list opens at the entry whose name starts with the text, but none is current: Enter
    // and Tab keep the text as typed (one letter stays refused, as letters always were) until
    // the user picks an entry with the arrows or the mouse.
    substanceList_->setCompletionPrefix(typed);
    substanceList_->complete(QRect(txKaKb_->width() - width, 0, width, txKaKb_->height()));
    offered_ = popup->currentIndex();
    popup->setCurrentIndex(QModelIndex());
}

bool InputPage::eventFilter(QObject* watched, QEvent* event)
{
    QAbstractItemView* popup = substanceList_->popup();
    if (watched != popup)
        return QWidget::eventFilter(watched, event);
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    if (key == Qt::Key_Escape) {
        // Esc closes the window everywhere in it: the box passes it on to the window's keys.
        popup->hide();
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape,
                        static_cast<QKeyEvent*>(event)->modifiers());
        QCoreApplication::sendEvent(txKaKb_, &again);
        return true;
    }
    if ((key == Qt::Key_Down || key == Qt::Key_Up) && !popup->currentIndex().isValid() &&
        offered_.isValid()) {
        popup->setCurrentIndex(offered_); // the entry in view, not the list's far end
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const auto* press = static_cast<QMouseEvent*>(event);
    if (popup->rect().contains(press->position().toPoint()))
        return false;
    // A press outside closes the list and does what it does without one: "Table & results"
    // runs on its first click. The press goes to the window under the pointer, which routes it
    // as its own, so the release reaches the same control.
    const QPointF global = press->globalPosition();
    popup->hide();
    QWidget* target = QApplication::widgetAt(global.toPoint());
    QWindow* window = target ? target->window()->windowHandle() : nullptr;
    if (window) {
        QMouseEvent again(press->type(), window->mapFromGlobal(global), global, press->button(),
                          press->buttons(), press->modifiers(), press->pointingDevice());
        QCoreApplication::sendEvent(window, &again);
    }
    return true;
}

InputBox* InputPage::boxFor(report::Input input) const
{
    switch (input) {
    case report::Input::TxCBur:
        return txCBur_;
    case report::Input::TxVErl:
        return txVErl_;
    case report::Input::TxCErl:
        return txCErl_;
    case report::Input::TxKaKb:
    case report::Input::None:
        break;
    }
    return txKaKb_;
}

indicators::BoxTexts InputPage::boxTexts() const
{
    indicators::BoxTexts texts;
    for (const report::InputDescription& d : report::kInputs)
        texts.*d.text = boxFor(d.box)->text().toStdString();
    return texts;
}

indicators::SchematicState InputPage::ActualizarColor_pH()
{
    document_.setInputs(selectedType(), boxTexts(), indicatorPosition());
    const indicators::SchematicState schematic = document_.outcome().schematic;

    // A refused box tells why in its tool tip, and to a screen reader.
    for (const report::InputDescription& d : report::kInputs) {
        InputBox* box = boxFor(d.box);
        const bool refused = schematic.refusal && schematic.refusal->input == d.box;
        const QString reason =
            refused ? QString::fromStdString(indicators::sentence(*schematic.refusal)) : QString();
        // A name or constants the box accepted: what they stand for, as the box is narrow.
        const QString analyte =
            box == txKaKb_ && !refused && schematic.constants
                ? QString::fromStdString(report::analyteSummary(*schematic.constants))
                : QString();
        box->setToolTip(plainToolTip(refused ? reason : analyte));
        box->setAccessibleDescription(refused ? reason : analyte);
    }

    lblpHErl_->setText(QString::fromStdString(schematic.LblpHErl));
    lblpHBur_->setText(QString::fromStdString(schematic.LblpHBur));
    shErlem_->setFillColour(toQColor(schematic.flaskColour));
    QLabel* verdict = label5_[10];
    if (schematic.verdict) {
        verdictCaption_ = QString::fromStdString(indicators::verdictCaption(schematic));
        document_.setVerdictCaption(verdictCaption_.toStdString());
        verdict->setText(verdictCaption_);
        // Wider only for a caption that needs it, to the right as far as the page goes.
        const int needed = verdict->fontMetrics().horizontalAdvance(verdictCaption_) + 1;
        verdict->resize(std::max(kVerdictWidth, std::min(needed, width() - verdict->x())),
                        verdict->height());
        QPalette palette = verdict->palette();
        palette.setColor(QPalette::WindowText,
                         toQColor(indicators::verdictColour(*schematic.verdict)));
        verdict->setPalette(palette);
    }
    verdict->setVisible(schematic.verdict.has_value());
    // Said again by a screen reader whenever it changes (the description change is an event).
    frameESQUEMA_->setAccessibleDescription(QString::fromStdString(indicators::schematicDescription(
        selectedType(), schematic, indicatorPosition(), catalogue_)));
    emit refreshed();
    return schematic;
}

} // namespace app
