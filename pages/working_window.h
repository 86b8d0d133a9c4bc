// The "Show the working" window: the derivation of the linkage's numbers at the frame on the
// page, or at an input angle the user holds, with copy, print and Save as HTML.
#pragma once

#include "frame.h"
#include "working.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace cyclar {

/// Non-modal, captioned "The working". Shows the core's working as text: at the pose the page's
/// scene shows now (following it frame by frame), or, once the user types an input angle and
/// picks a branch, at that angle until they follow the frame again.
class WorkingWindow : public QDialog {
    Q_OBJECT
public:
    WorkingWindow(const LinkageDimensions& dims, const SceneState& scene, QWidget* parent);

    /// Reads the pose the scene shows now and, when following it, works it out.
    void followFrame();
    /// Holds the working at this input angle (degrees) and branch.
    void holdInput(double theta, int branch);
    /// Follows the frame again.
    void followAnimation();

    const Working& working() const { return m_working; }
    /// The text shown: the core's text of the working.
    QString workingText() const;

    /// The working as an HTML handout with the picture (in the page's view) and the chart,
    /// written through the one atomic writer; the name must end in .html or .htm. On failure a
    /// message names the file and why, and false is returned.
    bool saveHtmlTo(const QString& path);
    /// The handout on `printer`, figures and all.
    void printTo(QPrinter& printer) const;
    /// The working's text on the clipboard.
    void copyText() const;

    QRadioButton* followButton = nullptr;
    QRadioButton* holdButton = nullptr;
    QLineEdit* inputField = nullptr; ///< theta to hold, degrees
    QComboBox* branchBox = nullptr;  ///< branch 1 or 2
    QLabel* inputMessage = nullptr;  ///< why a typed angle is not taken
    QPlainTextEdit* text = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* printButton = nullptr;
    QPushButton* saveButton = nullptr;

private:
    void takeTypedInput();
    void display(const Working& working);

    LinkageDimensions m_dims;
    const SceneState& m_scene;
    Working m_working;
    bool m_following = true;
};

} // namespace cyclar
