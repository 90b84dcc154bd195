#include "review/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

namespace review {

namespace {
bool addressOf(const QString& path, sockaddr_un* address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address->sun_path))
        return false;
    std::memcpy(address->sun_path, name.constData(), size_t(name.size()));
    return true;
}
} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent) : QObject(parent), folder_(dataFolder) {}

SingleInstance::~SingleInstance()
{
    if (listener_ >= 0) {
        ::close(listener_);
        QFile::remove(socketPath());
    }
}

// The socket lives in the runtime folder, whose path is short enough for a socket address; its
// name comes from the data folder, so that separate data folders run side by side.
QString SingleInstance::socketPath() const
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(QDir(folder_).absolutePath()), QCryptographicHash::Sha1).toHex().left(16);
    return runtime + QStringLiteral("/chenxing-review-") + QString::fromLatin1(key);
}

bool SingleInstance::acquire()
{
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return true;
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QStringLiteral("chenxing-review.lock")));
    // Only a dead holder makes a lock stale, however long a copy has been running.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return true;
    }
    if (lock_->error() != QLockFile::LockFailedError)
        return true;  // a folder that takes no lock
    sockaddr_un address;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s >= 0 && addressOf(socketPath(), &address) && ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        (void)::send(s, "s", 1, MSG_NOSIGNAL);  // the running copy may have closed already
    if (s >= 0)
        ::close(s);
    return false;
}

void SingleInstance::listen()
{
    sockaddr_un address;
    const QString path = socketPath();
    if (!addressOf(path, &address))
        return;
    // We hold the lock, so a socket file there is a dead copy's.
    QFile::remove(path);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0)
        return;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 4) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    notifier_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        for (int c; (c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
            ::close(c);
        emit showRequested();
    });
}

} // namespace review
