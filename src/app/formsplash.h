#pragma once
// The about window. At start-up it is the splash: after 400 ms, or at once on a click or a
// key, it closes, and closing it always brings up the main window. Later the help menu opens
// it again as the about box, with the timer off.

#include "app/appinfo.h"

#include <QWidget>

class QLabel;
class QTimer;

namespace app {

struct Platform;

class FormSplash : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(FormSplash)

public:
    enum class Role { Splash, About };

    static constexpr QSize kSize{469, 319};

    /// `languageCode` "SPA" or "ESP" selects the Spanish texts, anything else the English ones.
    FormSplash(Role role, Platform& platform,
               const QString& languageCode = QString::fromLatin1(LanguageCode),
               QWidget* parent = nullptr);

    /// The web link: the home page (in Spanish, the Spanish index page).
    void LblWEB_Click();
    /// The mail link: the contact address in the mail program.
    void LlblMAIL_Click();

signals:
    /// Emitted as the window closes, before it is gone: the main window is to be shown.
    void closing();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    bool spanish() const;
    void mailFailed();

    Platform& platform_;
    QString languageCode_;
    QTimer* timer1_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblTIT1_ = nullptr;
    QLabel* lblTIT2_ = nullptr;
    QLabel* lblWEB_ = nullptr;
    bool closing_ = false;
};

} // namespace app
