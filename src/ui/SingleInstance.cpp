#include "ui/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <cerrno>
#include <optional>

namespace {

constexpr char kRequest[] = "contaxio activate ";
constexpr char kRaised[] = "raised";
constexpr char kNoWindow[] = "no-window";
// A request or an answer is one short line; anything longer is not ours.
constexpr qint64 kMaxLine = 1024;
constexpr qsizetype kMaxToken = 512;

// A folder that only this user can enter: owned by the user, not a link, no access for others.
bool isPrivateFolder(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

bool makePrivateFolder(const QString& path) {
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return isPrivateFolder(path);
}

// Desktop activation tokens are short printable words; anything else is not passed on.
QString cleanToken(const QByteArray& token) {
    if (token.size() > kMaxToken) {
        return {};
    }
    for (const char c : token) {
        if (c < '!' || c > '~') {
            return {};
        }
    }
    return QString::fromLatin1(token);
}

// Reads one line (without its end) within the deadline; nothing when the line does not come.
std::optional<QByteArray> readLine(QLocalSocket& socket, const QDeadlineTimer& deadline) {
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > kMaxLine || deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return std::nullopt;
        }
    }
    return socket.readLine(kMaxLine).trimmed();
}

}  // namespace

SingleInstance::SingleInstance(QString socketPath, std::chrono::milliseconds timeout)
    : socketPath_(std::move(socketPath)), timeout_(timeout) {}

SingleInstance::~SingleInstance() {
    if (server_) {
        server_->close();
    }
}

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) {
        return runtime + QStringLiteral("/contaxio.instance");
    }
    const QString own = QDir::tempPath() + QStringLiteral("/contaxio-%1").arg(::getuid());
    if (makePrivateFolder(own)) {
        return own + QStringLiteral("/instance");
    }
    return {};
}

SingleInstance::Outcome SingleInstance::start() {
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty()) {
        token = qgetenv("DESKTOP_STARTUP_ID");
    }
    return start(cleanToken(token));
}

SingleInstance::Outcome SingleInstance::start(const QString& activationToken) {
    if (started_) {
        return server_ ? Outcome::First : Outcome::OtherUnreachable;
    }
    started_ = true;
    if (socketPath_.isEmpty()) {
        // No folder of our own for the socket: run without the guard rather than not at all.
        error_ = QStringLiteral("no private folder for the instance socket");
        return Outcome::First;
    }

    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    if (!lock.tryLock(static_cast<int>(timeout_.count()))) {
        if (lock.error() == QLockFile::LockFailedError) {
            error_ = QStringLiteral("another start holds the instance lock");
            return Outcome::OtherUnreachable;
        }
        error_ = QStringLiteral("cannot create the instance lock file");
        return Outcome::First;
    }

    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (socket.waitForConnected(static_cast<int>(timeout_.count()))) {
        lock.unlock();
        return askRunningInstance(socket, cleanToken(activationToken.toLatin1()));
    }
    const QLocalSocket::LocalSocketError failure = socket.error();
    if (failure != QLocalSocket::ServerNotFoundError &&
        failure != QLocalSocket::ConnectionRefusedError) {
        error_ = socket.errorString();
        return Outcome::OtherUnreachable;
    }
    // Nobody listens: there is no socket, or the one there was left by an instance that died.
    listen();
    return Outcome::First;
}

SingleInstance::Outcome SingleInstance::askRunningInstance(QLocalSocket& socket,
                                                           const QString& activationToken) {
    const QDeadlineTimer deadline(timeout_);
    socket.write(QByteArray(kRequest) + activationToken.toLatin1() + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        error_ = QStringLiteral("the running instance does not take the request");
        return Outcome::OtherUnreachable;
    }
    const std::optional<QByteArray> reply = readLine(socket, deadline);
    socket.disconnectFromServer();
    if (reply == QByteArray(kRaised)) {
        return Outcome::ActivatedOther;
    }
    error_ = reply ? QStringLiteral("the running instance has no window yet")
                   : QStringLiteral("the running instance does not answer");
    return Outcome::OtherUnreachable;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        error_ = server_->errorString();
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::setActivationHandler(ActivationHandler handler) {
    handler_ = std::move(handler);
}

bool SingleInstance::isListening() const {
    return server_ && server_->isListening();
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        // A peer that never finishes its request is dropped.
        QTimer::singleShot(timeout_, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0) {
            answer(socket);
        }
    }
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) {
            socket->abort();
        }
        return;
    }
    const QByteArray line = socket->readLine(kMaxLine).trimmed();
    const QByteArray prefix = QByteArray(kRequest).trimmed();
    if (line != prefix && !line.startsWith(kRequest)) {
        socket->abort();
        return;
    }
    const QString token = cleanToken(line.mid(prefix.size()).trimmed());
    const bool raised = handler_ && handler_(token);
    socket->write(QByteArray(raised ? kRaised : kNoWindow) + '\n');
    socket->flush();
    socket->disconnectFromServer();
}
