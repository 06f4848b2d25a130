#include "app/meterdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kBauds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const QString kSimulated = QStringLiteral("simulated");

QComboBox* listOf(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

QDoubleSpinBox* spinBox(QWidget* parent, const QString& name, double low, double high, int decimals,
                        const QString& suffix)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setDecimals(decimals);
    spin->setSuffix(suffix);
    return spin;
}

} // namespace

MeterDialog::MeterDialog(const MeterForm& form, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MeterDialog"));
    setWindowTitle(tr("Live readings: the meter"));
    auto* rows = new QFormLayout;
    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("meterPreset"));
    for (const meter::Preset& p : meter::presets())
        preset_->addItem(QString::fromUtf8(p.caption.data(), qsizetype(p.caption.size())),
                         QString::fromUtf8(p.name.data(), qsizetype(p.name.size())));
    preset_->addItem(tr("Simulated meter (the titration typed on the input page)"), kSimulated);
    rows->addRow(tr("&Meter:"), preset_);
    buildSerialRows(rows);
    band_ = spinBox(this, QStringLiteral("settleBand"), 0.001, 1, 3, tr(" pH"));
    seconds_ = spinBox(this, QStringLiteral("settleSeconds"), 0.1, 600, 1, tr(" s"));
    // A reading is kept once the pH has varied less than the band over the time.
    rows->addRow(tr("Settle ba&nd:"), band_);
    rows->addRow(tr("Settle &time:"), seconds_);
    for (int row = 0; row < rows->rowCount(); ++row)
        if (auto* label =
                qobject_cast<QLabel*>(rows->itemAt(row, QFormLayout::LabelRole)->widget())) {
            QWidget* field = rows->itemAt(row, QFormLayout::FieldRole)->widget();
            field->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(':'));
        }

    reason_ = new QLabel(this);
    reason_->setObjectName(QStringLiteral("meterReason"));
    reason_->setWordWrap(true);
    reason_->setStyleSheet(QStringLiteral("color: #b00000"));
    reason_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &MeterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MeterDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(reason_);
    layout->addWidget(buttons);
    fill(form);
    // Connected after filling: the remembered settings stay as they were changed by hand.
    connect(preset_, &QComboBox::activated, this, &MeterDialog::presetChosen);
}

void MeterDialog::buildSerialRows(QFormLayout* rows)
{
    port_ = new QComboBox(this);
    port_->setObjectName(QStringLiteral("meterPort"));
    port_->setEditable(true); // a pseudo-terminal is never listed: its path is typed
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        port_->addItem(info.systemLocation());
        port_->setItemData(port_->count() - 1, info.description(), Qt::ToolTipRole);
    }
    port_->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    QStringList bauds;
    for (const int b : kBauds)
        bauds << QString::number(b);
    baud_ = listOf(this, QStringLiteral("meterBaud"), bauds);
    baud_->setEditable(true);
    baud_->setValidator(new QIntValidator(1, 4000000, baud_));
    dataBits_ = listOf(this, QStringLiteral("meterDataBits"), {"5", "6", "7", "8"});
    parity_ = listOf(this, QStringLiteral("meterParity"), {tr("None"), tr("Even"), tr("Odd")});
    stopBits_ = listOf(this, QStringLiteral("meterStopBits"), {"1", "2"});
    lineEnd_ = listOf(this, QStringLiteral("meterLineEnd"), {"CR", "LF", "CR LF"});
    poll_ = new QLineEdit(this);
    poll_->setObjectName(QStringLiteral("meterPoll"));
    poll_->setPlaceholderText(tr("none: the meter sends by itself"));
    pollSeconds_ =
        spinBox(this, QStringLiteral("meterPollSeconds"), meter::kShortestPoll, 60, 1, tr(" s"));
    pick_ = new QLineEdit(this);
    pick_->setObjectName(QStringLiteral("meterPick"));
    pick_->setToolTip(tr("The Nth number on a line (1, 2, …), \"last\", or a regular expression "
                         "whose first group is the pH"));
    const std::pair<QString, QWidget*> fields[] = {
        {tr("&Port:"), port_},          {tr("&Baud rate:"), baud_},
        {tr("&Data bits:"), dataBits_}, {tr("P&arity:"), parity_},
        {tr("&Stop bits:"), stopBits_}, {tr("&Line end:"), lineEnd_},
        {tr("P&oll command:"), poll_},  {tr("Poll &every:"), pollSeconds_},
        {tr("pH &is number:"), pick_},
    };
    for (const auto& [label, field] : fields) {
        rows->addRow(label, field);
        serialOnly_ << field << rows->labelForField(field);
    }
}

void MeterDialog::fill(const MeterForm& form)
{
    const int preset =
        preset_->findData(form.simulated ? kSimulated : QString::fromStdString(form.preset));
    preset_->setCurrentIndex(std::max(0, preset));
    port_->setEditText(QString::fromStdString(form.port.port));
    baud_->setEditText(QString::number(form.port.baud));
    dataBits_->setCurrentIndex(std::clamp(form.port.dataBits - 5, 0, 3));
    parity_->setCurrentIndex(int(form.port.parity));
    stopBits_->setCurrentIndex(form.port.stopBits == 2 ? 1 : 0);
    lineEnd_->setCurrentIndex(int(form.port.lineEnd));
    poll_->setText(QString::fromStdString(form.port.poll));
    pollSeconds_->setValue(form.port.pollSeconds);
    pick_->setText(QString::fromStdString(form.pick));
    band_->setValue(form.settleBand);
    seconds_->setValue(form.settleSeconds);
    for (QWidget* w : serialOnly_)
        w->setEnabled(!form.simulated);
}

void MeterDialog::presetChosen(int index)
{
    const QString name = preset_->itemData(index).toString();
    MeterForm form = this->form();
    form.simulated = name == kSimulated;
    if (const meter::Preset* p = meter::presetNamed(name.toStdString()))
        form = withPreset(form, *p);
    fill(form);
}

MeterForm MeterDialog::form() const
{
    MeterForm form;
    const QString preset = preset_->currentData().toString();
    form.simulated = preset == kSimulated;
    if (!form.simulated)
        form.preset = preset.toStdString();
    form.port.port = port_->currentText().toStdString();
    form.port.baud = baud_->currentText().toInt();
    form.port.dataBits = dataBits_->currentIndex() + 5;
    form.port.parity = meter::Parity(parity_->currentIndex());
    form.port.stopBits = stopBits_->currentIndex() + 1;
    form.port.lineEnd = meter::LineEnd(lineEnd_->currentIndex());
    form.port.poll = poll_->text().toStdString();
    form.port.pollSeconds = pollSeconds_->value();
    form.pick = pick_->text().toStdString();
    form.settleBand = band_->value();
    form.settleSeconds = seconds_->value();
    return form;
}

void MeterDialog::accept()
{
    const chem::Result<LiveChoice> choice = liveChoice(form());
    if (choice) {
        QDialog::accept();
        return;
    }
    reason_->setText(QString::fromStdString(choice.failure));
    reason_->show();
}

} // namespace app
