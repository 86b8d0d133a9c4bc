// The main pages, one in front of the other, handing over without nesting modal runs.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QWidget;

namespace cyclar {

class Page;

/// Owns the chain of main pages. A page ended by a hand-over is destroyed at once (later, once
/// its handler has returned), so the chain holds only the page in front and the pages beneath
/// it that failed to end; any number of hand-overs keeps the stack and the memory flat.
///
/// When the page in front ends, the page beneath it (one that failed to end) takes input again and
/// is brought to the front; when no page is left, finished() is emitted.
class PageChain : public QObject {
    Q_OBJECT
public:
    explicit PageChain(QObject* parent = nullptr);
    ~PageChain() override;

    /// Shows the first page, application-modal, at the screen's top-left corner. Its
    /// OnInitDialog runs just before it shows.
    void start(std::unique_ptr<Page> first);

    /// Leaves `from` for `next`, which the caller has built already. Runs from->OnOK(): if its
    /// saving exchange passes, `from` ends and goes; if not, its message has been shown and
    /// `from` stays visible beneath `next`, as it looked, taking no input. Then `next` shows in
    /// front, centred on the screen. Call it last in a handler: `from` may be deleted once the
    /// handler returns.
    void handOver(Page* from, std::unique_ptr<Page> next);

    int depth() const { return static_cast<int>(pages_.size()); }
    Page* front() const;

signals:
    /// The last page has ended.
    void finished();

private:
    struct Entry {
        std::unique_ptr<Page> page;
        QPointer<QWidget> focus; // where the focus was when the page was covered
    };

    void push(std::unique_ptr<Page> page);
    void showInFront(Page* page);
    void pageEnded(Page* page);
    void remove(std::vector<Entry>::iterator it);

    std::vector<Entry> pages_;
    bool handingOver_ = false;
};

} // namespace cyclar
