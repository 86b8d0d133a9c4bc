// The title page: the banner, the looping clip, Continue, Help, Circular View and About.
#pragma once

#include "app_state.h"
#include "page.h"

#include <QPoint>
#include <QSize>

namespace cyclar {

class BitmapButton;
class ClipPlayer;

/// Command id of the About item; the low four bits of a command id are the system's own.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
/// The system's Close command.
inline constexpr unsigned SC_CLOSE_COMMAND = 0xF060;

/// Where a minimised page draws its icon: centred in the client area, (width - icon + 1) / 2
/// with the division truncating toward zero (so 31 and 30 both give 0 for a 32-pixel icon).
QPoint minimisedIconPosition(QSize client, QSize icon);

class CCyclarDlg : public Page {
    Q_OBJECT
public:
    explicit CCyclarDlg(AppState& state, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    /// A command of the window menu: the About item (any id whose high bits match), or Close.
    void OnSysCommand(unsigned commandId);
    void OnContinue();
    void OnShowHelp();
    void OnCircularView();

    ClipPlayer* IDC_ANIMATE1 = nullptr;
    BitmapButton* IDC_continue = nullptr;
    BitmapButton* IDC_help = nullptr;
    BitmapButton* IDC_circular = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
#ifdef Q_OS_WIN
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    AppState& m_state;
    bool m_systemMenuExtended = false;
};

} // namespace cyclar
