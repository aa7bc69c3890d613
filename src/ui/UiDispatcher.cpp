#include "ui/UiDispatcher.h"

#include <QMetaObject>
#include <QObject>

#include <mutex>

// The receiver is an object of the UI thread that exists while the channel is open. A post
// queues the call to it under the lock, so that closing (which takes the same lock) never
// comes between the check and the queueing. Deleting the receiver removes the calls still
// queued to it; the check at run time is a second guard.
struct UiDispatcher::Channel {
    std::mutex mutex;
    QObject* receiver = nullptr;
    // Calls of this channel running now; only touched on the UI thread. A call that closes
    // its own dispatcher (say, by deleting the page) must not delete the receiver under Qt's
    // feet while Qt still delivers the call to it.
    int running = 0;

    bool isOpen() {
        const std::lock_guard lock(mutex);
        return receiver != nullptr;
    }
};

bool UiDispatcher::Poster::post(std::function<void()> call) const {
    if (!channel_ || !call) {
        return false;
    }
    const std::lock_guard lock(channel_->mutex);
    if (channel_->receiver == nullptr) {
        return false;
    }
    QMetaObject::invokeMethod(
        channel_->receiver,
        [channel = channel_, call = std::move(call)] {
            if (!channel->isOpen()) {
                return;
            }
            ++channel->running;
            call();
            --channel->running;
        },
        Qt::QueuedConnection);
    return true;
}

UiDispatcher::UiDispatcher() : channel_(std::make_shared<Channel>()) {
    channel_->receiver = new QObject;
}

UiDispatcher::~UiDispatcher() {
    close();
}

bool UiDispatcher::post(std::function<void()> call) const {
    return poster().post(std::move(call));
}

void UiDispatcher::close() {
    QObject* receiver = nullptr;
    {
        const std::lock_guard lock(channel_->mutex);
        receiver = channel_->receiver;
        channel_->receiver = nullptr;
    }
    if (receiver == nullptr) {
        return;
    }
    if (channel_->running > 0) {
        receiver->deleteLater();
    } else {
        delete receiver;
    }
}
