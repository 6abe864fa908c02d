#include "framework/ProgramWatcher.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <sys/stat.h>

namespace {

// A writer may take a moment (truncate, then write in pieces); the file is judged once it rests.
constexpr int kSettleMs = 300;

} // namespace

ProgramWatcher::ProgramWatcher(QObject* parent)
    : QObject(parent)
    , watcher_(new QFileSystemWatcher(this))
    , settle_(new QTimer(this))
{
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &ProgramWatcher::settle);
    connect(watcher_, &QFileSystemWatcher::fileChanged, settle_, qOverload<>(&QTimer::start));
    // A file replaced by renaming another over it loses its watch; the folder sees the new one arrive.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
}

std::optional<ProgramWatcher::Stamp> ProgramWatcher::stampOf(const QString& path)
{
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Stamp {static_cast<long long>(st.st_size),
        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
        static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

void ProgramWatcher::watch(const QString& path)
{
    settle_->stop();
    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    path_ = path;
    known_.reset();
    if (path_.isEmpty())
        return;
    known_ = stampOf(path_);
    watcher_->addPath(QFileInfo(path_).absolutePath());
    rewatch();
}

void ProgramWatcher::noteOwnWrite()
{
    known_ = stampOf(path_);
    rewatch();
}

void ProgramWatcher::rewatch()
{
    if (!path_.isEmpty() && !watcher_->files().contains(path_) && QFileInfo::exists(path_))
        watcher_->addPath(path_);
}

void ProgramWatcher::settle()
{
    if (path_.isEmpty())
        return;
    rewatch();
    const std::optional<Stamp> now = stampOf(path_);
    // A file that is gone is no new text to read; its return will be seen by the folder.
    if (!now || now == known_)
        return;
    known_ = now;
    emit changedOnDisk();
}
