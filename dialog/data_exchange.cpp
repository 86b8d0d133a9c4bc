// Moves values between a page's controls and the variables they stand for, and validates them.
#include "data_exchange.h"

#include "field_rules.h"
#include "number_text.h"

#include <QByteArray>
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

namespace {

// Text in a field, as a value longer than the field shows it: its beginning, not its end.
void showText(QLineEdit* field, const QString& text)
{
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace

void DataExchange::text(QLineEdit* field, double& value)
{
    if (!active())
        return;
    if (!saving_) {
        showText(field, formatDouble(value));
        return;
    }
    const QByteArray text = field->text().toUtf8();
    if (!takeFieldText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                       value)) {
        fail(field, QString::fromLatin1(notANumberMessage.data(),
                                        static_cast<qsizetype>(notANumberMessage.size())));
    }
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

void DataExchange::show(const PageControls& shown, const std::array<QLineEdit*, 6>& fields,
                        const std::vector<QSlider*>& sliders)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        showText(fields[i], QString::fromStdString(shown.fields[i]));
    for (std::size_t i = 0; i < sliders.size() && i < shown.sliders.size(); ++i)
        sliders[i]->setValue(shown.sliders[i]);
}

PageControls DataExchange::read(const std::array<QLineEdit*, 6>& fields,
                                const std::vector<QSlider*>& sliders)
{
    PageControls controls;
    for (std::size_t i = 0; i < fields.size(); ++i)
        controls.fields[i] = fields[i]->text().toStdString();
    for (QSlider* slider : sliders)
        controls.sliders.push_back(slider->value());
    return controls;
}

void DataExchange::report(const std::optional<FieldFailure>& failure,
                          const std::array<QLineEdit*, 6>& fields)
{
    if (failure)
        fail(fields[fieldIndex(failure->field)], QString::fromStdString(failure->message));
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
