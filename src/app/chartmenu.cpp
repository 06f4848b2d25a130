// The curve page's menu, built apart from the rest of the window.
#include "app/appinfo.h"
#include "app/formmain.h"
#include "app/livemode.h"
#include "app/livepanel.h"

#include <QInputDialog>
#include <QMenu>

namespace app {

/// The chart's context menu: the picture, the measured data, kept curves and the model's options.
void FormMain::buildChartMenu()
{
    chartMenu_ = new QMenu(this);
    const std::tuple<const char*, QString, QKeySequence, void (FormMain::*)()> items[] = {
        {"mnu_CopyPicture", QStringLiteral("Copy picture"), QKeySequence::Copy,
         &FormMain::copyPicture},
        {"mnu_SavePicture", QStringLiteral("Save picture as\u2026"), QKeySequence::Save,
         &FormMain::savePicture}};
    for (const auto& [name, caption, keys, slot] : items) {
        QAction* action = chartMenu_->addAction(caption, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys); // shown only: the key preview handles the keys
        action->setShortcutVisibleInContextMenu(true);
    }
    chartMenu_->addSeparator();
    const auto add = [this](const char* name, const QString& caption, auto slot) {
        QAction* action = chartMenu_->addAction(caption, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add("mnu_OpenData", QStringLiteral("Open measured data\u2026"),
        &FormMain::openReadingsFromDialog);
    QAction* live = add("mnu_Live", tr("&Live readings\u2026"), [this] { live_->open(); });
    live->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L)); // shown; the key preview has it
    live->setShortcutVisibleInContextMenu(true);
    keep_ = add("mnu_KeepCurve", QStringLiteral("Keep this curve"), &FormMain::keepCurve);
    clearKept_ = add("mnu_ClearKept", QStringLiteral("Clear kept curves"), [this] {
        document_.clearKept();
        refreshShownPage();
    });
    derivative_ = add("mnu_Derivative", QStringLiteral("Show derivative"), [this] {
        document_.setShowDerivative(derivative_->isChecked());
        refreshShownPage();
    });
    useFitted_ =
        add("mnu_UseFitted", QStringLiteral("Use fitted values"), &FormMain::useFittedValues);
    fitPKa_ = add("mnu_FitPKa", QStringLiteral("Fit pKa values too"), [this] {
        document_.setFitPKa(fitPKa_->isChecked());
        refreshShownPage();
    });
    fitOffset_ = add("mnu_FitOffset", QStringLiteral("Fit an electrode offset"), [this] {
        document_.setFitOffset(fitOffset_->isChecked());
        refreshShownPage();
    });
    add("mnu_VolumeUncertainty", QStringLiteral("Burette reading uncertainty\u2026"), [this] {
        bool ok = false;
        const double mL = QInputDialog::getDouble(
            this, kProgramName,
            QStringLiteral("Standard uncertainty of each burette reading (mL):"),
            session().volumeUncertainty, 0, 1, 3, &ok);
        if (ok)
            document_.setVolumeUncertainty(mL);
        refreshShownPage();
    });
    // Every curve, the report and the fit with activities: the fitted pKa thermodynamic.
    activities_ = add("mnu_Activities", QStringLiteral("Activities (Davies)"), [this] {
        document_.setActivity(activities_->isChecked() ? chem::ActivityModel::Davies
                                                       : chem::ActivityModel::None);
        refreshShownPage();
    });
    derivative_->setCheckable(true);
    fitPKa_->setCheckable(true);
    fitOffset_->setCheckable(true);
    activities_->setCheckable(true);
    connect(chartMenu_, &QMenu::aboutToShow, this, &FormMain::updateChartMenu);
    updateChartMenu();
}

} // namespace app
