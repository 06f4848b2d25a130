#pragma once
// Fixed facts about this build: the maker's addresses (all of them here, in one place), the
// language of the about window and the version.

#include <QString>

namespace app {

/// Selects the about window's texts: "ENG"/"ING" English, "SPA"/"ESP" Spanish.
inline constexpr const char* LanguageCode = "ENG";

inline const QString kMakerHost = QStringLiteral("www.lumbrix.example");
inline const QString kHomePage = QStringLiteral("http://www.lumbrix.example");
inline const QString kDonatePage = QStringLiteral("http://www.lumbrix.example/donate.html");
inline const QString kSpanishIndexPage = QStringLiteral("http://www.lumbrix.example/indexes.html");
inline const QString kContactMail = QStringLiteral("mailto:contact@lumbrix.example");
inline const QString kContactAddress = QStringLiteral("contact@lumbrix.example");

/// The program's name, the title of its own message boxes.
inline const QString kProgramName = QStringLiteral("Acidora");

/// The manual's file name; it lies beside the program.
inline const QString kManualFileName = QStringLiteral("Manual_ACDR.pdf");

inline const QString kMainWindowTitle =
    QStringLiteral("Lumbrix Software - Acidora - Acid-base titration");

inline constexpr int kVersionMajor = ACIDORA_VERSION_MAJOR;
inline constexpr int kVersionMinor = ACIDORA_VERSION_MINOR;

} // namespace app
