// The Design window: the task's tables, the candidates, and the sphere the core draws.
#include "design_window.h"

#include "atomic_write.h"
#include "field_rules.h"
#include "frame_composition.h"
#include "linkage_files.h"
#include "path_text.h"
#include "raster.h"
#include "task_file.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

constexpr int sphereSide = 360;
constexpr int tourInterval = 40; // ms a step

// The starting task: three orientations of a coupler, with its two fixed pivots.
DesignTask startingTask()
{
    DesignTask task;
    task.kind = TaskKind::Motion;
    task.positions = {{84.0, 19.7, -127.5}, {90.5, -19.3, -113.6}, {76.8, -39.5, -123.4}};
    task.fixedPivots = {{0.0, 0.0}, {40.0, 0.0}};
    task.pairs = {{-30.0, 7.1}, {-10.0, 66.0}, {15.0, 151.0}, {40.0, 160.3}};
    return task;
}

QString numberText(double value)
{
    // The shortest text that reads back as the same value, as task files hold it.
    return QString::fromStdString(shortestNumberText(value));
}

// A cell's number, by the rule the browser's Design panel reads its cells with.
std::optional<double> cellNumber(const QString& text)
{
    return parseCellNumber(text.toStdString());
}

QTableWidget* numberTable(const QStringList& columns, QWidget* parent)
{
    auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    table->setHorizontalHeaderLabels(columns);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    return table;
}

void setRow(QTableWidget* table, int row, std::initializer_list<double> values)
{
    int column = 0;
    for (const double value : values) {
        table->setItem(row, column++, new QTableWidgetItem(numberText(value)));
    }
}

// The numbers of one table row, or why not: "Row 2, Latitude: 'x' is not a number".
std::optional<std::vector<double>> rowNumbers(const QTableWidget* table, int row,
                                              const QString& what, std::string& error)
{
    std::vector<double> values;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* item = table->item(row, column);
        const QString text = item ? item->text() : QString();
        const std::optional<double> value = cellNumber(text);
        if (!value) {
            const QString header = table->horizontalHeaderItem(column)->text();
            error = QStringLiteral("%1 %2, %3: '%4' is not a number")
                        .arg(what)
                        .arg(row + 1)
                        .arg(header.toLower(), text.trimmed())
                        .toStdString();
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

QString degreesText(double value)
{
    return std::isfinite(value) ? QString::number(value, 'f', 1) + QChar(0x00B0)
                                : QStringLiteral("\u2013");
}

QString capitalised(const std::string& text)
{
    QString out = QString::fromStdString(text);
    if (!out.isEmpty()) {
        out[0] = out[0].toUpper();
    }
    return out;
}

} // namespace

DesignSphere::DesignSphere(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sphereSide, sphereSide);
    setAccessibleName(QStringLiteral("Task and linkage on the sphere"));
    m_view.recompute();
}

void DesignSphere::setScene(const DesignTask& task, const DesignCandidate* candidate,
                            const DesignStep& step)
{
    m_task = task;
    m_candidate = candidate ? std::optional<DesignCandidate>(*candidate) : std::nullopt;
    m_step = step;
    update();
}

void DesignSphere::setView(const ViewOrientation& view)
{
    m_view = view;
    m_view.recompute();
    update();
}

QImage DesignSphere::draw(int scale) const
{
    PixelBuffer pixels(width() * scale, height() * scale, PixelOrder::Argb32);
    pixels.fill(white);
    Raster raster(pixels);
    DesignViewPalette palette;
    palette.scale = scale;
    composeDesignView(raster, m_task, m_candidate ? &*m_candidate : nullptr, m_step, m_view,
                      palette);
    return QImage(pixels.bytes(), pixels.width(), pixels.height(), pixels.width() * 4,
                  QImage::Format_RGB32)
        .copy();
}

QImage DesignSphere::picture() const
{
    return draw(1);
}

void DesignSphere::paintEvent(QPaintEvent*)
{
    const double ratio = devicePixelRatioF();
    const int scale = !(ratio > 1.0)            ? 1
                      : ratio < maxPictureScale ? static_cast<int>(std::ceil(ratio))
                                                : maxPictureScale;
    QPainter painter(this);
    painter.drawImage(rect(), draw(scale));
}

void DesignSphere::mousePressEvent(QMouseEvent* event)
{
    m_dragFrom = event->position().toPoint();
}

