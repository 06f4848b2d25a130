#pragma once
// An option group of the command line kept in a file of its own (the meter's, teaching's): its
// rows as the help lists them, made into Qt's options alike.

#include <QCommandLineOption>
#include <QList>

#include <span>

namespace app::cli {

struct OptionText
{
    const char* name;
    const char* valueName; ///< "" for a flag
    const char* help;
};

inline QList<QCommandLineOption> optionsOf(std::span<const OptionText> rows)
{
    QList<QCommandLineOption> options;
    for (const OptionText& row : rows)
        options << QCommandLineOption(QString::fromLatin1(row.name), QString::fromLatin1(row.help),
                                      QString::fromLatin1(row.valueName));
    return options;
}

} // namespace app::cli
