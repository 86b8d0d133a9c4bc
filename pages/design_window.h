// The Design window: a task (orientations of a body, or pairs of shaft angles), the linkages
// that do it, and the chosen one moving through the task on the sphere.
#pragma once

#include "design_view.h"
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
class QStackedWidget;
class QTableWidget;

namespace cyclar {

/// The sphere with the task's positions and the chosen candidate at one step of its tour, drawn
/// by the core. Dragging turns (across) and tilts (up and down) the view.
class DesignSphere : public QWidget {
    Q_OBJECT
public:
    explicit DesignSphere(QWidget* parent);

    void setScene(const DesignTask& task, const DesignCandidate* candidate, const DesignStep& step);
    const ViewOrientation& view() const { return m_view; }
    void setView(const ViewOrientation& view);
    /// The picture as the next paint shows it, at one device pixel per pixel.
    QImage picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage draw(int scale) const;

    DesignTask m_task;
    std::optional<DesignCandidate> m_candidate;
    DesignStep m_step;
    ViewOrientation m_view;
    QPoint m_dragFrom;
};

/// Non-modal, captioned "Design". The task is edited in a table; "Design" finds the candidates;
/// the chosen one moves through the task; "Use this linkage" hands it on (linkageChosen).
class DesignWindow : public QDialog {
    Q_OBJECT
public:
    explicit DesignWindow(QWidget* parent);

    /// The task the tables hold, or why they hold none (one sentence naming the cell).
    std::optional<DesignTask> task(std::string& error) const;
    /// Fills the tables from a task (its kind, rows, pivots or ground) and forgets the
    /// candidates.
    void setTask(const DesignTask& task);

    /// Designs for the task in the tables; shows the candidates, or the reason there are none.
    void runDesign();
    /// Chooses candidate `index` (0-based) for the sphere and "Use this linkage".
    void chooseCandidate(int index);
    /// Hands the chosen candidate on as a linkage file would bring it (its dimensions only).
    void useChosen();

    /// Task files: read through the core reader, written through the one atomic writer. A file
    /// that cannot be read or written is reported in a message box that names it.
    bool openTaskFrom(const QString& path);
    bool saveTaskTo(const QString& path);
    void OnOpenTask();
    void OnSaveTask();

    /// One step along the chosen candidate's tour (the tour timer's tick).
    void advance();

    const DesignResult& result() const { return m_result; }
    int chosen() const { return m_chosen; }
    const std::vector<DesignStep>& tour() const { return m_tour; }
    std::size_t tourIndex() const { return m_tourIndex; }

    QRadioButton* motionKind = nullptr;
    QRadioButton* functionKind = nullptr;
    QTableWidget* positions = nullptr; ///< longitude, latitude, heading
    QTableWidget* pairs = nullptr;     ///< input, output
    QCheckBox* pivotsGiven = nullptr;
    QTableWidget* pivots = nullptr; ///< two rows: longitude, latitude
    QCheckBox* groundGiven = nullptr;
    QLineEdit* ground = nullptr;
    QPushButton* addRow = nullptr;
    QPushButton* removeRow = nullptr;
    QPushButton* designButton = nullptr;
    QLabel* reason = nullptr;
    QTableWidget* candidates = nullptr; ///< number, type, defects, transmission
    /// The chosen candidate's dimensions and, per position, its input angle and branch.
    QLabel* chosenText = nullptr;
    DesignSphere* sphere = nullptr;
    QPushButton* useButton = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* saveButton = nullptr;
    QTimer tourTimer;

signals:
    void linkageChosen(const cyclar::LinkageFile& file);

private:
    void kindChanged();
    void addTaskRow();
    void removeTaskRows();
    void forgetCandidates();
    void showScene();
    QTableWidget* taskTable() const;

    DesignResult m_result;
    DesignTask m_designed; ///< the task the candidates were found for
    int m_chosen = -1;
    std::vector<DesignStep> m_tour;
    std::size_t m_tourIndex = 0;
};

/// Asks for a task file to open; empty when the user cancels.
QString askOpenTaskPath(QWidget* parent);

} // namespace cyclar
