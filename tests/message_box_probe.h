// Test helper: records every message box that opens while it lives, then closes it with OK.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace cyclar::test {

struct ShownMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    QPointer<QWidget> parent;
};

/// Install one in a test (a local object) before the code that may show a message box. Each
/// box is recorded as it shows and closed from its own event loop, so the code that opened it
/// carries on. `whileOpen` runs inside that loop just before the box is closed: the place to
/// look at what happens beneath an open box.
class MessageBoxProbe : public QObject {
public:
    MessageBoxProbe() { qApp->installEventFilter(this); }
    ~MessageBoxProbe() override { qApp->removeEventFilter(this); }
    MessageBoxProbe(const MessageBoxProbe&) = delete;
    MessageBoxProbe& operator=(const MessageBoxProbe&) = delete;

    const QList<ShownMessage>& messages() const { return messages_; }
    QStringList texts() const
    {
        QStringList list;
        for (const ShownMessage& message : messages_)
            list << message.text;
        return list;
    }
    void clear() { messages_.clear(); }

    std::function<void(QMessageBox*)> whileOpen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box == nullptr)
            return false;
        messages_.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                          box->isModal(), box->parentWidget()});
        QMetaObject::invokeMethod(
            box,
            [this, box] {
                if (whileOpen)
                    whileOpen(box);
                if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                    ok->click();
                else
                    box->reject();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QList<ShownMessage> messages_;
};

} // namespace cyclar::test