void DesignSphere::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QPoint moved = at - m_dragFrom;
    m_dragFrom = at;
    // Whole degrees within -90..90, as the page's sliders give.
    m_view.turn = std::clamp(m_view.turn + moved.x() / 2, -90.0, 90.0);
    m_view.tilt = std::clamp(m_view.tilt - moved.y() / 2, -90.0, 90.0);
    m_view.recompute();
    update();
}

DesignWindow::DesignWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Design"));
    setModal(false);

    auto* columns = new QHBoxLayout(this);
    auto* leftColumn = new QWidget(this);
    leftColumn->setMinimumWidth(480);
    auto* left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(leftColumn, 1);

    auto* kindBox = new QGroupBox(QStringLiteral("Task"), this);
    auto* kindRow = new QHBoxLayout(kindBox);
    motionKind = new QRadioButton(QStringLiteral("Motion: guide a body"), kindBox);
    functionKind = new QRadioButton(QStringLiteral("Function: coordinate two shafts"), kindBox);
    motionKind->setChecked(true);
    kindRow->addWidget(motionKind);
    kindRow->addWidget(functionKind);
    left->addWidget(kindBox);

    auto* stack = new QStackedWidget(this);
    stack->setObjectName(QStringLiteral("taskStack"));
    auto* motionPage = new QWidget(stack);
    auto* motionLayout = new QVBoxLayout(motionPage);
    motionLayout->setContentsMargins(0, 0, 0, 0);
    positions = numberTable(
        {QStringLiteral("Longitude"), QStringLiteral("Latitude"), QStringLiteral("Heading")},
        motionPage);
    positions->setAccessibleName(QStringLiteral("Positions"));
    motionLayout->addWidget(positions);
    pivotsGiven = new QCheckBox(QStringLiteral("Fixed pivots given (three positions)"), motionPage);
    motionLayout->addWidget(pivotsGiven);
    pivots = numberTable({QStringLiteral("Longitude"), QStringLiteral("Latitude")}, motionPage);
    pivots->setRowCount(2);
    pivots->setVerticalHeaderLabels({QStringLiteral("A0"), QStringLiteral("B0")});
    pivots->setAccessibleName(QStringLiteral("Fixed pivots"));
    pivots->setFixedHeight(pivots->horizontalHeader()->sizeHint().height() + 2 * 30 + 4);
    motionLayout->addWidget(pivots);
    stack->addWidget(motionPage);

    auto* functionPage = new QWidget(stack);
    auto* functionLayout = new QVBoxLayout(functionPage);
    functionLayout->setContentsMargins(0, 0, 0, 0);
    pairs = numberTable({QStringLiteral("Input"), QStringLiteral("Output")}, functionPage);
    pairs->setAccessibleName(QStringLiteral("Pairs"));
    functionLayout->addWidget(pairs);
    auto* groundRow = new QHBoxLayout;
    groundGiven = new QCheckBox(QStringLiteral("Ground f given (three pairs)"), functionPage);
    ground = new QLineEdit(functionPage);
    ground->setAccessibleName(QStringLiteral("Ground f"));
    groundRow->addWidget(groundGiven);
    groundRow->addWidget(ground);
    functionLayout->addLayout(groundRow);
    stack->addWidget(functionPage);
    left->addWidget(stack, 1);

    auto* tableButtons = new QHBoxLayout;
    addRow = new QPushButton(QStringLiteral("Add row"), this);
    removeRow = new QPushButton(QStringLiteral("Remove row"), this);
    openButton = new QPushButton(QStringLiteral("Open task\u2026"), this);
    saveButton = new QPushButton(QStringLiteral("Save task\u2026"), this);
    // In this window Ctrl+O and Ctrl+S open and save tasks, as they do linkages on the page.
    openButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    tableButtons->addWidget(addRow);
    tableButtons->addWidget(removeRow);
    tableButtons->addStretch(1);
    tableButtons->addWidget(openButton);
    tableButtons->addWidget(saveButton);
    left->addLayout(tableButtons);

    designButton = new QPushButton(QStringLiteral("Design"), this);
    designButton->setDefault(true);
    left->addWidget(designButton);
    reason = new QLabel(this);
    reason->setObjectName(QStringLiteral("reason"));
    reason->setWordWrap(true);
    left->addWidget(reason);
    candidates = new QTableWidget(0, 4, this);
    candidates->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Type"),
                                           QStringLiteral("Defects"),
                                           QStringLiteral("Transmission")});
    candidates->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    candidates->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    candidates->verticalHeader()->hide();
    candidates->setSelectionBehavior(QAbstractItemView::SelectRows);
    candidates->setSelectionMode(QAbstractItemView::SingleSelection);
    candidates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    candidates->setAccessibleName(QStringLiteral("Candidates"));
    left->addWidget(candidates, 1);
    chosenText = new QLabel(this);
    chosenText->setObjectName(QStringLiteral("chosen"));
    chosenText->setWordWrap(true);
    chosenText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    left->addWidget(chosenText);

    auto* right = new QVBoxLayout;
    sphere = new DesignSphere(this);
    right->addWidget(sphere);
    useButton = new QPushButton(QStringLiteral("Use this linkage"), this);
    useButton->setEnabled(false);
    right->addWidget(useButton);
    right->addStretch(1);
    columns->addLayout(right);

    connect(motionKind, &QRadioButton::toggled, this, [stack, this](bool motion) {
        stack->setCurrentIndex(motion ? 0 : 1);
        kindChanged();
    });
    connect(pivotsGiven, &QCheckBox::toggled, pivots, &QWidget::setEnabled);
    connect(pivotsGiven, &QCheckBox::toggled, this, &DesignWindow::kindChanged);
    connect(groundGiven, &QCheckBox::toggled, ground, &QWidget::setEnabled);
    connect(groundGiven, &QCheckBox::toggled, this, &DesignWindow::kindChanged);
    for (QTableWidget* table : {positions, pairs, pivots}) {
        connect(table, &QTableWidget::itemChanged, this, &DesignWindow::kindChanged);
    }
    connect(ground, &QLineEdit::textEdited, this, &DesignWindow::kindChanged);
    connect(addRow, &QPushButton::clicked, this, &DesignWindow::addTaskRow);
    connect(removeRow, &QPushButton::clicked, this, &DesignWindow::removeTaskRows);
    connect(designButton, &QPushButton::clicked, this, &DesignWindow::runDesign);
    connect(candidates, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { chooseCandidate(row); });
    connect(useButton, &QPushButton::clicked, this, &DesignWindow::useChosen);
    connect(openButton, &QPushButton::clicked, this, &DesignWindow::OnOpenTask);
    connect(saveButton, &QPushButton::clicked, this, &DesignWindow::OnSaveTask);
    connect(&tourTimer, &QTimer::timeout, this, &DesignWindow::advance);
    tourTimer.setInterval(tourInterval);

    // It opens on an example, designed, so the list and the sphere show what they are for.
    setTask(startingTask());
    runDesign();
}

