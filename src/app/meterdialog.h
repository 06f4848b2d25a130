#pragma once
// The meter's settings, asked before a live run: a preset or a simulated meter, the port from
// the list or typed, its framing, the poll command, which number on a line is the pH, and when
// a reading has settled. It closes only on settings the live mode can use; otherwise it says why.

#include "app/livesetup.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace app {

class MeterDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(MeterDialog)

public:
    MeterDialog(const MeterForm& form, QWidget* parent);

    MeterForm form() const;
    void accept() override;

private:
    void buildSerialRows(QFormLayout* rows);
    void fill(const MeterForm& form);
    void presetChosen(int index);

    QComboBox* preset_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* dataBits_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* stopBits_ = nullptr;
    QComboBox* lineEnd_ = nullptr;
    QLineEdit* poll_ = nullptr;
    QDoubleSpinBox* pollSeconds_ = nullptr;
    QLineEdit* pick_ = nullptr;
    QDoubleSpinBox* band_ = nullptr;
    QDoubleSpinBox* seconds_ = nullptr;
    QLabel* reason_ = nullptr;
    QList<QWidget*> serialOnly_;
};

} // namespace app
