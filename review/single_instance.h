#pragma once

#include <memory>

#include <QObject>
#include <QString>

class QLockFile;
class QSocketNotifier;

namespace review {

// One running copy per progress file: a lock in its folder (taken over when the copy that held
// it is dead, so a killed program never blocks the next start), and a local socket on which a
// second start asks the running copy to show itself.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy may run: it holds the lock, or the folder takes no lock (read-only:
    // nothing can be written there anyway). False when another live copy holds it; that copy
    // has then been asked to show itself.
    bool acquire();

signals:
    void showRequested();

private:
    void listen();
    QString socketPath() const;

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    int listener_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace review