QTableWidget* DesignWindow::taskTable() const
{
    return motionKind->isChecked() ? positions : pairs;
}

std::optional<DesignTask> DesignWindow::task(std::string& error) const
{
    DesignTask t;
    t.kind = motionKind->isChecked() ? TaskKind::Motion : TaskKind::Function;
    if (t.kind == TaskKind::Motion) {
        for (int row = 0; row < positions->rowCount(); ++row) {
            const auto v = rowNumbers(positions, row, QStringLiteral("Position"), error);
            if (!v) {
                return std::nullopt;
            }
            t.positions.push_back({(*v)[0], (*v)[1], (*v)[2]});
        }
        if (pivotsGiven->isChecked()) {
            for (int row = 0; row < 2; ++row) {
                const auto v = rowNumbers(pivots, row, QStringLiteral("Fixed pivot"), error);
                if (!v) {
                    return std::nullopt;
                }
                t.fixedPivots.push_back({(*v)[0], (*v)[1]});
            }
        }
    } else {
        for (int row = 0; row < pairs->rowCount(); ++row) {
            const auto v = rowNumbers(pairs, row, QStringLiteral("Pair"), error);
            if (!v) {
                return std::nullopt;
            }
            t.pairs.push_back({(*v)[0], (*v)[1]});
        }
        if (groundGiven->isChecked()) {
            const std::optional<double> f = cellNumber(ground->text());
            if (!f) {
                error = QStringLiteral("Ground f: '%1' is not a number")
                            .arg(ground->text().trimmed())
                            .toStdString();
                return std::nullopt;
            }
            t.ground = *f;
        }
    }
    return t;
}

