// The dimensions page: the six angles of the linkage, validated, then Submit.
#pragma once

#include "app_state.h"
#include "field_rules.h" // linkBound, fieldRange: the bounds the page tests
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
