// The Exercise window: a form of the questions, marked by the core's check.
#include "exercise_window.h"

#include "linkage_file.h"
#include "significant_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace cyclar {

namespace {

QString degrees(double value)
{
    return QString::fromStdString(shortestNumberText(value)) + QChar(0x00B0);
}

QString linkageLine(const LinkageDimensions& d)
{
    return QStringLiteral("a = %1, b = %2, c = %3, f = %4, h = %5, k = %6")
        .arg(degrees(d.a), degrees(d.b), degrees(d.c), degrees(d.f), degrees(d.h), degrees(d.k));
}

} // namespace

ExerciseWindow::ExerciseWindow(const ExerciseFile& exercise, QWidget* parent)
    : QDialog(parent), m_exercise(exercise)
{
    setWindowTitle(QString::fromStdString(exercise.title));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("<b>%1</b><br>%2")
                                   .arg(QString::fromStdString(exercise.title).toHtmlEscaped(),
                                        linkageLine(exercise.dimensions)),
                               this);
    heading->setTextFormat(Qt::RichText);
    layout->addWidget(heading);

    auto* area = new QScrollArea(this);
    area->setWidgetResizable(true);
    auto* form = new QWidget(area);
    auto* grid = new QGridLayout(form);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 2);
    for (std::size_t i = 0; i < exercise.questions.size(); ++i) {
        const ExerciseQuestion& q = exercise.questions[i];
        Row row;
        row.question = new QLabel(QString::fromStdString(q.id + ". " + questionText(q)), form);
        row.question->setWordWrap(true);
        row.answer = new QLineEdit(form);
        row.answer->setObjectName(QString::fromStdString(q.id));
        row.answer->setAccessibleName(QString::fromStdString("answer to " + q.id));
        row.answer->setMinimumWidth(140);
        row.mark = new QLabel(form);
        row.mark->setWordWrap(true);
        row.value = new QLabel(form);
        row.value->hide();
        const int line = static_cast<int>(i) * 2;
        grid->addWidget(row.question, line, 0);
        grid->addWidget(row.answer, line, 1, Qt::AlignTop);
        grid->addWidget(row.mark, line, 2);
        grid->addWidget(row.value, line + 1, 0, 1, 3);
        connect(row.answer, &QLineEdit::returnPressed, this, &ExerciseWindow::check);
        rows.push_back(row);
    }
    area->setWidget(form);
    area->setMinimumSize(720, 420);
    layout->addWidget(area);

    auto* buttons = new QHBoxLayout;
    checkButton = new QPushButton(QStringLiteral("Check"), this);
    workingButton = new QPushButton(QStringLiteral("Show the working"), this);
    score = new QLabel(this);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    if (!exercise.showWorking) {
        workingButton->setEnabled(false);
        workingButton->setToolTip(QStringLiteral("This exercise does not show the working."));
    }
    buttons->addWidget(checkButton);
    buttons->addWidget(workingButton);
    buttons->addWidget(score);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(checkButton, &QPushButton::clicked, this, &ExerciseWindow::check);
    connect(workingButton, &QPushButton::clicked, this, &ExerciseWindow::showWorking);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

ExerciseResponses ExerciseWindow::answers() const
{
    ExerciseResponses responses;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExerciseQuestion& q = m_exercise.questions[i];
        if (const std::optional<ExerciseResponse> r =
                responseFromText(q, rows[i].answer->text().toStdString())) {
            responses.emplace(q.id, *r);
        }
    }
    return responses;
}

void ExerciseWindow::check()
{
    const ExerciseCheck result = checkExercise(m_exercise, answers());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QuestionCheck& r = result.results[i];
        rows[i].mark->setText(r.correct
                                  ? QStringLiteral("correct")
                                  : QStringLiteral("not yet: ") + QString::fromStdString(r.hint));
        rows[i].mark->setStyleSheet(r.correct ? QStringLiteral("color: #006400;")
                                              : QStringLiteral("color: #a00000;"));
    }
    score->setText(QStringLiteral("%1 of %2 correct").arg(result.score).arg(result.of));
}

void ExerciseWindow::showWorking()
{
    if (!m_exercise.showWorking) {
        return;
    }
    const ExerciseQuestion* asked = nullptr;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExerciseQuestion& q = m_exercise.questions[i];
        const ExerciseKey key = exerciseKey(m_exercise, q);
        rows[i].value->setText(QStringLiteral("Answer: ")
                               + QString::fromStdString(keyWords(key, q)));
        rows[i].value->show();
        if (!asked && askedAtInput(q.kind)) {
            asked = &q;
        }
    }
    emit workingWanted(asked ? asked->input : 0.0, asked ? asked->branch : 1);
}

} // namespace cyclar