void DesignWindow::setTask(const DesignTask& t)
{
    const QSignalBlocker blockPositions(positions);
    const QSignalBlocker blockPairs(pairs);
    const QSignalBlocker blockPivots(pivots);
    const QSignalBlocker blockMotion(motionKind);
    const QSignalBlocker blockGround(groundGiven);
    const QSignalBlocker blockPivotsGiven(pivotsGiven);
    // A task file holds one kind; the other table keeps what it had.
    if (t.kind == TaskKind::Motion || !t.positions.empty()) {
        positions->setRowCount(static_cast<int>(t.positions.size()));
        for (int row = 0; row < positions->rowCount(); ++row) {
            const TaskPosition& p = t.positions[static_cast<std::size_t>(row)];
            setRow(positions, row, {p.longitude, p.latitude, p.heading});
        }
        pivotsGiven->setChecked(t.fixedPivots.size() == 2);
        for (int row = 0; row < 2; ++row) {
            const TaskPivot p = t.fixedPivots.size() == 2
                                    ? t.fixedPivots[static_cast<std::size_t>(row)]
                                    : TaskPivot{row == 0 ? 0.0 : 40.0, 0.0};
            setRow(pivots, row, {p.longitude, p.latitude});
        }
        pivots->setEnabled(pivotsGiven->isChecked());
    }
    if (t.kind == TaskKind::Function || !t.pairs.empty()) {
        pairs->setRowCount(static_cast<int>(t.pairs.size()));
        for (int row = 0; row < pairs->rowCount(); ++row) {
            const TaskPair& p = t.pairs[static_cast<std::size_t>(row)];
            setRow(pairs, row, {p.input, p.output});
        }
        groundGiven->setChecked(t.ground.has_value());
        ground->setText(t.ground ? numberText(*t.ground) : QString());
        ground->setEnabled(t.ground.has_value());
    }
    motionKind->setChecked(t.kind == TaskKind::Motion);
    functionKind->setChecked(t.kind == TaskKind::Function);
    findChild<QStackedWidget*>(QStringLiteral("taskStack"))
        ->setCurrentIndex(t.kind == TaskKind::Motion ? 0 : 1);
    sphere->setView(viewFacingTask(t));
    kindChanged();
}

void DesignWindow::kindChanged()
{
    forgetCandidates();
    reason->clear();
    showScene();
}

void DesignWindow::forgetCandidates()
{
    tourTimer.stop();
    m_result = DesignResult{};
    m_chosen = -1;
    m_tour.clear();
    m_tourIndex = 0;
    const QSignalBlocker block(candidates);
    candidates->setRowCount(0);
    chosenText->clear();
    useButton->setEnabled(false);
}

void DesignWindow::addTaskRow()
{
    QTableWidget* table = taskTable();
    const int row = table->rowCount();
    const QSignalBlocker block(table);
    table->insertRow(row);
    // A new row starts as a copy of the one above, or at zeros.
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* above = row > 0 ? table->item(row - 1, column) : nullptr;
        table->setItem(row, column,
                       new QTableWidgetItem(above ? above->text() : QStringLiteral("0")));
    }
    table->setCurrentCell(row, 0);
    kindChanged();
}

void DesignWindow::removeTaskRows()
{
    QTableWidget* table = taskTable();
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    if (rows.isEmpty() && table->currentRow() >= 0) {
        rows << table->currentRow();
    }
    if (rows.isEmpty() && table->rowCount() > 0) {
        rows << table->rowCount() - 1;
    }
    std::sort(rows.begin(), rows.end(), std::greater<>());
    const QSignalBlocker block(table);
    for (const int row : rows) {
        table->removeRow(row);
    }
    kindChanged();
}

void DesignWindow::runDesign()
{
    forgetCandidates();
    std::string error;
    const std::optional<DesignTask> t = task(error);
    if (!t) {
        reason->setText(QString::fromStdString(error) + QLatin1Char('.'));
        showScene();
        return;
    }
    m_designed = *t;
    m_result = designLinkages(*t);
    const QSignalBlocker block(candidates);
    candidates->setRowCount(static_cast<int>(m_result.candidates.size()));
    for (int row = 0; row < candidates->rowCount(); ++row) {
        const DesignCandidate& c = m_result.candidates[static_cast<std::size_t>(row)];
        QStringList defects;
        for (const DesignDefect& d : c.defects) {
            defects << QString::fromStdString(defectText(d));
        }
        const QString type = c.type.empty() ? QStringLiteral("No type") : capitalised(c.type);
        candidates->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
        candidates->setItem(row, 1, new QTableWidgetItem(type));
        candidates->setItem(row, 2,
                            new QTableWidgetItem(defects.isEmpty()
                                                     ? QStringLiteral("usable")
                                                     : defects.join(QStringLiteral(", "))));
        candidates->setItem(row, 3,
                            new QTableWidgetItem(degreesText(c.transmission[0])
                                                 + QStringLiteral(" \u2013 ")
                                                 + degreesText(c.transmission[1])));
    }
    QString said;
    if (m_result.candidates.empty()) {
        said = QString::fromStdString(m_result.reason);
    } else {
        said = m_result.candidates.size() == 1
                   ? QStringLiteral("1 linkage does the task.")
                   : QStringLiteral("%1 linkages do the task.").arg(m_result.candidates.size());
        if (!m_result.reason.empty()) {
            said += QLatin1Char(' ') + QString::fromStdString(m_result.reason);
        }
    }
    reason->setText(said);
    if (!m_result.candidates.empty()) {
        candidates->setCurrentCell(0, 0);
        chooseCandidate(0);
    } else {
        showScene();
    }
}

