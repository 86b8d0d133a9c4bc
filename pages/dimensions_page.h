// The dimensions page: the six angles of the linkage, validated, then Submit.
#pragma once

#include "app_state.h"
#include "field_rules.h" // linkBound, fieldRange: the bounds the page tests
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
    /// fails, nothing changes and it is said: naming `source` (the file's path) and the field,
    /// or with the page's own message when there is no source.
    bool showLinkage(const LinkageFile& file, const QString& source = QString());

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

} // namespace cyclar
