#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QFileSystemWatcher;
class QTimer;

// Tells when the open program's file is written by someone else (a post-processor
// writing it again). Our own saves are recorded first and so never reported.
class ProgramWatcher : public QObject {
    Q_OBJECT
public:
    explicit ProgramWatcher(QObject* parent = nullptr);

    // Starts watching `path` as it is now; an empty path stops watching.
    void watch(const QString& path);
    QString path() const { return path_; }
    // The file as we have just written it: no report for this change.
    void noteOwnWrite();

signals:
    void changedOnDisk();

private:
    // Size, modification time and file identity: an atomic replace changes the identity.
    struct Stamp {
        long long size = 0;
        long long modifiedNs = 0;
        unsigned long long device = 0;
        unsigned long long inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const QString& path);
    void rewatch();
    void settle();

    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QString path_;
    std::optional<Stamp> known_;
};
