// The Design window: a task (orientations of a body, or pairs of shaft angles), the mechanisms
// that do it with their variants, the four-position solution map, and the chosen linkage moving
// through the task on the sphere.
#pragma once

#include "design_sphere.h"
#include "design_tables_file.h"
#include "design_texts.h"
#include "four_position_map.h"
#include "linkage_design.h"
#include "linkage_file.h"

#include <QDialog>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace cyclar {

/// Non-modal, captioned "Design". The task is edited in a table; "Design" finds the candidates,
/// listed as mechanisms with their variants inside; the chosen one moves through the task;
/// "Use this linkage" hands it on (linkageChosen). Its tables and kind are kept when it is
/// hidden (closed, or its page ends) and read back when a window is made, in this run or the
/// next.
class DesignWindow : public QDialog {
    Q_OBJECT
public:
    explicit DesignWindow(QWidget* parent);
    ~DesignWindow() override;

    /// The task the tables hold, or why they hold none (one sentence naming the cell).
    std::optional<DesignTask> task(std::string& error) const;
    /// Fills the tables from a task (its kind, rows, pivots or ground) and forgets the
    /// candidates.
    void setTask(const DesignTask& task);
    /// The cells as typed, and the same back into the tables.
    DesignTables tables() const;
    void setTables(const DesignTables& tables);

    /// Designs for the task in the tables; shows the candidates, or the reason there are none.
    void runDesign();
    /// Chooses candidate `index` (0-based, in the design's order) for the sphere and "Use this
    /// linkage".
    void chooseCandidate(int index);
    /// Hands the chosen candidate on as a linkage file would bring it (its dimensions only).
    void useChosen();

    /// Picks the solution map's point (four positions) or mark (five) nearest a point of the
    /// sphere widget: the first pick is one fixed pivot, the second makes the linkage of the two,
    /// shown at once; a third starts again. False when nothing lies near enough.
    bool pickOnMap(QPointF at);
    /// Picks map point (four positions) or mark (five) `index` directly.
    void pickMapPoint(std::size_t index);

    /// Fills the pairs' input column with the Chebyshev spacing of the range and count in the
    /// function page's fields (outputs typed so far stay; new rows' are empty to fill in).
    void spaceInputs();

    /// Task files: read through the core reader, written through the one atomic writer. A file
    /// that cannot be read or written is reported in a message box that names it.
    bool openTaskFrom(const QString& path);
    bool saveTaskTo(const QString& path);
    void OnOpenTask();
    void OnSaveTask();
    /// The Design section of Help, in a window of its own (the Help button, F1).
    void OnShowHelp();

    /// One step along the chosen candidate's tour (the tour timer's tick).
    void advance();

    /// Where the tables are kept between runs: design-tables.json in the user's configuration
    /// folder for cyclar.
    static QString keptTablesPath();
    /// Writes the tables there through the one atomic writer; says so in a message box when
    /// it cannot.
    bool keepTables();

    const DesignResult& result() const { return m_result; }
    int chosen() const { return m_chosen; }
    /// The linkage shown: the chosen candidate, or one picked on the map (null: none).
    const DesignCandidate* shown() const;
    const std::vector<DesignStep>& tour() const { return m_tour; }
    std::size_t tourIndex() const { return m_tourIndex; }
    const SolutionMap& solutionMap() const { return m_map; }
    const std::vector<std::size_t>& picked() const { return m_picked; }
    const std::vector<DesignCandidate>& mapLinkages() const { return m_mapLinkages; }

    QRadioButton* motionKind = nullptr;
    QRadioButton* functionKind = nullptr;
    QTableWidget* positions = nullptr; ///< longitude, latitude, heading
    QTableWidget* pairs = nullptr;     ///< input, output
    QCheckBox* pivotsGiven = nullptr;
    QTableWidget* pivots = nullptr; ///< two rows: longitude, latitude
    QCheckBox* groundGiven = nullptr;
    QLineEdit* ground = nullptr;
    QLineEdit* spacingFrom = nullptr;
    QLineEdit* spacingTo = nullptr;
    QSpinBox* spacingCount = nullptr;
    QPushButton* spaceButton = nullptr;
    QPushButton* addRow = nullptr;
    QPushButton* removeRow = nullptr;
    QPushButton* designButton = nullptr;
    QPushButton* helpButton = nullptr;
    QLabel* reason = nullptr;
    QCheckBox* usableOnly = nullptr;
    QSpinBox* leastTransmission = nullptr;
    QSpinBox* shortestLink = nullptr;
    QSpinBox* longestLink = nullptr;
    /// One row per mechanism (its first variant's numbers), its variants inside.
    QTreeWidget* candidates = nullptr;
    /// The chosen candidate's dimensions and, per position, its input angle and branch.
    QLabel* chosenText = nullptr;
    DesignSphere* sphere = nullptr;
    QCheckBox* mapShown = nullptr;
    QLabel* mapText = nullptr;
    QPushButton* useButton = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* saveButton = nullptr;
    QTimer tourTimer;

signals:
    void linkageChosen(const cyclar::LinkageFile& file);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void kindChanged();
    void addTaskRow();
    void removeTaskRows();
    void forgetCandidates();
    void fillCandidates();
    void showLinkage(const DesignCandidate* linkage, const QString& words);
    void showScene();
    void showMap();
    QTableWidget* taskTable() const;
    CandidateFilter filter() const;

    DesignResult m_result;
    DesignTask m_designed; ///< the task the candidates were found for
    int m_chosen = -1;
    std::vector<DesignStep> m_tour;
    std::size_t m_tourIndex = 0;
    SolutionMap m_map;
    std::vector<MapClass> m_classes;
    std::vector<std::size_t> m_picked;
    std::vector<DesignCandidate> m_mapLinkages; ///< what the two picks make, in order
    QDialog* m_help = nullptr;
};

/// Asks for a task file to open; empty when the user cancels.
QString askOpenTaskPath(QWidget* parent);

} // namespace cyclar
