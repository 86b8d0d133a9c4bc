// The Design window: the task's tables, the mechanisms and their variants, the solution map,
// and the sphere the core draws.
#include "design_window.h"

#include "atomic_write.h"
#include "field_rules.h"
#include "function_fit.h"
#include "linkage_files.h"
#include "path_text.h"
#include "significant_text.h"
#include "task_file.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

constexpr int tourInterval = 40; // ms a step
constexpr int sphereColumn = 360;
// How near (pixels) a click must come to a point of the map to pick it.
constexpr double pickReach = 12.0;

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
    return QString::fromStdString(fileNumberText(value));
}

QString words(const std::string& text)
{
    return QString::fromStdString(text);
}

QString sentence(const std::string& text)
{
    return words(asSentence(text));
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

void setRow(QTableWidget* table, int row, const QStringList& texts)
{
    for (int column = 0; column < texts.size(); ++column) {
        table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// The numbers of one table row, or why not: "Position 2, latitude: 'x' is not a number".
std::optional<std::vector<double>> rowNumbers(const QTableWidget* table, int row,
                                              const QString& what, std::string& error)
{
    std::vector<double> values;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QString text = cellText(table, row, column);
        const std::optional<double> value = cellNumber(text);
        if (!value) {
            // The heading's name without its unit.
            const QString header =
                table->horizontalHeaderItem(column)->text().section(QStringLiteral(" ("), 0, 0);
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

QLabel* fieldLabel(const QString& text, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

enum Column {
    numberColumn,
    variantColumn,
    aColumn,
    bColumn,
    cColumn,
    fColumn,
    typeColumn,
    defectsColumn,
    transmissionColumn,
    columnCount
};

void fillRow(QTreeWidgetItem* item, const DesignCandidate& c)
{
    const LinkageDimensions& d = c.dims;
    const double arcs[] = {d.a, d.b, d.c, d.f};
    for (int i = 0; i < 4; ++i) {
        item->setText(aColumn + i, words(listDegrees(arcs[i])));
        item->setTextAlignment(aColumn + i, Qt::AlignRight | Qt::AlignVCenter);
    }
    item->setText(typeColumn, words(typeText(c)));
    item->setText(defectsColumn, words(stateText(c)));
    item->setToolTip(defectsColumn, item->text(defectsColumn));
    item->setText(transmissionColumn, words(transmissionText(c)));
}

} // namespace

DesignWindow::DesignWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Design"));
    setModal(false);

    auto* root = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    root->addLayout(top);
    auto* leftColumn = new QWidget(this);
    leftColumn->setMinimumWidth(460);
    auto* left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    top->addWidget(leftColumn, 1);

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
    positions =
        numberTable({QStringLiteral("Longitude (\u00b0)"), QStringLiteral("Latitude (\u00b0)"),
                     QStringLiteral("Heading (\u00b0)")},
                    motionPage);
    positions->setAccessibleName(QStringLiteral("Positions"));
    positions->setToolTip(QStringLiteral("A point of the body on the sphere and the compass "
                                         "heading of a line fixed in it there: 0\u00b0 north, "
                                         "90\u00b0 east"));
    motionLayout->addWidget(positions);
    pivotsGiven = new QCheckBox(QStringLiteral("Fixed pivots given (three positions)"), motionPage);
    motionLayout->addWidget(pivotsGiven);
    pivots = numberTable(
        {QStringLiteral("Longitude (\u00b0)"), QStringLiteral("Latitude (\u00b0)")}, motionPage);
    pivots->setRowCount(2);
    pivots->setVerticalHeaderLabels({QStringLiteral("A0"), QStringLiteral("B0")});
    pivots->setAccessibleName(QStringLiteral("Fixed pivots"));
    pivots->setFixedHeight(pivots->horizontalHeader()->sizeHint().height() + 2 * 30 + 4);
    motionLayout->addWidget(pivots);
    stack->addWidget(motionPage);

    auto* functionPage = new QWidget(stack);
    auto* functionLayout = new QVBoxLayout(functionPage);
    functionLayout->setContentsMargins(0, 0, 0, 0);
    pairs = numberTable(
        {QStringLiteral("Input \u03b8 (\u00b0)"), QStringLiteral("Output \u03c8 (\u00b0)")},
        functionPage);
    pairs->setAccessibleName(QStringLiteral("Pairs"));
    functionLayout->addWidget(pairs);
    auto* groundRow = new QHBoxLayout;
    groundGiven = new QCheckBox(QStringLiteral("Ground given (three pairs)"), functionPage);
    ground = new QLineEdit(functionPage);
    ground->setAccessibleName(QStringLiteral("Ground f"));
    groundRow->addWidget(groundGiven);
    groundRow->addWidget(fieldLabel(QStringLiteral("f (\u00b0):"), ground, functionPage));
    groundRow->addWidget(ground);
    functionLayout->addLayout(groundRow);
    auto* spacingRow = new QHBoxLayout;
    spacingFrom = new QLineEdit(QStringLiteral("-40"), functionPage);
    spacingTo = new QLineEdit(QStringLiteral("40"), functionPage);
    spacingCount = new QSpinBox(functionPage);
    spacingCount->setRange(chebyshevLeastCount, chebyshevMostCount);
    spacingCount->setValue(5);
    spacingFrom->setAccessibleName(QStringLiteral("Spacing from, degrees"));
    spacingTo->setAccessibleName(QStringLiteral("Spacing to, degrees"));
    spacingCount->setAccessibleName(QStringLiteral("Number of precision points"));
    spaceButton = new QPushButton(QStringLiteral("Space inputs"), functionPage);
    spaceButton->setToolTip(QStringLiteral("Chebyshev spacing: the precision points' inputs over "
                                           "the range, which spreads a fit's error evenly"));
    spacingRow->addWidget(fieldLabel(QStringLiteral("Chebyshev spacing, \u03b8 from (\u00b0):"),
                                     spacingFrom, functionPage));
    spacingRow->addWidget(spacingFrom);
    spacingRow->addWidget(fieldLabel(QStringLiteral("to (\u00b0):"), spacingTo, functionPage));
    spacingRow->addWidget(spacingTo);
    spacingRow->addWidget(fieldLabel(QStringLiteral("points:"), spacingCount, functionPage));
    spacingRow->addWidget(spacingCount);
    spacingRow->addWidget(spaceButton);
    functionLayout->addLayout(spacingRow);
    stack->addWidget(functionPage);
    left->addWidget(stack, 1);

    auto* tableButtons = new QHBoxLayout;
    addRow = new QPushButton(QStringLiteral("Add row"), this);
    removeRow = new QPushButton(QStringLiteral("Remove row"), this);
    openButton = new QPushButton(QStringLiteral("Open task\u2026"), this);
    saveButton = new QPushButton(QStringLiteral("Save task\u2026"), this);
    helpButton = new QPushButton(QStringLiteral("Help"), this);
    // In this window Ctrl+O and Ctrl+S open and save tasks, as they do linkages on the page,
    // and F1 shows the Design section of Help.
    openButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    auto* helpKey = new QAction(this);
    helpKey->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(helpKey);
    connect(helpKey, &QAction::triggered, this, &DesignWindow::OnShowHelp);
    tableButtons->addWidget(addRow);
    tableButtons->addWidget(removeRow);
    tableButtons->addStretch(1);
    tableButtons->addWidget(openButton);
    tableButtons->addWidget(saveButton);
    tableButtons->addWidget(helpButton);
    left->addLayout(tableButtons);

    designButton = new QPushButton(QStringLiteral("Design"), this);
    designButton->setDefault(true);
    left->addWidget(designButton);
    reason = new QLabel(this);
    reason->setObjectName(QStringLiteral("reason"));
    reason->setWordWrap(true);
    reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    left->addWidget(reason);

    auto* right = new QVBoxLayout;
    sphere = new DesignSphere(this);
    right->addWidget(sphere);
    mapShown = new QCheckBox(QStringLiteral("Solution map (four or five positions)"), this);
    mapShown->setChecked(true);
    right->addWidget(mapShown);
    mapText = new QLabel(this);
    mapText->setObjectName(QStringLiteral("mapText"));
    mapText->setWordWrap(true);
    mapText->setFixedWidth(sphereColumn);
    // Room for the longest hint (two linkages' words), so that the window's first size holds it.
    mapText->setMinimumHeight(6 * mapText->fontMetrics().lineSpacing());
    right->addWidget(mapText);
    right->addStretch(1);
    useButton = new QPushButton(QStringLiteral("Use this linkage"), this);
    useButton->setEnabled(false);
    right->addWidget(useButton);
    top->addLayout(right);

    auto* filters = new QHBoxLayout;
    usableOnly = new QCheckBox(QStringLiteral("Usable only"), this);
    leastTransmission = new QSpinBox(this);
    leastTransmission->setRange(0, 89);
    leastTransmission->setSuffix(QStringLiteral("\u00b0"));
    leastTransmission->setAccessibleName(QStringLiteral("Least transmission angle, degrees"));
    shortestLink = new QSpinBox(this);
    longestLink = new QSpinBox(this);
    for (QSpinBox* box : {shortestLink, longestLink}) {
        box->setRange(0, 180);
        box->setSuffix(QStringLiteral("\u00b0"));
    }
    longestLink->setValue(180);
    shortestLink->setAccessibleName(QStringLiteral("Shortest link, degrees"));
    longestLink->setAccessibleName(QStringLiteral("Longest link, degrees"));
    filters->addWidget(usableOnly);
    filters->addSpacing(12);
    filters->addWidget(
        fieldLabel(QStringLiteral("Least transmission angle \u03bc:"), leastTransmission, this));
    filters->addWidget(leastTransmission);
    filters->addSpacing(12);
    filters->addWidget(fieldLabel(QStringLiteral("Links a, b, c, f from:"), shortestLink, this));
    filters->addWidget(shortestLink);
    filters->addWidget(fieldLabel(QStringLiteral("to:"), longestLink, this));
    filters->addWidget(longestLink);
    filters->addStretch(1);
    root->addLayout(filters);

    candidates = new QTreeWidget(this);
    candidates->setColumnCount(columnCount);
    candidates->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Variant"),
                                 QStringLiteral("a (\u00b0)"), QStringLiteral("b (\u00b0)"),
                                 QStringLiteral("c (\u00b0)"), QStringLiteral("f (\u00b0)"),
                                 QStringLiteral("Type"), QStringLiteral("Defects"),
                                 QStringLiteral("Transmission \u03bc (\u00b0)")});
    candidates->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    candidates->header()->setStretchLastSection(false);
    candidates->header()->setSectionResizeMode(defectsColumn, QHeaderView::Stretch);
    candidates->setSelectionMode(QAbstractItemView::SingleSelection);
    candidates->setAccessibleName(QStringLiteral("Candidates"));
    candidates->setUniformRowHeights(true);
    candidates->setMinimumHeight(200);
    // Every column in view, the defects too, in a window that leaves the animation page's
    // controls (the 267 pixels right of its picture) in sight on a screen 1280 pixels wide.
    candidates->setMinimumWidth(980);
    root->addWidget(candidates, 1);
    chosenText = new QLabel(this);
    chosenText->setObjectName(QStringLiteral("chosen"));
    chosenText->setWordWrap(true);
    chosenText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(chosenText);

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
    connect(spaceButton, &QPushButton::clicked, this, &DesignWindow::spaceInputs);
    connect(addRow, &QPushButton::clicked, this, &DesignWindow::addTaskRow);
    connect(removeRow, &QPushButton::clicked, this, &DesignWindow::removeTaskRows);
    connect(designButton, &QPushButton::clicked, this, &DesignWindow::runDesign);
    connect(candidates, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
                if (item) {
                    chooseCandidate(item->data(numberColumn, Qt::UserRole).toInt());
                }
            });
    connect(usableOnly, &QCheckBox::toggled, this, &DesignWindow::fillCandidates);
    for (QSpinBox* box : {leastTransmission, shortestLink, longestLink}) {
        connect(box, &QSpinBox::valueChanged, this, &DesignWindow::fillCandidates);
    }
    connect(mapShown, &QCheckBox::toggled, this, &DesignWindow::showMap);
    connect(sphere, &DesignSphere::clicked, this, &DesignWindow::pickOnMap);
    connect(useButton, &QPushButton::clicked, this, &DesignWindow::useChosen);
    connect(openButton, &QPushButton::clicked, this, &DesignWindow::OnOpenTask);
    connect(saveButton, &QPushButton::clicked, this, &DesignWindow::OnSaveTask);
    connect(helpButton, &QPushButton::clicked, this, &DesignWindow::OnShowHelp);
    connect(&tourTimer, &QTimer::timeout, this, &DesignWindow::advance);
    tourTimer.setInterval(tourInterval);

    // It opens on the tables as they were last left, or on an example; designed, so the list
    // and the sphere show what they are for.
    const QString kept = keptTablesPath();
    std::string error;
    const std::optional<DesignTables> last =
        QFileInfo::exists(kept) ? readDesignTables(systemPath(kept), error) : std::nullopt;
    setTask(startingTask());
    if (last) {
        setTables(*last);
    }
    runDesign();
    if (!last && !error.empty()) {
        reason->setText(
            QStringLiteral("The last task could not be read back (%1 %2); this is "
                           "the example task.")
                .arg(QString::fromStdString(displayPath(systemPath(kept))), words(error)));
    }
}

DesignWindow::~DesignWindow()
{
    if (isVisible()) {
        keepTables();
    }
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

DesignTables DesignWindow::tables() const
{
    DesignTables out;
    out.kind = motionKind->isChecked() ? TaskKind::Motion : TaskKind::Function;
    for (int row = 0; row < positions->rowCount(); ++row) {
        out.positions.push_back({cellText(positions, row, 0).toStdString(),
                                 cellText(positions, row, 1).toStdString(),
                                 cellText(positions, row, 2).toStdString()});
    }
    out.pivotsGiven = pivotsGiven->isChecked();
    for (int row = 0; row < 2; ++row) {
        out.pivots[static_cast<std::size_t>(row)] = {cellText(pivots, row, 0).toStdString(),
                                                     cellText(pivots, row, 1).toStdString()};
    }
    for (int row = 0; row < pairs->rowCount(); ++row) {
        out.pairs.push_back(
            {cellText(pairs, row, 0).toStdString(), cellText(pairs, row, 1).toStdString()});
    }
    out.groundGiven = groundGiven->isChecked();
    out.ground = ground->text().toStdString();
    return out;
}

void DesignWindow::setTables(const DesignTables& t)
{
    {
        const QSignalBlocker blockPositions(positions);
        const QSignalBlocker blockPairs(pairs);
        const QSignalBlocker blockPivots(pivots);
        const QSignalBlocker blockMotion(motionKind);
        const QSignalBlocker blockGround(groundGiven);
        const QSignalBlocker blockPivotsGiven(pivotsGiven);
        const auto text = [](const std::string& cell) { return QString::fromStdString(cell); };
        positions->setRowCount(static_cast<int>(t.positions.size()));
        for (int row = 0; row < positions->rowCount(); ++row) {
            const auto& cells = t.positions[static_cast<std::size_t>(row)];
            setRow(positions, row, {text(cells[0]), text(cells[1]), text(cells[2])});
        }
        pivotsGiven->setChecked(t.pivotsGiven);
        for (int row = 0; row < 2; ++row) {
            const auto& cells = t.pivots[static_cast<std::size_t>(row)];
            setRow(pivots, row, {text(cells[0]), text(cells[1])});
        }
        pivots->setEnabled(t.pivotsGiven);
        pairs->setRowCount(static_cast<int>(t.pairs.size()));
        for (int row = 0; row < pairs->rowCount(); ++row) {
            const auto& cells = t.pairs[static_cast<std::size_t>(row)];
            setRow(pairs, row, {text(cells[0]), text(cells[1])});
        }
        groundGiven->setChecked(t.groundGiven);
        ground->setText(text(t.ground));
        ground->setEnabled(t.groundGiven);
        motionKind->setChecked(t.kind == TaskKind::Motion);
        functionKind->setChecked(t.kind == TaskKind::Function);
        findChild<QStackedWidget*>(QStringLiteral("taskStack"))
            ->setCurrentIndex(t.kind == TaskKind::Motion ? 0 : 1);
    }
    std::string ignored;
    const std::optional<DesignTask> now = task(ignored);
    sphere->setView(viewFacingTask(now ? *now : DesignTask{}));
    kindChanged();
}

void DesignWindow::setTask(const DesignTask& t)
{
    DesignTables out = tables();
    out.kind = t.kind;
    // A task file holds one kind; the other table keeps what it had.
    if (t.kind == TaskKind::Motion || !t.positions.empty()) {
        out.positions.clear();
        for (const TaskPosition& p : t.positions) {
            out.positions.push_back({shortestNumberText(p.longitude),
                                     shortestNumberText(p.latitude),
                                     shortestNumberText(p.heading)});
        }
        out.pivotsGiven = t.fixedPivots.size() == 2;
        for (std::size_t row = 0; row < 2; ++row) {
            const TaskPivot p = t.fixedPivots.size() == 2 ? t.fixedPivots[row]
                                                          : TaskPivot{row == 0 ? 0.0 : 40.0, 0.0};
            out.pivots[row] = {shortestNumberText(p.longitude), shortestNumberText(p.latitude)};
        }
    }
    if (t.kind == TaskKind::Function || !t.pairs.empty()) {
        out.pairs.clear();
        for (const TaskPair& p : t.pairs) {
            out.pairs.push_back({shortestNumberText(p.input), shortestNumberText(p.output)});
        }
        out.groundGiven = t.ground.has_value();
        out.ground = t.ground ? shortestNumberText(*t.ground) : std::string();
    }
    setTables(out);
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
    m_map = SolutionMap{};
    m_classes.clear();
    m_picked.clear();
    m_mapLinkages.clear();
    {
        const QSignalBlocker block(candidates);
        candidates->clear();
    }
    chosenText->clear();
    mapText->clear();
    useButton->setEnabled(false);
    showMap();
}

void DesignWindow::addTaskRow()
{
    QTableWidget* table = taskTable();
    const int row = table->rowCount();
    {
        const QSignalBlocker block(table);
        table->insertRow(row);
        // A new row starts as a copy of the one above, or at zeros.
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem* above = row > 0 ? table->item(row - 1, column) : nullptr;
            table->setItem(row, column,
                           new QTableWidgetItem(above ? above->text() : QStringLiteral("0")));
        }
        table->setCurrentCell(row, 0);
    }
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
    {
        const QSignalBlocker block(table);
        for (const int row : rows) {
            table->removeRow(row);
        }
    }
    kindChanged();
}

void DesignWindow::spaceInputs()
{
    const std::optional<double> from = cellNumber(spacingFrom->text());
    const std::optional<double> to = cellNumber(spacingTo->text());
    std::string error;
    const std::optional<std::vector<double>> inputs =
        from && to ? chebyshevInputs(*from, *to, spacingCount->value(), error) : std::nullopt;
    if (!inputs) {
        reason->setText(error.empty() ? QStringLiteral("The spacing needs two numbers: the input "
                                                       "range's ends in degrees.")
                                      : sentence(error));
        return;
    }
    {
        const QSignalBlocker block(pairs);
        const int kept = pairs->rowCount();
        pairs->setRowCount(static_cast<int>(inputs->size()));
        for (int row = 0; row < pairs->rowCount(); ++row) {
            pairs->setItem(
                row, 0, new QTableWidgetItem(numberText((*inputs)[static_cast<std::size_t>(row)])));
            if (row >= kept) {
                pairs->setItem(row, 1, new QTableWidgetItem(QString()));
            }
        }
    }
    kindChanged();
    reason->setText(QStringLiteral("Inputs spaced; enter the output wanted at each."));
}

CandidateFilter DesignWindow::filter() const
{
    CandidateFilter f;
    f.usableOnly = usableOnly->isChecked();
    f.leastTransmission = leastTransmission->value();
    f.shortestLink = shortestLink->value();
    f.longestLink = longestLink->value();
    return f;
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
    if (t->kind == TaskKind::Motion && (t->positions.size() == 4 || t->positions.size() == 5)) {
        m_map = fourPositionMap(*t);
        mapText->setText(words(mapHint(m_map, m_picked, m_mapLinkages)));
    }
    const QString said = words(resultText(m_result));
    reason->setText(said);
    fillCandidates();
    showMap();
    if (m_chosen < 0) {
        showScene();
    }
}

void DesignWindow::fillCandidates()
{
    const int keep = m_chosen;
    const CandidateFilter f = filter();
    const QSignalBlocker block(candidates);
    candidates->clear();
    QTreeWidgetItem* mechanism = nullptr;
    QTreeWidgetItem* current = nullptr;
    int firstShown = -1;
    for (std::size_t i = 0; i < m_result.candidates.size(); ++i) {
        const DesignCandidate& c = m_result.candidates[i];
        if (!passesFilter(c, f)) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (!mechanism || mechanism->data(variantColumn, Qt::UserRole).toInt() != c.mechanism) {
            mechanism = new QTreeWidgetItem(candidates);
            mechanism->setText(numberColumn, QStringLiteral("Mechanism %1").arg(c.mechanism));
            mechanism->setData(numberColumn, Qt::UserRole, index);
            mechanism->setData(variantColumn, Qt::UserRole, c.mechanism);
            fillRow(mechanism, c);
            if (firstShown < 0) {
                firstShown = index;
            }
        }
        auto* variant = new QTreeWidgetItem(mechanism);
        variant->setText(numberColumn, QStringLiteral("Candidate %1").arg(index + 1));
        variant->setText(variantColumn, words(variantText(c)));
        variant->setToolTip(variantColumn, variant->text(variantColumn));
        variant->setData(numberColumn, Qt::UserRole, index);
        fillRow(variant, c);
        mechanism->setText(
            variantColumn,
            QStringLiteral("%1 variant%2")
                .arg(mechanism->childCount())
                .arg(mechanism->childCount() == 1 ? QString() : QStringLiteral("s")));
        if (index == keep) {
            current = variant;
        }
    }
    if (current) {
        current->parent()->setExpanded(true);
        candidates->setCurrentItem(current);
    } else if (firstShown >= 0 && m_mapLinkages.empty()) {
        chooseCandidate(firstShown);
    }
}

void DesignWindow::chooseCandidate(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_result.candidates.size()) {
        return;
    }
    m_chosen = index;
    if (!m_mapLinkages.empty()) {
        // A choice in the list takes over from the map's: its picks start again.
        m_mapLinkages.clear();
        m_picked.clear();
        mapText->setText(words(mapHint(m_map, m_picked, m_mapLinkages)));
        showMap();
    }
    const DesignCandidate& c = m_result.candidates[static_cast<std::size_t>(index)];
    showLinkage(&c, words(cyclar::chosenText(c, candidateTitle(c, static_cast<std::size_t>(index)),
                                             m_designed.kind)));
    // The list shows the choice: the variant's row, inside its mechanism.
    QTreeWidgetItem* item = nullptr;
    for (int m = 0; m < candidates->topLevelItemCount() && !item; ++m) {
        QTreeWidgetItem* mechanism = candidates->topLevelItem(m);
        for (int v = 0; v < mechanism->childCount(); ++v) {
            if (mechanism->child(v)->data(numberColumn, Qt::UserRole).toInt() == index) {
                item = mechanism->child(v);
                break;
            }
        }
    }
    const QTreeWidgetItem* current = candidates->currentItem();
    const bool shownAlready = current && current->data(numberColumn, Qt::UserRole).toInt() == index;
    if (item && !shownAlready) {
        const QSignalBlocker block(candidates);
        item->parent()->setExpanded(true);
        candidates->setCurrentItem(item);
    }
}

