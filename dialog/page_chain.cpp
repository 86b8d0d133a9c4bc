// The main pages, one in front of the other, handing over without nesting modal runs.
#include "page_chain.h"

#include "page.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace cyclar {

namespace {

QRect screenArea(const QWidget* near)
{
    QScreen* screen = near != nullptr ? near->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Pages that set no size of their own get their natural one before they are placed.
void settleSize(Page* page)
{
    if (!page->testAttribute(Qt::WA_Resized))
        page->adjustSize();
}

// Centres the whole window, frame included, as far as the frame is known.
void centre(Page* page, const QRect& area)
{
    QRect frame = page->frameGeometry();
    frame.moveCenter(area.center());
    if (frame.topLeft() != page->pos())
        page->move(frame.topLeft());
}

} // namespace

PageChain::PageChain(QObject* parent) : QObject(parent) {}

PageChain::~PageChain()
{
    // Pages must not report their end to a chain that is going.
    for (Entry& entry : pages_)
        disconnect(entry.page.get(), nullptr, this, nullptr);
}

Page* PageChain::front() const
{
    return pages_.empty() ? nullptr : pages_.back().page.get();
}

void PageChain::start(std::unique_ptr<Page> first)
{
    Page* page = first.get();
    push(std::move(first));
    settleSize(page);
    page->move(screenArea(nullptr).topLeft());
    showInFront(page);
}

void PageChain::handOver(Page* from, std::unique_ptr<Page> next)
{
    handingOver_ = true;
    from->OnOK();
    handingOver_ = false;

    const auto it = std::find_if(pages_.begin(), pages_.end(),
                                 [from](const Entry& entry) { return entry.page.get() == from; });
    if (it != pages_.end()) {
        // It failed to end: it stays, blocked beneath the next page, until that one is gone.
        it->focus = from->focusWidget();
        from->setInputBlocked(true);
    }

    Page* page = next.get();
    const QRect area = screenArea(from);
    push(std::move(next));
    settleSize(page);
    centre(page, area);
    showInFront(page);
    // The window frame is known only once the window is shown.
    if (front() == page)
        centre(page, area);
}

void PageChain::push(std::unique_ptr<Page> page)
{
    Page* raw = page.get();
    connect(raw, &Page::ended, this, [this, raw] { pageEnded(raw); });
    raw->setWindowModality(Qt::ApplicationModal);
    pages_.push_back({std::move(page), {}});
}

void PageChain::showInFront(Page* page)
{
    // Its OnInitDialog runs inside show() and may end it at once; then it is gone already.
    page->show();
    if (front() != page)
        return;
    page->raise();
    page->activateWindow();
}

void PageChain::pageEnded(Page* page)
{
    const auto it = std::find_if(pages_.begin(), pages_.end(),
                                 [page](const Entry& entry) { return entry.page.get() == page; });
    if (it == pages_.end())
        return;
    const bool wasFront = std::next(it) == pages_.end();
    remove(it);
    // A hand-over shows its next page itself; a page ending beneath the front changes nothing
    // on screen.
    if (handingOver_ || !wasFront)
        return;

    while (!pages_.empty() && pages_.back().page->isEnded())
        remove(std::prev(pages_.end()));
    if (pages_.empty()) {
        emit finished();
        return;
    }

    Entry& entry = pages_.back();
    entry.page->setInputBlocked(false);
    entry.page->show();
    entry.page->raise();
    entry.page->activateWindow();
    if (entry.focus)
        entry.focus->setFocus(Qt::ActiveWindowFocusReason);
    entry.focus = nullptr;
}

void PageChain::remove(std::vector<Entry>::iterator it)
{
    Page* page = it->page.release();
    pages_.erase(it);
    disconnect(page, nullptr, this, nullptr);
    // The page is usually still inside one of its own handlers (the click that ended it).
    page->deleteWhenIdle();
}

} // namespace cyclar
