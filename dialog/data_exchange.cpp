// Moves values between a page's controls and the variables they stand for, and validates them.
#include "data_exchange.h"

#include "field_rules.h"
#include "number_text.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSlider>

namespace cyclar {

void showValidationMessage(QWidget* parent, const QString& message)
{
    // Deleted by exec() when it closes, or with its parent should that go first.
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), message,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}

void DataExchange::text(QLineEdit* field, double& value)
{
    if (!active())
        return;
    if (!saving_) {
        field->setText(formatDouble(value));
        // A value longer than the field shows its beginning, not its end.
        field->setCursorPosition(0);
        return;
    }
    const QString text = field->text();
    const std::optional<double> parsed = parseDouble(text);
    if (!parsed) {
        fail(field, QString::fromLatin1(notANumberMessage.data(),
                                        static_cast<qsizetype>(notANumberMessage.size())));
        return;
    }
    if (text == formatDouble(value))
        return; // unchanged since it was shown: keep the digits the text does not show
    value = *parsed;
}

void DataExchange::minMax(QLineEdit* field, double value, double min, double max)
{
    if (!active() || !saving_)
        return;
    if (inRange(value, min, max))
        return;
    fail(field, QString::fromStdString(rangeMessage(min, max)));
}

void DataExchange::slider(QSlider* slider, int& position)
{
    if (!active())
        return;
    if (saving_)
        position = slider->value();
    else
        slider->setValue(position);
}

void exchangeDimensions(DataExchange& dx, FieldPage page, const std::array<QLineEdit*, 6>& fields,
                        LinkageDimensions& dims)
{
    for (const char name : fieldOrder(page)) {
        QLineEdit* const field = fields[fieldIndex(name)];
        double& value = fieldValue(dims, name);
        dx.text(field, value);
        const FieldRange range = fieldRange(page, name, dims);
        dx.minMax(field, value, range.min, range.max);
    }
}

void DataExchange::fail(QLineEdit* field, const QString& message)
{
    failed_ = true;
    const QPointer<QLineEdit> guard(field);
    QWidget* parent = page_ != nullptr ? page_ : field->window();
    if (showMessage_)
        showMessage_(parent, message);
    else
        showValidationMessage(parent, message);
    // Timers keep running while the box is open; the field may have gone meanwhile.
    if (guard.isNull())
        return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

} // namespace cyclar
