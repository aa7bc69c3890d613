#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// One running wizard per user session, through a local socket in the user's private runtime
// folder. The first start listens on it; a later start connects, asks the running one to come
// to the front and ends. A socket left behind by an instance that crashed is found to be dead
// (nobody accepts on it) and replaced. A lock file beside the socket orders two starts at the
// same moment, so that neither takes the other's live socket for a dead one.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        First,             // this is the instance; it listens when isListening() says so
        ActivatedOther,    // another instance runs and came to the front: end silently
        OtherUnreachable,  // another instance runs but did not answer or could not come to
                           // the front (it has no window yet, or hangs): tell the user
    };

    // Called on the UI thread when a later start asks this instance to come to the front,
    // with the desktop's activation token of that start (may be empty). Returns whether there
    // was a window to bring to the front.
    using ActivationHandler = std::function<bool(const QString& activationToken)>;

    static constexpr std::chrono::milliseconds kDefaultTimeout{5000};

    // socketPath: defaultSocketPath() for the program; tests give their own. timeout bounds
    // each wait for the other instance: for the lock and for its answer.
    explicit SingleInstance(QString socketPath,
                            std::chrono::milliseconds timeout = kDefaultTimeout);
    // Stops listening and removes the socket.
    ~SingleInstance() override;

    // Decides, once. The activation token passed on to a running instance is this process's
    // XDG_ACTIVATION_TOKEN, else its DESKTOP_STARTUP_ID.
    Outcome start();
    Outcome start(const QString& activationToken);

    // Until a handler is set, a later start is told that there is no window yet.
    void setActivationHandler(ActivationHandler handler);

    bool isListening() const;
    const QString& socketPath() const { return socketPath_; }
    // Why the instance could not listen or reach the other one; empty when all went well.
    const QString& errorString() const { return error_; }

    // $XDG_RUNTIME_DIR/contaxio/instance; without a runtime folder, a folder of this user's
    // own (mode 0700) in the temporary folder. Empty when no safe folder can be had.
    static QString defaultSocketPath();

private:
    Outcome askRunningInstance(QLocalSocket& socket, const QString& activationToken);
    bool listen();
    void onNewConnection();
    void answer(QLocalSocket* socket);

    QString socketPath_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<QLocalServer> server_;
    ActivationHandler handler_;
    QString error_;
    bool started_ = false;
};
