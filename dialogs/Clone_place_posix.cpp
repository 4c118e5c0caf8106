// Places are one-byte record locks, slots 0 .. maxInstance - 1, on a file in
// the user's runtime folder. A copy is admitted when it locks a free slot.
// Taking a lock is one atomic step in the kernel, so two copies started at
// the same instant can never both get the last place, and the kernel drops
// the lock with the descriptor, so a copy that is killed leaves no count.
#if !defined(_WIN32)

#include "dialogs/Clone_place.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace clone_detail {
namespace {

// Open-file-description locks belong to this descriptor alone; classic
// process-wide record locks would be dropped when any other descriptor of
// the same file closed in this process.
#if defined(F_OFD_SETLK)
constexpr int kTryLock = F_OFD_SETLK;
#else
constexpr int kTryLock = F_SETLK;
#endif

class LockedSlot : public InstancePlace {
public:
    explicit LockedSlot(int fd) : fd_(fd) {}
    ~LockedSlot() override { ::close(fd_); } // releases the lock

private:
    int fd_;
};

enum class SlotLock { Locked, Busy, Failed };

SlotLock TryLockSlot(int fd, int slot) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = slot;
    lock.l_len = 1;
    for (;;) {
        if (::fcntl(fd, kTryLock, &lock) == 0) {
            return SlotLock::Locked;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EACCES ? SlotLock::Busy : SlotLock::Failed;
    }
}

} // namespace

PlaceAttempt TakeInstancePlace(const QString& blockName, int maxInstance) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        return {};
    }
    const QByteArray path = QFile::encodeName(folder + u'/' + blockName);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return {};
    }
    for (int slot = 0; slot < maxInstance; ++slot) {
        switch (TryLockSlot(fd, slot)) {
        case SlotLock::Locked:
            return {PlaceResult::Taken, std::make_unique<LockedSlot>(fd)};
        case SlotLock::Busy:
            break;
        case SlotLock::Failed:
            ::close(fd);
            return {};
        }
    }
    ::close(fd);
    return {PlaceResult::AllTaken, nullptr};
}

} // namespace clone_detail

#endif
