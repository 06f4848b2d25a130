#pragma once
// The main window: a grey header band with four picture buttons over three pages drawn at the
// same place — the input page, the table-and-results page and the curve page — of which at
// most one shows. Esc closes it from anywhere, whatever has the focus.

#include "app/printsystem.h"
#include "app/readingsfile.h"
#include "chart/titrationchart.h"
#include "indicators/catalogue.h"
#include "indicators/schematic.h"
#include "session/document.h"

#include <map>
#include <optional>

#include <QFutureWatcher>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace app {

class ChartPage;
class InputPage;
class LiveMode;
class LivePanel;
struct LiveChoice;
class PictureButton;
class TablePage;
class Teaching;
struct Platform;

class FormMain : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(FormMain)

public:
    /// The client area: 774 wide, and tall enough for the whole curve page (69 + 476).
    static constexpr QSize kClientSize{774, 545};

    explicit FormMain(Platform& platform, QWidget* parent = nullptr);
    ~FormMain() override;

    InputPage* inputPage() const { return frameDAT_; }
    TablePage* tablePage() const { return frameTAB_; }
    ChartPage* curvePage() const { return picture1_; }

    /// Asks for the default printer's name, for the tool tips of the two Print buttons, on
    /// the first tick and every fourth after it. The print service can take long to answer,
    /// or never answer, so it is asked off the window's thread and the tool tips change when
    /// the answer arrives.
    void Timer1_Timer();
    /// The latest answer of that query: none before the first answer or without printers.
    const std::optional<PrinterAnswer>& latestPrinter() const { return latestPrinter_; }

    /// The manual beside the program.
    static QString manualPath();

    /// Opens measured readings (from the menu, a drop or the command line): drawn over the
    /// curve, analysed off the window's thread, their section added to the results. A file
    /// that cannot be read ends in a message with the reason, and nothing shown changes. The
    /// file is read off the window's thread; a data logger's runs or columns the headers do
    /// not name are asked for, unless `options` choose them.
    void openReadings(const QString& path, const lab::ReadOptions& options = {});
    /// Starts from what the command line set up: the type, the boxes and the indicator typed
    /// in as a user would type them, and the fit's choice.
    void open(const session::Session& setup);
    const session::Session& session() const { return document_.setup(); }
    /// Takes live readings from the meter `choice` names, in the live panel beside the window
    /// (a simulated meter's flask: the titration typed); false, with a message, when refused.
    bool startLive(const LiveChoice& choice);
    /// Offers to take up the live runs left unfinished; asked once the window shows.
    void offerUnfinishedRuns();
    /// The live panel while a run is taken; null otherwise.
    LivePanel* livePanel() const;
    const session::Document& document() const { return document_; }
    Teaching* teaching() const { return teaching_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildHeader();
    void buildPages();
    void buildChartMenu();
    void buildHelpMenu();
    /// The commands; `byKeyboard` is false for a mouse click.
    void Image3_Click(bool byKeyboard);
    void Image4_Click(bool byKeyboard);
    void Image5_Click(bool byKeyboard);
    /// Shows why the inputs are refused on the empty page, or hides the note (none).
    void showRefusal(const std::optional<indicators::Refusal>& refusal);
    /// The document's outcome: the refresh and the run, with the readings' analysis once it
    /// has finished for the document as it stands.
    const session::Outcome& outcome() const { return document_.outcome(); }
    /// Starts the readings' analysis unless it is here or running for the document as it
    /// stands.
    void analyseReadings();
    /// The curve page's chart from the session, drawn; false when the inputs are refused.
    bool drawSessionChart();
    /// The results page or the curve page again after the session changed.
    void refreshShownPage();
    /// The results page's report from the session; false when the inputs are refused.
    bool showSessionReport();
    void openReadingsFromDialog();
    void readingsLoaded(LoadedReadings loaded);
    void keepCurve();
    void useFittedValues();
    /// Which of the chart menu's commands apply now.
    void updateChartMenu();
    /// The shown chart with the caption of a chart copied or saved.
    chart::ChartModel chartHandedOut() const;
    /// Whether the curve page shows a chart, and so offers its picture.
    bool chartShown() const;
    void copyPicture();
    void savePicture();
    void Image6_Click(bool byKeyboard);
    /// The help menu, under its button or at the pointer.
    void popupHelpMenu(bool underButton);
    void mnu_Ayuda_Acerca_Click();
    /// The user's manual, from the help menu or F1.
    void mnu_Ayuda_Manual_Click();
    /// The home page or the donation page.
    void openMakerPage(const QString& address);

    Platform& platform_;
    indicators::IndicatorCatalogue catalogue_;
    InputPage* frameDAT_ = nullptr;
    TablePage* frameTAB_ = nullptr;
    ChartPage* picture1_ = nullptr;
    QMenu* mnu_Ayuda_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    /// The picture buttons by the letter that, with Alt, clicks them.
    std::map<int, PictureButton*> commandKeys_;
    /// Why "Table & results" or "Curve" refused the inputs, on the page that stays empty.
    QLabel* refusalNote_ = nullptr;
    QTimer* timer1_ = nullptr;
    int ticks_ = 0;
    QFutureWatcher<std::optional<PrinterAnswer>> printerQuery_;
    std::optional<PrinterAnswer> latestPrinter_;
    /// The chart the curve page shows, with its title; none when it shows none.
    std::optional<chart::ChartModel> shownChart_;
    /// Of the shown chart: the caption under it when copied or saved, and the saved file's name.
    std::string shownCaption_, shownFileStem_;
    /// What the user set up and what it computes; the pages show it and send it edits.
    session::Document document_;
    /// The readings' analysis off the window's thread, and the analysis revision it is for.
    QFutureWatcher<std::optional<lab::Measured>> analysis_;
    std::optional<std::uint64_t> running_;
    /// The readings' file being read, the newest asked for.
    QFutureWatcher<LoadedReadings> readingsLoad_;
    LiveMode* live_ = nullptr;
    Teaching* teaching_ = nullptr;
    QAction* keep_ = nullptr;
    QAction* clearKept_ = nullptr;
    QAction* derivative_ = nullptr;
    QAction* useFitted_ = nullptr;
    QAction* fitPKa_ = nullptr;
    QAction* fitOffset_ = nullptr;
    QAction* activities_ = nullptr;
};

} // namespace app
