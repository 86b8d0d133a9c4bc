// The Exercise window: the questions of an exercise file, the student's answers, Check with
// "correct" or "not yet" and a hint naming the step of the working, and, where the file allows,
// the working itself with the right values.
#pragma once

#include "exercise.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cyclar {

/// Non-modal, captioned with the exercise's title.
class ExerciseWindow : public QDialog {
    Q_OBJECT
public:
    /// `exercise` has passed the reader and every question has an answer (unanswerableQuestion).
    ExerciseWindow(const ExerciseFile& exercise, QWidget* parent);

    const ExerciseFile& exercise() const { return m_exercise; }

    /// The answers as typed: a number, numbers apart by spaces, commas or semicolons (for the
    /// limits), or words; a field left empty is no answer.
    ExerciseResponses answers() const;
    /// Marks each question "correct" or "not yet" with its hint.
    void check();
    /// Shows each right value beside its question and asks for the working (at the first
    /// question asked at an input); does nothing when the file forbids it.
    void showWorking();

    struct Row {
        QLabel* question = nullptr;
        QLineEdit* answer = nullptr;
        QLabel* mark = nullptr;  ///< "correct" or "not yet: <hint>"
        QLabel* value = nullptr; ///< the right value, once the working is shown
    };
    std::vector<Row> rows;
    QPushButton* checkButton = nullptr;
    QPushButton* workingButton = nullptr;
    QLabel* score = nullptr;

signals:
    /// The working at this input angle and branch is wanted (from "Show the working").
    void workingWanted(double theta, int branch);

private:
    ExerciseFile m_exercise;
};

} // namespace cyclar