void DesignWindow::showLinkage(const DesignCandidate* linkage, const QString& text)
{
    m_tour = linkage ? designTour(*linkage) : std::vector<DesignStep>{};
    m_tourIndex = 0;
    chosenText->setText(text);
    useButton->setEnabled(linkage != nullptr);
    showScene();
    if (m_tour.size() > 1) {
        tourTimer.start();
    } else {
        tourTimer.stop();
    }
}

const DesignCandidate* DesignWindow::shown() const
{
    if (!m_mapLinkages.empty()) {
        return &m_mapLinkages.front();
    }
    if (m_chosen >= 0) {
        return &m_result.candidates[static_cast<std::size_t>(m_chosen)];
    }
    return nullptr;
}

bool DesignWindow::pickOnMap(QPointF at)
{
    if (m_map.empty() || !mapShown->isChecked()) {
        return false;
    }
    const std::optional<std::size_t> index =
        cyclar::pickMapPoint(m_map, !m_map.marks.empty(), sphere->view(), sphere->width(),
                             sphere->height(), at.x(), at.y(), pickReach);
    if (!index) {
        return false;
    }
    pickMapPoint(*index);
    return true;
}

void DesignWindow::pickMapPoint(std::size_t index)
{
    const bool five = !m_map.marks.empty();
    if (m_map.empty() || index >= (five ? m_map.marks.size() : m_map.centrePoints.size())) {
        return;
    }
    if (m_picked.size() >= 2) {
        m_picked.clear();
        m_mapLinkages.clear();
    }
    m_picked.push_back(index);
    if (m_picked.size() == 1) {
        m_classes = five ? std::vector<MapClass>{} : mapClasses(m_designed, m_map, index);
    } else {
        m_mapLinkages = linkagesFromDyads(m_designed, pickedDyad(m_map, m_picked[0]),
                                          pickedDyad(m_map, m_picked[1]));
    }
    mapText->setText(words(mapHint(m_map, m_picked, m_mapLinkages)));
    if (!m_mapLinkages.empty()) {
        const DesignCandidate& made = m_mapLinkages.front();
        m_chosen = -1;
        {
            const QSignalBlocker block(candidates);
            candidates->setCurrentItem(nullptr);
        }
        showLinkage(&made, words(cyclar::chosenText(
                               made, pickedTitle(firstPickDrives(m_map, m_picked, made)),
                               TaskKind::Motion)));
    }
    showMap();
}

