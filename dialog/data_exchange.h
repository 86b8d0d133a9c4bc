// Moves values between a page's controls and the variables they stand for, and validates them.
#pragma once

#include "field_rules.h"

#include <QString>

#include <array>
#include <functional>

class QLineEdit;
class QSlider;
class QWidget;

namespace cyclar {

/// One run of a page's DoDataExchange in one direction.
///
/// Showing writes the variables into the controls and never fails. Saving reads the controls
/// back, in the order of the calls; the first step that fails shows its message, puts the focus
/// on its field with the text selected, and turns every later call on this object into a no-op,
/// so DoDataExchange can be written as a straight list of calls.
class DataExchange {
public:
    /// Shows a validation message over `parent`; by default the modal warning box.
    using MessageSink = std::function<void(QWidget* parent, const QString& message)>;

    DataExchange(QWidget* page, bool saving, MessageSink showMessage = {})
        : page_(page), saving_(saving), showMessage_(std::move(showMessage))
    {
    }

    bool saving() const { return saving_; }
    bool failed() const { return failed_; }

    /// A field holding a double. Saving stores the value as soon as the text parses, so it is
    /// stored even when a range test that follows rejects it. Text that does not parse leaves
    /// `value` untouched and fails with "Please enter a number.". A field still showing exactly
    /// the text its value was shown as keeps that value, with all the digits the text leaves
    /// out, so a value opened from a file is saved again bit for bit.
    void text(QLineEdit* field, double& value);

    /// Range test for the value just exchanged with `field`; both bounds are included, and
    /// min > max (or a NaN) lets nothing pass. Only tests when saving.
    void minMax(QLineEdit* field, double value, double min, double max);

    /// A slider's position.
    void slider(QSlider* slider, int& position);

private:
    bool active() const { return !failed_; }
    void fail(QLineEdit* field, const QString& message);

    QWidget* page_;
    bool saving_;
    MessageSink showMessage_;
    bool failed_ = false;
};

/// A page's six dimension fields (in the order a, b, c, f, h, k) exchanged with `dims` in the
/// order the page reads them, each followed by its range test as the field rules give it.
void exchangeDimensions(DataExchange& dx, FieldPage page, const std::array<QLineEdit*, 6>& fields,
                        LinkageDimensions& dims);

/// Shows a validation message the way every page does: a modal warning box with an OK button,
/// captioned with the application's name.
void showValidationMessage(QWidget* parent, const QString& message);

} // namespace cyclar
