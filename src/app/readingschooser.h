#pragma once
// The question a readings file raises before it is read: which of a data logger's runs, and
// which columns hold the volume and the pH, when the headers do not say.

#include "lab/readings.h"

#include <QByteArray>
#include <QDialog>

class QComboBox;
class QListWidget;

namespace app {

class ReadingsChooser : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ReadingsChooser)

public:
    /// Offers `layout`'s runs (a list, when there are several) and columns (two lists, the
    /// reader's guess chosen) of the file whose text is `text`.
    ReadingsChooser(const QByteArray& text, const lab::ReadingsLayout& layout, QWidget* parent);

    /// The run and the columns chosen, by number.
    lab::ReadOptions options() const;

private:
    /// Chooses the columns the reader finds for `run`.
    void showRun(int run);

    QByteArray text_;
    int run_ = 0;
    QListWidget* runs_ = nullptr;
    QComboBox* volume_ = nullptr;
    QComboBox* pH_ = nullptr;
};

} // namespace app