void DesignWindow::showMap()
{
    const bool drawn = mapShown->isChecked() && !m_map.empty();
    mapText->setVisible(!m_map.empty() || !m_map.reason.empty());
    if (!drawn) {
        sphere->setMap(nullptr);
        return;
    }
    DesignMapView view;
    view.map = &m_map;
    view.classes = m_picked.size() == 1 ? m_classes : std::vector<MapClass>{};
    if (m_map.marks.empty()) {
        view.picked = m_picked;
    }
    sphere->setMap(&view);
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
    if (const DesignCandidate* linkage = shown()) {
        const DesignStep step = m_tour.empty() ? DesignStep{} : m_tour[m_tourIndex];
        sphere->setScene(m_designed, linkage, step);
        return;
    }
    // No candidate: the task as the tables hold it, when they hold one.
    std::string ignored;
    const std::optional<DesignTask> t = task(ignored);
    sphere->setScene(t ? *t : DesignTask{}, nullptr, DesignStep{});
}

void DesignWindow::useChosen()
{
    const DesignCandidate* linkage = shown();
    if (!linkage) {
        return;
    }
    LinkageFile file;
    file.dimensions = linkage->dims;
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
        reason->setText(QStringLiteral("Not saved: the task ") + words(*problem)
                        + QLatin1Char('.'));
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

void DesignWindow::OnShowHelp()
{
    if (!m_help) {
        m_help = new QDialog(this);
        m_help->setWindowTitle(QStringLiteral("Design help"));
        auto* layout = new QVBoxLayout(m_help);
        auto* scroll = new QScrollArea(m_help);
        scroll->setWidgetResizable(true);
        auto* text = new QLabel(scroll);
        text->setObjectName(QStringLiteral("designHelp"));
        text->setWordWrap(true);
        text->setTextFormat(Qt::RichText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        QString html;
        for (const HelpSection& section : designHelp()) {
            html += QStringLiteral("<h3>%1</h3>").arg(words(section.heading).toHtmlEscaped());
            for (const std::string& paragraph : section.paragraphs) {
                html += QStringLiteral("<p>%1</p>").arg(words(paragraph).toHtmlEscaped());
            }
        }
        text->setText(html);
        text->setContentsMargins(8, 0, 8, 8);
        scroll->setWidget(text);
        layout->addWidget(scroll);
        m_help->resize(560, 640);
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

QString DesignWindow::keptTablesPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
           + QStringLiteral("/design-tables.json");
}

bool DesignWindow::keepTables()
{
    const QString path = keptTablesPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string error;
    if (!writeFileAtomically(systemPath(path), designTablesText(tables()), error)) {
        showWriteFailure(this, QString::fromStdString(error));
        return false;
    }
    return true;
}

void DesignWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_tour.size() > 1) {
        tourTimer.start();
    }
}

void DesignWindow::hideEvent(QHideEvent* event)
{
    // Closed, or gone with its page: the tables are kept for the next window.
    tourTimer.stop();
    keepTables();
    QDialog::hideEvent(event);
}

QString askOpenTaskPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open task"), QString(),
        QStringLiteral("cyclar tasks (*.cyclar-task);;All files (*)"));
}

} // namespace cyclar