void DesignWindow::chooseCandidate(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_result.candidates.size()) {
        return;
    }
    m_chosen = index;
    const DesignCandidate& c = m_result.candidates[static_cast<std::size_t>(index)];
    m_tour = designTour(c);
    const LinkageDimensions& d = c.dims;
    QStringList inputs;
    for (const PositionReach& reach : c.positions) {
        inputs << QStringLiteral("%1 (branch %2)").arg(degreesText(reach.input)).arg(reach.branch);
    }
    chosenText->setText(
        QStringLiteral(
            "Linkage %1: a = %2, b = %3, c = %4, f = %5, h = %6, k = %7%8.\nInput \u03b8: %9.")
            .arg(index + 1)
            .arg(degreesText(d.a), degreesText(d.b), degreesText(d.c), degreesText(d.f),
                 degreesText(d.h), degreesText(d.k),
                 c.otherEnds ? QStringLiteral(" (joints at their axes' other ends)") : QString(),
                 inputs.join(QStringLiteral(", "))));
    m_tourIndex = 0;
    useButton->setEnabled(true);
    if (candidates->currentRow() != index) {
        const QSignalBlocker block(candidates);
        candidates->setCurrentCell(index, 0);
    }
    showScene();
    if (m_tour.size() > 1) {
        tourTimer.start();
    } else {
        tourTimer.stop();
    }
}

void DesignWindow::advance()
{
    if (m_tour.empty()) {
        return;
    }
    m_tourIndex = (m_tourIndex + 1) % m_tour.size();
    showScene();
}

void DesignWindow::showScene()
{
    if (m_chosen >= 0) {
        const DesignStep step = m_tour.empty() ? DesignStep{} : m_tour[m_tourIndex];
        sphere->setScene(m_designed, &m_result.candidates[static_cast<std::size_t>(m_chosen)],
                         step);
        return;
    }
    // No candidate: the task as the tables hold it, when they hold one.
    std::string ignored;
    const std::optional<DesignTask> t = task(ignored);
    sphere->setScene(t ? *t : DesignTask{}, nullptr, DesignStep{});
}

void DesignWindow::useChosen()
{
    if (m_chosen < 0) {
        return;
    }
    LinkageFile file;
    file.dimensions = m_result.candidates[static_cast<std::size_t>(m_chosen)].dims;
    emit linkageChosen(file);
}

bool DesignWindow::openTaskFrom(const QString& path)
{
    std::string error;
    const std::string bytes = systemPath(path);
    const std::optional<DesignTask> t = readTaskFile(bytes, error);
    if (!t) {
        showFileMessage(this, QString::fromStdString(displayPath(bytes)),
                        QString::fromStdString(error));
        return false;
    }
    setTask(*t);
    return true;
}

bool DesignWindow::saveTaskTo(const QString& path)
{
    std::string error;
    const std::optional<DesignTask> t = task(error);
    if (!t) {
        reason->setText(QString::fromStdString(error) + QLatin1Char('.'));
        return false;
    }
    if (const std::optional<std::string> problem = taskProblem(*t)) {
        reason->setText(QStringLiteral("Not saved: ") + QString::fromStdString(*problem));
        return false;
    }
    if (!writeFileAtomically(systemPath(path), taskFileText(*t), error)) {
        showWriteFailure(this, QString::fromStdString(error));
        return false;
    }
    return true;
}

void DesignWindow::OnOpenTask()
{
    const QString path = askOpenTaskPath(this);
    if (!path.isEmpty()) {
        openTaskFrom(path);
    }
}

void DesignWindow::OnSaveTask()
{
    const QString path = askSavePath(this, QStringLiteral("Save task"),
                                     QStringLiteral("cyclar tasks (*.cyclar-task)"));
    if (!path.isEmpty()) {
        saveTaskTo(path);
    }
}

QString askOpenTaskPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open task"), QString(),
        QStringLiteral("cyclar tasks (*.cyclar-task);;All files (*)"));
}

} // namespace cyclar
