// The base of every page and small window: data exchange, ending, keys and timers.
#pragma once

#include "bitmap_button.h"
#include "data_exchange.h"
#include "trackbar.h"

#include <QBasicTimer>
#include <QDialog>

#include <map>
#include <utility>

namespace cyclar {

/// Results a page ends with.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

/// A dialog page. Enter asks for IDOK (OnOK), Escape and the close box for IDCANCEL
/// (OnCancel); a page ends only through EndDialog, so Qt's own accept/reject paths lead to
/// the same handlers.
class Page : public QDialog {
    Q_OBJECT
public:
    explicit Page(QWidget* parent = nullptr);
    ~Page() override;

    /// Binds controls to variables, in a fixed order, through `dx`. Does nothing by default.
    virtual void DoDataExchange(DataExchange& dx);

    /// Runs DoDataExchange: saving (true) reads and validates the controls, showing (false)
    /// fills them. Returns false only when saving failed; its message has been shown.
    bool UpdateData(bool saveAndValidate = true);

    /// Called once, just before the page is first shown. Fills the controls (a showing
    /// exchange). The result is kept for the page's own use; Qt focuses the first control.
    virtual bool OnInitDialog();

    /// A saving exchange, then EndDialog(IDOK) if it passed.
    virtual void OnOK();

    /// EndDialog(IDCANCEL).
    virtual void OnCancel();

    /// Hides the page at once and marks it ended; a modal run of it returns `result`.
    void EndDialog(int result);
    bool isEnded() const { return ended_; }

    /// Runs the page modally over its Qt parent (which it is centred over, and which is blocked
    /// meanwhile) and returns the EndDialog result. For the small windows opened over a page.
    int DoModal();

    /// True while a saving exchange runs (including while its message box is open).
    bool isExchanging() const { return exchanging_ > 0; }

    /// deleteLater(), postponed while a saving exchange of the page runs: its message box runs
    /// events, and the page must outlive the exchange that is waiting for the box.
    void deleteWhenIdle();

    /// Starts timer `id`, or replaces it: the period starts again from now. Periods below
    /// 10 ms run at 10 ms. At most one tick per timer is ever waiting to be handled.
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool isTimerActive(int id) const;
    /// The period timer `id` was last started with (ms), or 0 when it is not running.
    int timerPeriod(int id) const;

    /// A tick of timer `id`. Does nothing by default.
    virtual void OnTimer(int id);

    /// Connects a control's notification to `handler`, dropping it while a saving exchange
    /// runs, as a page ignores its controls meanwhile.
    template <class Sender, class Signal, class F>
    void onNotify(Sender* sender, Signal signal, F handler)
    {
        connect(sender, signal, this, [this, handler = std::move(handler)]() mutable {
            if (!isExchanging())
                handler();
        });
    }
    template <class F> void onNotify(BitmapButton* button, F handler)
    {
        onNotify(button, &BitmapButton::clicked, std::move(handler));
    }
    template <class F> void onRelease(Trackbar* trackbar, F handler)
    {
        onNotify(trackbar, &Trackbar::released, std::move(handler));
    }

    /// While blocked the page and its controls take no input (mouse, keys, wheel, touch, context
    /// menus, the close box) but keep their look: a page left beneath the one in front is not
    /// greyed out, as disabling it would.
    void setInputBlocked(bool blocked);
    bool isInputBlocked() const { return inputBlocked_; }

    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;
    void done(int result) override;

signals:
    /// Emitted by EndDialog, after the page is hidden.
    void ended(int result);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool runSaving(DataExchange& dx);

    bool initialised_ = false;
    bool ended_ = false;
    int exchanging_ = 0;
    bool deleteWhenIdle_ = false;
    bool inputBlocked_ = false;
    std::map<int, QBasicTimer> timers_;
    std::map<int, int> periods_;
};

} // namespace cyclar
