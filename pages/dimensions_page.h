// The dimensions page: the six angles of the linkage, validated, then Submit.
#pragma once

#include "app_state.h"
#include "linkage_file.h"
#include "page.h"

class QLineEdit;

namespace cyclar {

class BitmapButton;

class cyclar1 : public Page {
    Q_OBJECT
public:
    explicit cyclar1(AppState& state);

    void DoDataExchange(DataExchange& dx) override;

    void OnSubmit();
    void OnShowHelp();

    /// Ctrl+O: asks for a linkage file and fills the fields from it (see showLinkage).
    void OnOpenLinkage();
    bool openLinkageFrom(const QString& path);
    /// Fills the fields with the file's dimensions once they pass the page's range tests, as
    /// typed values would at Submit (each link's bound from the file's other links); when one
    /// fails, its message is shown and nothing changes.
    bool showLinkage(const LinkageFile& file);

    QLineEdit* IDC_a = nullptr;
    QLineEdit* IDC_b = nullptr;
    QLineEdit* IDC_c = nullptr;
    QLineEdit* IDC_f = nullptr;
    QLineEdit* IDC_h = nullptr;
    QLineEdit* IDC_k = nullptr;
    BitmapButton* IDC_submit = nullptr;
    BitmapButton* IDCANCEL_button = nullptr; ///< Exit
    BitmapButton* IDC_help = nullptr;

private:
    AppState& m_state;
};

/// A link's upper bound: the sum of the other three links, left to right. A held value below 0
/// counts as 0, so a negative value in one field can never make another field impossible to
/// fill (and trap the user, whose negative field would never be read again).
double linkBound(double first, double second, double third);

} // namespace cyclar
